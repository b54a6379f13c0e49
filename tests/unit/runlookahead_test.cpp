// The generation run with its thumbnails made ahead on worker threads: whichever preparation is slow,
// refused, throwing or stuck on a FIFO, every visible effect comes in item order.
#include "album/createthread.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <map>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/imaginglibraryloader.h"
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
constexpr int kItems = 6;

// The decoder's behaviour per source, found by its byte count (the sources differ in size): a delay in
// ms, then -1 refuses the picture and -2 throws. Set before a run, only read while it lasts.
ImagingLibrary gReal;
std::map<uint32_t, std::pair<int, int>> gBehaviour;
std::atomic<int> gDecoding{0}, gMostDecoding{0};

void* Decode(const void* bytes, uint32_t count, int minWidth, int minHeight, void* description, int* w,
             int* h) {
    const int now = ++gDecoding;
    for (int seen = gMostDecoding; now > seen && !gMostDecoding.compare_exchange_weak(seen, now);) {
    }
    const auto [delayMs, fault] = gBehaviour.count(count) ? gBehaviour.at(count) : std::pair(0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    --gDecoding;
    if (fault == -2)
        throw std::bad_alloc();
    return fault == -1 ? nullptr
                       : gReal.DllDecodeJPEGScaled(bytes, count, minWidth, minHeight, description, w, h);
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
    const RunFolders folders{job.outputFolder + "/Data", job.outputFolder + "/Thumb", dir.str() + "/", 0};
    const auto size = [&](int p) { return static_cast<uint32_t>(fs::file_size(items[p - 1].path)); };
    const auto failure = [&](int p, const std::string& reason) {
        return "failure The file " + items[p - 1].path + " could not be used: " + reason;
    };

    const struct {
        const char* name;
        std::map<int, std::pair<int, int>> behaviour; // item: delay, fault
        int end, stopAt;
        Texts last;
    } cases[] = {
        {"slow first", {{1, {150, 0}}, {2, {60, 0}}}, 0, 0, {}},
        {"slow last", {{6, {150, 0}}}, 0, 0, {}},
        {"refused while earlier ones are slow",
         {{1, {80, 0}}, {2, {80, 0}}, {4, {0, -1}}},
         4,
         0,
         {failure(4, "it is not a picture that can be decoded."), "close 3"}},
        {"throws, later ones fast",
         {{2, {100, 0}}, {3, {0, -2}}},
         3,
         0,
         {failure(3, "an unexpected error stopped the work on it."), "close 3"}},
        // Only the preparations running at the stop are waited for (one round of 600 ms), not the window.
        {"stop with slow items ahead",
         {{2, {600, 0}}, {3, {600, 0}}, {4, {600, 0}}, {5, {600, 0}}},
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
        for (const auto& [p, behaviour] : c.behaviour)
            gBehaviour[size(p)] = behaviour;
        SnapshotHost host(dir / "album");
        CCreateThread run(host, items, job, folders, imaging);
        host.run = &run;
        host.stopAt = c.stopAt;
        const auto start = std::chrono::steady_clock::now();
        run.Run();
        EXPECT_EQ(host.events, Expected(c.end, c.last));
        if (c.stopAt != 0) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
            EXPECT_EQ(host.Held(), "2+1"); // item 2's Data copy comes before the stop
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
