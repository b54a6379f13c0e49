// The look-ahead alone, then the generation run with its thumbnails made ahead on worker threads: whichever
// preparation is slow, refused, throwing or stuck on a FIFO, every visible effect comes in item order.
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/createthread.h"
#include "album/imaginglibraryloader.h"
#include "album/prepareahead.h"
#include "album/runhost.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// Each item takes its own time or throws; notes how far beyond the consumer a preparation ever started.
struct FakePreparer {
    std::vector<int> delaysMs;
    std::size_t failAt = SIZE_MAX;
    std::atomic<long> taking{0}, mostAhead{0};
    std::atomic<int> started{0};

    std::function<std::size_t(std::size_t)> Function() {
        return [this](std::size_t index) {
            long seen = mostAhead;
            for (const long ahead = long(index) - taking;
                 ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead);) {
            }
            ++started;
            std::this_thread::sleep_for(
                std::chrono::milliseconds(index < delaysMs.size() ? delaysMs[index] : 0));
            if (index == failAt)
                throw std::runtime_error("item " + std::to_string(index));
            return index;
        };
    }
};

// Fast items behind a slow one, or items passed over: the consumer gets each of its items once, in its
// order, and no worker starts more than the window beyond it.
TEST(PrepareAheadTest, ResultsInItemOrderWithinTheWindow) {
    const struct {
        const char* name;
        unsigned workers;
        std::size_t window;
        std::vector<int> delaysMs;
        std::vector<std::size_t> taken;
    } cases[] = {
        {"slow first", 4, 4, {40, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"items passed over", 2, 3, {0, 10, 10, 0, 0, 0, 0, 0, 0, 0}, {0, 2, 8, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Watchdog watchdog(20s, c.name);
        FakePreparer fake{c.delaysMs};
        PrepareAhead<std::size_t> ahead(c.delaysMs.size(), fake.Function(), c.workers, c.window);
        for (std::size_t item : c.taken) {
            fake.taking = long(item);
            EXPECT_EQ(ahead.Take(item), item);
            std::this_thread::sleep_for(1ms); // the commit takes a while too
        }
        EXPECT_FALSE(ahead.Take(c.taken.back()).has_value()); // never the same item twice
        EXPECT_LE(fake.mostAhead.load(), long(c.window));
        if (c.taken.size() == 4) {
            EXPECT_LE(fake.started.load(), 8); // items 6 and 7 were never in the window
        }
    }
}

// A stop or the destructor at any moment ends promptly, waiting only for the preparations running: never
// started, workers busy, results waiting, after the last item, after a failure. Nothing is prepared after.
TEST(PrepareAheadTest, StopAndDestroyAtAnyTime) {
    enum When { AtOnce, WorkersBusy, ResultsWaiting, AfterLastItem, AfterFailure };
    for (When when : {AtOnce, WorkersBusy, ResultsWaiting, AfterLastItem, AfterFailure}) {
        for (bool destroy : {false, true}) {
            SCOPED_TRACE(when * 2 + destroy);
            test::Watchdog watchdog(20s, "stopping the look-ahead");
            FakePreparer fake{std::vector<int>(50, when == WorkersBusy ? 100 : 0),
                              when == AfterFailure ? 0 : SIZE_MAX};
            const std::size_t count = when == AfterLastItem ? 3 : 50;
            std::optional<PrepareAhead<std::size_t>> ahead(std::in_place, count, fake.Function(), 2, 4);
            if (when == WorkersBusy || when == ResultsWaiting) {
                ASSERT_TRUE(
                    test::WaitUntil([&] { return fake.started.load() >= (when == WorkersBusy ? 2 : 4); }));
            }
            for (std::size_t i = 0; when == AfterLastItem && i < count; ++i)
                ASSERT_TRUE(ahead->Take(i).has_value());
            if (when == AfterFailure) {
                EXPECT_THROW(ahead->Take(0), std::runtime_error);
            }
            const auto start = std::chrono::steady_clock::now();
            if (!destroy) {
                ahead->Stop();
                EXPECT_FALSE(ahead->Take(1).has_value());
                ahead->Stop();
            }
            ahead.reset();
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
            const int afterStop = fake.started.load();
            EXPECT_LE(afterStop, when == AfterLastItem ? 3 : 5); // the window and the item taken
            std::this_thread::sleep_for(20ms);
            EXPECT_EQ(fake.started.load(), afterStop);
        }
    }
}

// The decoder's behaviour per source, found by its byte count: a delay in ms, then -1 refuses the picture
// and -2 throws. Set before a run, only read while it lasts.
ImagingLibrary gReal;
std::map<uint32_t, std::pair<int, int>> gBehaviour;
std::atomic<int> gDecoding{0}, gMostDecoding{0};

void* Decode(const void* bytes, uint32_t count, int minW, int minH, void* description, int* w, int* h) {
    const int now = ++gDecoding;
    for (int seen = gMostDecoding; now > seen && !gMostDecoding.compare_exchange_weak(seen, now);) {
    }
    const auto [delayMs, fault] = gBehaviour.count(count) ? gBehaviour.at(count) : std::pair(0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    --gDecoding;
    if (fault == -2)
        throw std::bad_alloc();
    return fault == -1 ? nullptr : gReal.DllDecodeJPEGScaled(bytes, count, minW, minH, description, w, h);
}

// At every status text, notes how many files the album's Data and Thumb folders hold at that moment.
class SnapshotHost : public RunHost {
public:
    explicit SnapshotHost(fs::path album) : album_(std::move(album)) {}
    void SetStatusText(const std::string& text) override {
        events.insert(events.end(), {"status " + text.substr(0, text.find(' ')), "holds " + Held()});
        if (text.starts_with(std::to_string(stopAt) + " "))
            run->RequestStop();
    }
    void AdvanceProgress(int) override {}
    int AskYesNo(const std::string&, const std::string&) override { return kNo; }
    void Inform(const std::string&, const std::string&) override {}
    void ReportFailure(const std::string& reason) override { events.push_back("failure " + reason); }
    void RequestClose(int runCode) override { events.push_back("close " + std::to_string(runCode)); }
    std::string Held() const {
        const auto count = [&](const char* folder) {
            return std::to_string(std::distance(fs::directory_iterator(album_ / folder), {}));
        };
        return count("Data") + "+" + count("Thumb");
    }

    Texts events;
    int stopAt = 0;
    CCreateThread* run = nullptr;

private:
    fs::path album_;
};

constexpr int kItems = 6;

// What the host sees when the run ends at item `end` (0: it writes all), with every item before it whole.
Texts Expected(int end, const Texts& last) {
    Texts events;
    for (int p = 1; p <= kItems; ++p) {
        events.insert(events.end(), {"status " + std::to_string(p),
                                     "holds " + std::to_string(p - 1) + "+" + std::to_string(p - 1)});
        if (p == end) {
            events.insert(events.end(), last.begin(), last.end());
            return events;
        }
    }
    events.push_back("close 1");
    return events;
}

TEST(RunLookAheadTest, EffectsInItemOrderWhateverThePreparationsDo) {
    SetLanguage(Language::English);
    test::ScratchDir dir;
    ImagingLibraryLoader loader;
    ASSERT_EQ(loader.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader.errorText();
    gReal = loader.library();
    ImagingLibrary imaging = loader.library();
    imaging.DllDecodeJPEGScaled = Decode;
    std::vector<MediaItem> items;
    for (int p = 1; p <= kItems; ++p) {
        const std::string name = "p" + std::to_string(p) + ".jpg";
        ASSERT_TRUE(test::MakeJpeg(dir / name, 64 + 8 * p, 48));
        items.push_back({(dir / name).string(), dir.str() + "/", name, "th_" + name, StillJpeg});
    }
    test::WriteWholeFile(dir / "form.dat", "500\n501\n20563\n508\n12611\n515\n12867\n519\n20563\n512\n");
    AlbumJob job;
    job.arrangementFile = (dir / "form.dat").string();
    job.outputFolder = (dir / "album").string();
    fs::create_directories(dir / "work");
    const RunFolders folders{job.outputFolder + "/Data", job.outputFolder + "/Thumb", dir.str() + "/work/",
                             0};
    const auto size = [&](int p) { return static_cast<uint32_t>(fs::file_size(items[p - 1].path)); };
    const auto failure = [&](int p, const std::string& reason) {
        return "failure The file " + items[p - 1].path + " could not be used: " + reason;
    };

    const std::string undecodable = "it is not a picture that can be decoded.";
    const std::string unexpected = "an unexpected error stopped the work on it.";
    const struct {
        const char* name;
        std::vector<std::array<int, 3>> behaviour; // item, delay, fault
        int end, stopAt;
        Texts last;
    } cases[] = {
        {"slow first", {{1, 150, 0}, {2, 60, 0}}, 0, 0, {}},
        {"slow last", {{6, 150, 0}}, 0, 0, {}},
        {"refused, earlier slow",
         {{1, 80, 0}, {2, 80, 0}, {4, 0, -1}},
         4,
         0,
         {failure(4, undecodable), "close 3"}},
        {"throws, later ones fast", {{2, 100, 0}, {3, 0, -2}}, 3, 0, {failure(3, unexpected), "close 3"}},
        // Only the preparations running at the stop are waited for (one round of 600 ms), not the window.
        {"stop with slow items ahead",
         {{2, 600, 0}, {3, 600, 0}, {4, 600, 0}, {5, 600, 0}},
         2,
         2,
         {"close 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Watchdog watchdog(60s, c.name);
        fs::remove_all(dir / "album");
        fs::create_directories(dir / "album/Data");
        fs::create_directories(dir / "album/Thumb");
        gBehaviour.clear();
        for (const auto& [p, delay, fault] : c.behaviour)
            gBehaviour[size(p)] = {delay, fault};
        SnapshotHost host(dir / "album");
        CCreateThread run(host, items, job, folders, imaging);
        host.run = &run;
        host.stopAt = c.stopAt;
        const auto start = std::chrono::steady_clock::now();
        run.Run();
        EXPECT_EQ(host.events, Expected(c.end, c.last));
        EXPECT_TRUE(fs::is_empty(dir / "work"));
        if (c.stopAt != 0) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
            // Item 2's Data copy stays (nothing written is removed); no page, finished or temporary.
            EXPECT_EQ(host.Held(), "2+1");
            EXPECT_EQ(std::distance(fs::directory_iterator(dir / "album"), {}), 2);
        }
    }
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GT(gMostDecoding.load(), 1); // worked ahead on more than one thread
    }

    // A FIFO given as a picture is never opened by a worker (which would block it and the stop for good).
    ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
    items.insert(items.begin() + 1,
                 {(dir / "pipe.jpg").string(), dir.str() + "/", "pipe.jpg", "th_pipe.jpg", StillJpeg});
    SnapshotHost host(dir / "album");
    test::Watchdog watchdog(60s, "a FIFO among the items");
    EXPECT_EQ(CCreateThread(host, items, job, folders, imaging).Run(), RunFailed);
    EXPECT_EQ(host.events.end()[-2], failure(2, "it is a FIFO (named pipe), not a regular file."));
}

} // namespace
} // namespace aw
