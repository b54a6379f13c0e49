// SPDX-License-Identifier: MIT
#include "album/createthread.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <new>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/imaginglibraryloader.h"
#include "album/relayedrunhost.h"
#include "album/runhost.h"
#include "medialist/itemlist.h"
#include "platform/filecopy.h"
#include "stringtable.h"
#include "support/fakeuithread.h"
#include "support/fixtures.h"
#include "support/itemsforrun.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::FakeUiThread;
using test::ReadWholeFile;
using test::WriteWholeFile;
using Texts = std::vector<std::string>;

// Records every call in order and passes it on to `next` if set. `onEvent` may call back into the run (after
// a close is passed on, before anything else); a call starting with `throwOn` throws; with `answerHere` a
// question is answered `answer` here and not passed on.
class RecordingHost : public RunHost {
public:
    void SetStatusText(const std::string& t) override {
        Pass("status " + t, [&] { next->SetStatusText(t); });
    }
    void AdvanceProgress(int n) override {
        Pass("advance " + std::to_string(n), [&] { next->AdvanceProgress(n); });
    }
    int AskYesNo(const std::string& t, const std::string& c) override {
        int given = answer;
        Pass("ask " + c + ": " + t, [&] { given = answerHere ? answer : next->AskYesNo(t, c); });
        return given;
    }
    void Inform(const std::string& t, const std::string& c) override {
        Pass("inform " + c + ": " + t, [&] { next->Inform(t, c); });
    }
    void ReportFailure(const std::string& r) override {
        Pass("failure " + r, [&] { next->ReportFailure(r); });
    }
    void RequestClose(int code) override {
        Pass("close " + std::to_string(code), [&] { next->RequestClose(code); });
    }
    long Closes() const {
        return std::count_if(events.begin(), events.end(),
                             [](const std::string& e) { return e.starts_with("close"); });
    }

    Texts events;
    int answer = kYes;
    bool answerHere = false;
    RunHost* next = nullptr;
    std::function<void(const std::string&)> onEvent;
    std::string throwOn;

private:
    void Pass(const std::string& event, const std::function<void()>& pass) {
        events.push_back(event);
        const bool close = event.starts_with("close");
        if (onEvent && !close)
            onEvent(event);
        if (!throwOn.empty() && event.starts_with(throwOn))
            throw std::runtime_error(event);
        if (next)
            pass();
        if (onEvent && close)
            onEvent(event);
    }
};

std::string Status(int p, int n) {
    return "status " + std::to_string(p) + " of " + std::to_string(n) + " images is being processed...";
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

// Head (title, body with $BC$/$BF$), one link per item, "<BR>" (first column) or "</TR></TABLE>", tail.
constexpr char kArrangement[] = "500\n501\n20563\n508\n12611\n515\n12867\n519\n20563\n512\n";

class CreateThreadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetLanguage(Language::English);
        sources_ = std::make_unique<test::ScratchDir>();
        ASSERT_TRUE(test::MakeJpeg(Source("a.jpg"), 64, 48));
        ASSERT_TRUE(test::MakeJpeg(Source("b.jpg"), 48, 64));
        ASSERT_TRUE(test::MakeJpeg(Source("c.jpg"), 320, 240));
        ASSERT_TRUE(test::MakeBitmap(Source("x.bmp"), 40, 30));
        ASSERT_TRUE(test::MakeJpeg(Source("big.jpg"), 400, 300, "+noise Random -quality 95", "xc:gray"));
        ASSERT_GT(fs::file_size(Source("big.jpg")), 96u * 1024);
        fs::create_directories(Source("mine"));
        fs::copy_file(Source("c.jpg"), Source("mine/usa.jpg"));
        for (int p = 1; p <= 6; ++p)
            ASSERT_TRUE(test::MakeJpeg(Source("p" + std::to_string(p) + ".jpg"), 64 + 8 * p, 48));
    }
    static void TearDownTestSuite() { sources_.reset(); }

    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        fs::create_directories(work_);
        WriteWholeFile(dir_ / "form.dat", kArrangement);
        job_.pageTitle = "Trip";
        job_.arrangementFile = (dir_ / "form.dat").string();
        job_.audioPicture = (test::BinDir() / "htmldata" / "wave.jpg").string();
        job_.outputFolder = out_.string();
        folders_ = RunFolders{(out_ / "Data").string(), (out_ / "Thumb").string(), work_.string() + "/", 0};
    }
    // Temporary files go away on every path, whatever the outcome.
    void TearDown() override { EXPECT_TRUE(fs::is_empty(work_)); }

    // A fresh album folder, host and item list, with `names` taken in and named as Create does.
    void Reset(const Texts& names) {
        fs::remove_all(out_);
        fs::create_directories(out_ / "Data");
        fs::create_directories(out_ / "Thumb");
        host_ = std::make_unique<RecordingHost>();
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(Source(name));
        items_ = test::ItemsForRun(paths, job_.audioPicture);
    }
    int RunOnce(const ImagingLibrary* imaging = nullptr) {
        return CCreateThread(*host_, items_->items(), job_, folders_, imaging ? *imaging : loader_.library())
            .Run();
    }
    static void ReadOnly(const fs::path& file) {
        WriteWholeFile(file, "old");
        ASSERT_TRUE(SetReadOnly(file.string()));
    }

    static std::string Source(const std::string& name) { return (sources_->path() / name).string(); }
    std::string Page() const { return ReadWholeFile(out_ / "Index.html"); }
    fs::path Data(const std::string& name) const { return out_ / "Data" / name; }
    std::string Held() const {
        return std::to_string(Files("Data").size()) + "+" + std::to_string(Files("Thumb").size());
    }
    Texts Files(const char* folder) const {
        Texts names;
        for (const auto& entry : fs::directory_iterator(out_ / folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The item names on the page in order, each with its column (1 or 2).
    Texts Entries() const {
        static const std::regex link("<A HREF=\"Data/([^\"]+)\"[^\r]*\r\n(<BR>)?");
        const std::string page = Page();
        Texts entries;
        for (std::sregex_iterator m(page.begin(), page.end(), link), end; m != end; ++m)
            entries.push_back((*m)[1].str() + ((*m)[2].matched ? ":1" : ":2"));
        return entries;
    }

    static inline std::unique_ptr<test::ScratchDir> sources_;
    test::ScratchDir dir_;
    fs::path out_ = dir_ / "album", work_ = dir_ / "work";
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    RunFolders folders_;
    std::unique_ptr<ItemList> items_;
    std::unique_ptr<RecordingHost> host_;
};

// A read-only Data file is asked about (No leaves the item out and the next takes its column; Yes replaces
// it with the bitmap's JPEG); a read-only thumbnail is replaced without a question.
TEST_F(CreateThreadTest, ReadOnlyFiles) {
    for (const int answer : {RunHost::kNo, RunHost::kYes}) {
        SCOPED_TRACE(answer);
        const bool no = answer == RunHost::kNo;
        Reset({"x.bmp", "a.jpg", "c.jpg"});
        ReadOnly(Data("x.jpg"));
        ReadOnly(out_ / "Thumb/th_a.jpg");
        host_->answer = answer;
        EXPECT_EQ(RunOnce(), RunWritten);
        Texts expected{Status(1, 3), "advance 10",
                       "ask Confirmation: The file x.jpg is a read only file type.\nDo you wish to replace?"};
        if (no)
            expected.push_back("inform Information: Did not create the file x.jpg.");
        expected.insert(expected.end(), {Status(2, 3), "advance 10", Status(3, 3), "advance 10", "close 1"});
        EXPECT_EQ(host_->events, expected);
        EXPECT_EQ(Entries(), (no ? Texts{"a.jpg:1", "c.jpg:2"} : Texts{"x.jpg:1", "a.jpg:2", "c.jpg:1"}));
        EXPECT_EQ(ReadWholeFile(Data("x.jpg")).substr(0, 3), no ? "old" : "\xFF\xD8\xFF");
        EXPECT_EQ(ReadWholeFile(out_ / "Thumb/th_a.jpg").substr(0, 3), "\xFF\xD8\xFF");
        EXPECT_TRUE(IsReadOnly(Data("x.jpg").string()) && IsReadOnly((out_ / "Thumb/th_a.jpg").string()));
        EXPECT_EQ(Files("Thumb").size(), no ? 2u : 3u);
    }
}

// A failure or an exception (the host's, an imaging module's) ends the run with the file named just before
// exactly one close 3, and the earlier page stays: no work folder, no arrangement, a read-only rewrite that
// does not land (the file-size limit lets the thumbnail and page through, not the large copy), a page that
// cannot be put in place, a background that cannot be copied. A throwing close request is not repeated.
TEST_F(CreateThreadTest, FailuresAndExceptionsEndTheRunWithOneCloseThree) {
    ImagingLibrary throwing = loader_.library();
    throwing.DllDecodeJPEG = [](const void*, uint32_t, void*) -> void* { throw std::bad_alloc(); };
    throwing.DllDecodeJPEGScaled = [](const void*, uint32_t, int, int, void*, int*, int*) -> void* {
        throw std::bad_alloc();
    };
    const ImagingLibrary* imaging = nullptr;
    const std::string work = folders_.workFolder, form = job_.arrangementFile;
    const auto unexpected = [](const std::string& name) {
        return Source(name) + " could not be used: an unexpected error stopped the work on it.";
    };
    const struct {
        std::string reason;
        Texts files;
        std::function<void()> prepare;
    } cases[] = {{"no temporary file can be made", {"a.jpg", "b.jpg"}, [&] { folders_.workFolder = ""; }},
                 {"none.dat", {"a.jpg"}, [&] { job_.arrangementFile = (dir_ / "none.dat").string(); }},
                 {Data("big.jpg").string(), {"big.jpg"}, [&] { ReadOnly(Data("big.jpg")); }},
                 {(out_ / "Index.html").string(),
                  {"a.jpg"},
                  [&] {
                      fs::remove(out_ / "Index.html");
                      host_->onEvent = [&](const std::string& e) {
                          if (e.starts_with("advance"))
                              fs::create_directories(out_ / "Index.html" / "x");
                      };
                  }},
                 {"no-such-background.jpg",
                  {"a.jpg"},
                  [&] {
                      job_.backgroundIndex = 2;
                      job_.backgroundText = (dir_ / "no-such-background.jpg").string();
                  }},
                 {unexpected("b.jpg"), {"a.jpg", "b.jpg"}, [&] { host_->throwOn = Status(2, 2); }},
                 {unexpected("x.bmp"), {"x.bmp"}, [&] { host_->throwOn = "ask"; }},
                 {unexpected("a.jpg"), {"a.jpg"}, [&] { imaging = &throwing; }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        folders_.workFolder = work;
        job_.arrangementFile = form;
        job_.backgroundIndex = 0;
        job_.backgroundText = "#ffffff";
        imaging = nullptr;
        Reset(c.files);
        WriteWholeFile(out_ / "Index.html", "earlier page");
        ReadOnly(Data("x.jpg")); // asked about when x.bmp is an item
        c.prepare();
        int code = 0;
        const auto run = [&] { return (code = RunOnce(imaging)) == RunWritten; };
        if (c.files[0] == "big.jpg")
            test::UnderFileSizeLimit(64 * 1024, run);
        else
            run();

        EXPECT_EQ(code, RunFailed);
        ASSERT_GE(host_->events.size(), 2u);
        EXPECT_EQ(host_->Closes(), 1);
        EXPECT_EQ(host_->events.back(), "close 3");
        const std::string& failure = host_->events.end()[-2];
        EXPECT_TRUE(failure.starts_with("failure The file ") && failure.find(c.reason) != std::string::npos)
            << failure;
        if (fs::is_regular_file(out_ / "Index.html")) {
            EXPECT_EQ(Page(), "earlier page");
        }
    }
    Reset({"a.jpg"});
    host_->throwOn = "close";
    EXPECT_EQ(RunOnce(), RunWritten);
    EXPECT_EQ(host_->Closes(), 1);
}

// The background picture is copied for index 2 only, and never over an item of the same name; a marker
// run copies every file and makes no thumbnails.
TEST_F(CreateThreadTest, FinishedRuns) {
    const std::string usa = (test::BinDir() / "htmldata" / "usa.jpg").string();
    const std::tuple<Texts, std::string, Texts> cases[] = {
        {Texts{}, "#ffffff", Texts{}}, // an empty list still writes head and tail
        {{"a.jpg"}, "usa.jpg", {"a.jpg", "usa.jpg"}},
        {{"mine/usa.jpg", "a.jpg"}, "bg_usa.jpg", {"a.jpg", "bg_usa.jpg", "usa.jpg"}},
        {{"a.jpg", "x.bmp", "c.jpg"}, "marker", {"a.jpg", "c.jpg", "x.jpg"}}};
    for (const auto& [files, background, data] : cases) {
        SCOPED_TRACE(background);
        const bool marker = background == "marker", colour = background[0] == '#';
        job_.backgroundIndex = colour || marker ? 0 : 2;
        job_.backgroundText = colour || marker ? "#ffffff" : usa;
        Reset(files);
        if (marker) {
            WriteWholeFile(job_.arrangementFile, std::string("18766\n") + kArrangement);
            fs::remove(out_ / "Thumb");
            folders_.thumbFolder.clear();
            folders_.arrangementMarker = 1;
        }
        EXPECT_EQ(RunOnce(), RunWritten);
        EXPECT_EQ(host_->events.size(), 2 * files.size() + 1);
        EXPECT_EQ(Entries().size(), files.size());
        EXPECT_EQ(Files("Data"), data);
        EXPECT_NE(Page().find("</HTML>"), std::string::npos);
        if (marker) {
            EXPECT_FALSE(fs::exists(out_ / "Thumb"));
        } else if (!colour) {
            EXPECT_EQ(ReadWholeFile(Data(background)), ReadWholeFile(usa));
            EXPECT_NE(Page().find("BACKGROUND=\"Data/" + background + "\""), std::string::npos);
            EXPECT_EQ(ReadWholeFile(Data("usa.jpg")),
                      ReadWholeFile(files.size() == 1 ? usa : Source(files[0])));
        }
    }
}

// Thumbnails made ahead on worker threads: whichever preparation is slow, refused, throwing or stuck on a
// FIFO, every visible effect comes in item order; a stop waits only for the preparations running.
TEST_F(CreateThreadTest, LookAheadKeepsEffectsInItemOrder) {
    ImagingLibrary imaging = gReal = loader_.library();
    imaging.DllDecodeJPEGScaled = Decode;
    const Texts names{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg"};
    const std::string refused = "failure The file " + Source("p4.jpg") +
                                " could not be used: it is not a picture that can be decoded.";
    // A throwing preparation takes the path of the exception table's throwing module.
    const struct {
        const char* name;
        std::vector<std::array<int, 3>> behaviour; // item, delay, fault
        int end, stopAt;
        Texts last;
    } cases[] = {
        {"slow first", {{1, 150, 0}, {2, 60, 0}}, 6, 0, {"close 1"}},
        {"refused, earlier slow", {{1, 80, 0}, {2, 80, 0}, {4, 0, -1}}, 4, 0, {refused, "close 3"}},
        // Only the preparations running at the stop are waited for (one round of 600 ms), not the window.
        {"stop with slow items ahead",
         {{2, 600, 0}, {3, 600, 0}, {4, 600, 0}, {5, 600, 0}},
         2,
         2,
         {"close 2"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::Watchdog watchdog(60s, c.name);
        Reset(names);
        gBehaviour.clear();
        for (const auto& [p, delay, fault] : c.behaviour)
            gBehaviour[static_cast<uint32_t>(fs::file_size(Source(names[p - 1])))] = {delay, fault};
        CCreateThread run(*host_, items_->items(), job_, folders_, imaging);
        host_->onEvent = [&](const std::string& e) {
            if (e.starts_with("status"))
                host_->events.back() = e.substr(0, e.find(" of")) + " holds " + Held();
            if (e == Status(c.stopAt, 6))
                run.RequestStop();
        };
        const auto start = std::chrono::steady_clock::now();
        run.Run();
        std::erase_if(host_->events, [](const std::string& e) { return e.starts_with("advance"); });
        Texts expected;
        for (int p = 1; p <= c.end; ++p)
            expected.push_back("status " + std::to_string(p) + " holds " + std::to_string(p - 1) + "+" +
                               std::to_string(p - 1));
        expected.insert(expected.end(), c.last.begin(), c.last.end());
        EXPECT_EQ(host_->events, expected);
        if (c.stopAt != 0) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
            // Item 2's Data copy stays (nothing written is removed); no page, finished or temporary.
            EXPECT_EQ(Held(), "2+1");
            EXPECT_EQ(Files(""), (Texts{"Data", "Thumb"}));
        }
    }
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GT(gMostDecoding.load(), 1); // worked ahead on more than one thread
    }

    // A FIFO given as a picture is never opened by a worker (which would block it and the stop for good).
    ASSERT_EQ(::mkfifo((dir_ / "pipe.jpg").c_str(), 0600), 0);
    Reset(names);
    std::vector<MediaItem> items = items_->items();
    items.insert(items.begin() + 1,
                 {(dir_ / "pipe.jpg").string(), dir_.str() + "/", "pipe.jpg", "th_pipe.jpg", StillJpeg});
    const test::Watchdog watchdog(60s, "a FIFO among the items");
    EXPECT_EQ(CCreateThread(*host_, items, job_, folders_, imaging).Run(), RunFailed);
    EXPECT_EQ(host_->events.end()[-2],
              "failure The file " + (dir_ / "pipe.jpg").string() +
                  " could not be used: it is a FIFO (named pipe), not a regular file.");
}

// The owner tears the run down from a second thread while the run is at each step and the user-interface
// thread is slow or gone: stop, shut the relay down, destroy. No step hangs; exactly one close, the last
// call.
TEST_F(CreateThreadTest, TeardownFromAnotherThreadAtEveryStep) {
    // The step, whether the probe answers the read-only question itself (so that the message comes), the
    // code.
    const std::tuple<std::string, bool, int> steps[] = {{"status", false, RunStopped},
                                                        {"advance", false, RunStopped},
                                                        {"ask", false, RunStopped},
                                                        {"inform", true, RunStopped},
                                                        {"close", false, RunWritten}};
    for (const FakeUiThread::Mode mode : {FakeUiThread::Mode::Slow, FakeUiThread::Mode::Gone}) {
        for (const auto& [step, probeAnswers, code] : steps) {
            SCOPED_TRACE(step + (mode == FakeUiThread::Mode::Gone ? " gone" : " slow"));
            Reset({"x.bmp", "a.jpg", "c.jpg"});
            if (step != "close")
                ReadOnly(Data("x.jpg"));
            FakeUiThread ui(mode);
            RelayedRunHost relay(*host_, ui.Poster());
            std::promise<void> atStep, stopRaised;
            std::future<void> reached = atStep.get_future(), raised = stopRaised.get_future();
            RecordingHost probe;
            probe.next = &relay;
            probe.answer = RunHost::kNo;
            probe.answerHere = probeAnswers;
            probe.onEvent = [&, fired = false](const std::string& e) mutable {
                if (fired || !e.starts_with(step))
                    return;
                fired = true;
                atStep.set_value();
                // A call the relay does not wait for: hold the run here until the stop is raised.
                if (step == "status" || step == "advance") {
                    EXPECT_EQ(raised.wait_for(10s), std::future_status::ready);
                }
            };
            auto run =
                std::make_unique<CCreateThread>(probe, items_->items(), job_, folders_, loader_.library());
            const test::Watchdog watchdog(20s, "teardown at " + step);
            run->Start();
            std::thread owner([&] {
                ASSERT_EQ(reached.wait_for(10s), std::future_status::ready);
                if ((step == "ask" || step == "inform") && mode == FakeUiThread::Mode::Gone) {
                    EXPECT_TRUE(test::WaitUntil([&] { return relay.waitingQuestions() == 1; }));
                }
                run->RequestStop();
                stopRaised.set_value();
                relay.Shutdown();
                run.reset();
            });
            owner.join();
            ui.Stop();
            ASSERT_FALSE(run);
            ASSERT_FALSE(probe.events.empty());
            const std::string close = "close " + std::to_string(code);
            EXPECT_EQ(probe.events.back(), close);
            EXPECT_EQ(probe.Closes(), 1);
            EXPECT_LE(std::count(host_->events.begin(), host_->events.end(), close), 1);
        }
    }
}

} // namespace
} // namespace aw
