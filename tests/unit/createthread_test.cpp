#include "album/createthread.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include "album/imaginglibraryloader.h"
#include "album/relayedrunhost.h"
#include "album/runhost.h"
#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "platform/filecopy.h"
#include "stringtable.h"
#include "support/fakeuithread.h"
#include "support/fixtures.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::FakeUiThread;
using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;
using Texts = std::vector<std::string>;

// Records every call as one text, in order. Read `events` only after the run has ended. `onEvent` may call
// back into the run; a call whose text begins with `throwOn` throws once it is recorded.
class RecordingHost : public RunHost {
public:
    void SetStatusText(const std::string& text) override { Record("status " + text); }
    void AdvanceProgress(int steps) override { Record("advance " + std::to_string(steps)); }
    int AskYesNo(const std::string& t, const std::string& c) override {
        Record("ask " + c + ": " + t);
        return answer;
    }
    void Inform(const std::string& t, const std::string& c) override { Record("inform " + c + ": " + t); }
    void ReportFailure(const std::string& reason) override { Record("failure " + reason); }
    void RequestClose(int runCode) override { Record("close " + std::to_string(runCode)); }
    void Record(const std::string& event) {
        events.push_back(event);
        if (onEvent)
            onEvent(event);
        if (!throwOn.empty() && event.starts_with(throwOn))
            throw std::runtime_error(event);
    }

    Texts events;
    int answer = kYes;
    std::function<void(const std::string&)> onEvent;
    std::string throwOn;
};

// Sits between the run and its relay on the generation thread: records what the run asks for and calls
// `atStep` once, when the run first makes the call whose text begins with `step` (before passing it on;
// after it for the close request). With `answerQuestions` it answers AskYesNo No itself.
class StepProbe : public RecordingHost {
public:
    StepProbe(RunHost& next, std::string step, std::function<void()> atStep)
        : next_(next), step_(std::move(step)), atStep_(std::move(atStep)) {}
    void SetStatusText(const std::string& text) override {
        Pass("status", [&] { next_.SetStatusText(text); });
    }
    void AdvanceProgress(int steps) override {
        Pass("advance", [&] { next_.AdvanceProgress(steps); });
    }
    int AskYesNo(const std::string& t, const std::string& c) override {
        int given = kNo;
        Pass("ask", [&] { given = answerQuestions ? kNo : next_.AskYesNo(t, c); });
        return given;
    }
    void Inform(const std::string& t, const std::string& c) override {
        Pass("inform", [&] { next_.Inform(t, c); });
    }
    void ReportFailure(const std::string& reason) override {
        Pass("failure", [&] { next_.ReportFailure(reason); });
    }
    void RequestClose(int runCode) override {
        Pass("close " + std::to_string(runCode), [&] { next_.RequestClose(runCode); });
    }

    bool answerQuestions = false;

private:
    void Pass(const std::string& event, const std::function<void()>& pass) {
        Record(event);
        const bool here = !fired_ && event.starts_with(step_);
        fired_ = fired_ || here;
        if (here && !event.starts_with("close"))
            atStep_();
        pass();
        if (here && event.starts_with("close"))
            atStep_();
    }

    RunHost& next_;
    const std::string step_;
    const std::function<void()> atStep_;
    bool fired_ = false;
};

std::string Status(int p, int n) {
    return "status " + std::to_string(p) + " of " + std::to_string(n) + " images is being processed...";
}

// Head (title, body with $BC$/$BF$), one link per item, then "<BR>" for the first column or
// "</TR></TABLE>" for the second, and the closing fragment as tail.
constexpr char kArrangement[] = "500\n501\n20563\n508\n12611\n515\n12867\n519\n20563\n512\n";

class CreateThreadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetLanguage(Language::English);
        sources_ = std::make_unique<ScratchDir>();
        ASSERT_TRUE(test::MakeJpeg(Source("a.jpg"), 64, 48));
        ASSERT_TRUE(test::MakeJpeg(Source("b.jpg"), 48, 64));
        ASSERT_TRUE(test::MakeJpeg(Source("c.jpg"), 320, 240));
        ASSERT_TRUE(test::MakeBitmap(Source("x.bmp"), 40, 30));
        fs::create_directories(Source("mine"));
        fs::copy_file(Source("c.jpg"), Source("mine/usa.jpg"));
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
        items_ = std::make_unique<ItemList>();
        MediaIntake intake(*items_);
        for (const std::string& name : names)
            intake.Take(Source(name));
        items_->PrepareFileNames();
        items_->MakeFileNamesUnique();
        items_->audioPicturePath = job_.audioPicture;
        items_->PrepareThumbNames();
        items_->MakeThumbNamesUnique();
    }
    int RunOnce() { return CCreateThread(*host_, items_->items(), job_, folders_, loader_.library()).Run(); }

    static std::string Source(const std::string& name) { return (sources_->path() / name).string(); }
    std::string Page() const { return ReadWholeFile(out_ / "Index.html"); }
    fs::path Data(const std::string& name) const { return out_ / "Data" / name; }
    fs::path Thumb(const std::string& name) const { return out_ / "Thumb" / name; }

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

    static inline std::unique_ptr<ScratchDir> sources_;
    ScratchDir dir_;
    fs::path out_ = dir_ / "album";
    fs::path work_ = dir_ / "work";
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    RunFolders folders_;
    std::unique_ptr<ItemList> items_;
    std::unique_ptr<RecordingHost> host_;
};

TEST_F(CreateThreadTest, ThreeJpegsOnTheOwnedThread) {
    Reset({"a.jpg", "b.jpg", "c.jpg"});
    CCreateThread thread(*host_, items_->items(), job_, folders_, loader_.library());
    thread.Start();
    thread.Join();
    thread.RequestStop(); // late: the run has ended, nothing more is shown
    EXPECT_EQ(host_->events, (Texts{Status(1, 3), "advance 10", Status(2, 3), "advance 10", Status(3, 3),
                                    "advance 10", "close 1"}));
    EXPECT_EQ(Entries(), (Texts{"a.jpg:1", "b.jpg:2", "c.jpg:1"}));
    EXPECT_NE(Page().find("</HTML>"), std::string::npos);
    EXPECT_EQ(Files("Data"), (Texts{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(Files("Thumb"), (Texts{"th_a.jpg", "th_b.jpg", "th_c.jpg"}));
}

// A read-only Data file is asked about (No leaves the item out, and the next item takes its column; Yes
// replaces it with the bitmap's JPEG); a read-only thumbnail is replaced without a question.
TEST_F(CreateThreadTest, ReadOnlyFiles) {
    for (const int answer : {RunHost::kNo, RunHost::kYes}) {
        SCOPED_TRACE(answer);
        Reset({"x.bmp", "a.jpg", "c.jpg"});
        WriteWholeFile(Data("x.jpg"), "old");
        WriteWholeFile(Thumb("th_a.jpg"), "old thumbnail");
        ASSERT_TRUE(SetReadOnly(Data("x.jpg").string()) && SetReadOnly(Thumb("th_a.jpg").string()));
        host_->answer = answer;
        EXPECT_EQ(RunOnce(), RunWritten);
        const bool no = answer == RunHost::kNo;
        Texts expected{Status(1, 3), "advance 10",
                       "ask Confirmation: The file x.jpg is a read only file type.\nDo you wish to replace?"};
        if (no)
            expected.push_back("inform Information: Did not create the file x.jpg.");
        expected.insert(expected.end(), {Status(2, 3), "advance 10", Status(3, 3), "advance 10", "close 1"});
        EXPECT_EQ(host_->events, expected);
        EXPECT_EQ(Entries(), (no ? Texts{"a.jpg:1", "c.jpg:2"} : Texts{"x.jpg:1", "a.jpg:2", "c.jpg:1"}));
        EXPECT_EQ(ReadWholeFile(Data("x.jpg")).substr(0, 3), no ? "old" : "\xFF\xD8\xFF");
        EXPECT_TRUE(IsReadOnly(Data("x.jpg").string()) && IsReadOnly(Thumb("th_a.jpg").string()));
        EXPECT_EQ(Files("Thumb"),
                  (no ? Texts{"th_a.jpg", "th_c.jpg"} : Texts{"th_a.jpg", "th_c.jpg", "th_x.jpg"}));
        EXPECT_EQ(test::ReadWithImageMagick(Thumb("th_a.jpg")).value_or(test::RgbPicture{}).width, 64);
    }
}

TEST_F(CreateThreadTest, StopDuringTheSecondItemEndsAfterItsDataCopy) {
    Reset({"a.jpg", "b.jpg", "c.jpg", "a.jpg", "b.jpg"});
    CCreateThread thread(*host_, items_->items(), job_, folders_, loader_.library());
    host_->onEvent = [&](const std::string& event) {
        if (event == Status(2, 5))
            thread.RequestStop();
    };
    thread.Start();
    thread.Join();
    EXPECT_EQ(host_->events, (Texts{Status(1, 5), "advance 10", Status(2, 5), "advance 10", "close 2"}));
    // The unfinished page never replaces the earlier one (none here) and leaves no temporary page.
    EXPECT_EQ(Files(""), (Texts{"Data", "Thumb"}));
    // Nothing written is removed: the second item's copy stays without thumbnail or entry.
    EXPECT_EQ(Files("Data"), (Texts{"0a.jpg", "1b.jpg"}));
    EXPECT_EQ(Files("Thumb"), Texts{"0th_a.jpg"});
}

TEST_F(CreateThreadTest, FailuresEndTheRunWithTheReasonBeforeTheClose) {
    const std::string work = folders_.workFolder, form = job_.arrangementFile;
    // Files, work folder, arrangement, part of the reason, what stays in Data.
    const std::tuple<Texts, std::string, std::string, std::string, Texts> cases[] = {
        {{"a.jpg", "b.jpg"}, "", form, "no temporary file can be made", {"a.jpg"}},
        {{"a.jpg"}, work, (dir_ / "none.dat").string(), "none.dat", {}},
    };
    for (const auto& [files, workFolder, arrangement, reason, dataLeft] : cases) {
        SCOPED_TRACE(reason);
        folders_.workFolder = workFolder;
        job_.arrangementFile = arrangement;
        Reset(files);
        EXPECT_EQ(RunOnce(), RunFailed);
        ASSERT_GE(host_->events.size(), 2u);
        EXPECT_EQ(host_->events.back(), "close 3");
        const std::string& failure = host_->events.end()[-2];
        EXPECT_TRUE(failure.starts_with("failure The file ") && failure.find(reason) != std::string::npos)
            << failure;
        EXPECT_EQ(Files("Data"), dataLeft);
        EXPECT_EQ(Page().find("</HTML>"), std::string::npos);
    }
}

TEST_F(CreateThreadTest, MarkerRunCopiesEveryFileAndMakesNoThumbnails) {
    WriteWholeFile(job_.arrangementFile, std::string("18766\n") + kArrangement);
    Reset({"a.jpg", "x.bmp", "c.jpg"});
    fs::remove(out_ / "Thumb");
    folders_.thumbFolder.clear();
    folders_.arrangementMarker = 1;
    EXPECT_EQ(RunOnce(), RunWritten);
    EXPECT_FALSE(fs::exists(out_ / "Thumb"));
    EXPECT_EQ(Files("Data"), (Texts{"a.jpg", "c.jpg", "x.jpg"}));
    EXPECT_EQ(Entries().size(), 3u);
}

// Faults late in a run must fail it (close 3, with the file named) and leave the earlier page: a rewrite of
// a read-only Data file that does not land (a file-size limit lets the small thumbnail and page through
// but not the large copy), a page that cannot be put in place, a background that cannot be copied.
TEST_F(CreateThreadTest, LateFaultsFailTheRunAndKeepTheEarlierPage) {
    const fs::path big = sources_->path() / "big.jpg";
    ASSERT_TRUE(test::MakeJpeg(big, 400, 300, "+noise Random -quality 95", "xc:gray"));
    ASSERT_GT(fs::file_size(big), 96u * 1024);
    const std::string missing = (dir_ / "no-such-background.jpg").string();
    const struct {
        const char* what;
        std::function<void(const std::string&)> onEvent;
        int backgroundIndex;
        std::string reason;
    } cases[] = {
        {"rewrite", nullptr, 0, Data("big.jpg").string()},
        {"page",
         [&](const std::string& e) {
             if (e.starts_with("advance"))
                 fs::create_directories(out_ / "Index.html" / "x");
         },
         0, (out_ / "Index.html").string()},
        {"background", nullptr, 2, "no-such-background.jpg"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        const bool rewrite = std::string(t.what) == "rewrite";
        Reset({"big.jpg"});
        if (rewrite) {
            WriteWholeFile(Data("big.jpg"), "old");
            ASSERT_TRUE(SetReadOnly(Data("big.jpg").string()));
        }
        if (std::string(t.what) != "page")
            WriteWholeFile(out_ / "Index.html", "earlier page");
        job_.backgroundIndex = t.backgroundIndex;
        job_.backgroundText = t.backgroundIndex == 0 ? "#ffffff" : missing;
        host_->onEvent = t.onEvent;

        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rewrite ? 64 * 1024 : saved.rlim_cur, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int code = RunOnce();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        EXPECT_EQ(code, RunFailed);
        ASSERT_GE(host_->events.size(), 2u);
        EXPECT_NE(host_->events.end()[-2].find(t.reason), std::string::npos) << host_->events.end()[-2];
        if (std::string(t.what) != "page") {
            EXPECT_EQ(Page(), "earlier page");
        }
    }
    fs::remove(big);
}

// The background picture is copied for index 2 only, and never over an item of the same name.
TEST_F(CreateThreadTest, FinishedRunsWithAndWithoutBackgroundPicture) {
    const fs::path usa = test::BinDir() / "htmldata" / "usa.jpg";
    const std::tuple<Texts, std::string, Texts> cases[] = {
        {Texts{}, "#ffffff", Texts{}}, // an empty list still writes head and tail
        {{"a.jpg"}, "usa.jpg", {"a.jpg", "usa.jpg"}},
        {{"mine/usa.jpg", "a.jpg"}, "bg_usa.jpg", {"a.jpg", "bg_usa.jpg", "usa.jpg"}},
    };
    for (const auto& [files, background, data] : cases) {
        SCOPED_TRACE(background);
        job_.backgroundIndex = background[0] == '#' ? 0 : 2;
        job_.backgroundText = background[0] == '#' ? background : usa.string();
        Reset(files);
        EXPECT_EQ(RunOnce(), RunWritten);
        EXPECT_EQ(host_->events.size(), 2 * files.size() + 1);
        EXPECT_EQ(host_->events.back(), "close 1");
        EXPECT_EQ(Entries().size(), files.size());
        EXPECT_EQ(Files("Data"), data);
        EXPECT_NE(Page().find("<TITLE>Trip</TITLE>"), std::string::npos);
        EXPECT_NE(Page().find("</HTML>"), std::string::npos);
        if (job_.backgroundIndex == 0) {
            EXPECT_NE(Page().find("BGCOLOR=\"#ffffff\""), std::string::npos);
            continue;
        }
        EXPECT_EQ(ReadWholeFile(Data(background)), ReadWholeFile(usa));
        EXPECT_NE(Page().find("BACKGROUND=\"Data/" + background + "\""), std::string::npos);
        EXPECT_EQ(ReadWholeFile(Data("usa.jpg")),
                  ReadWholeFile(files.size() == 1 ? usa.string() : Source(files[0])));
    }
}

// Whatever throws inside the run (its host, an imaging module) ends it with a line naming the file it
// worked on and exactly one close request 3; a throwing close request is not repeated.
TEST_F(CreateThreadTest, AnExceptionEndsTheRunWithOneCloseThree) {
    ImagingLibrary throwing = loader_.library();
    throwing.DllDecodeJPEG = [](const void*, uint32_t, void*) -> void* { throw std::bad_alloc(); };
    throwing.DllDecodeJPEGScaled = [](const void*, uint32_t, int, int, void*, int*, int*) -> void* {
        throw std::bad_alloc();
    };
    // What throws, the imaging table, the file named (empty: no failure line), the close requests.
    const std::tuple<std::string, const ImagingLibrary*, std::string, Texts> cases[] = {
        {Status(2, 3), &loader_.library(), "b.jpg", {"close 3"}},
        {"ask", &loader_.library(), "x.bmp", {"close 3"}},
        {"none", &throwing, "a.jpg", {"close 3"}},
        {"close", &loader_.library(), "", {"close 1"}},
    };
    for (const auto& [throwOn, imaging, file, closes] : cases) {
        SCOPED_TRACE(throwOn);
        Reset({"a.jpg", "b.jpg", "x.bmp"});
        WriteWholeFile(Data("x.jpg"), "old");
        ASSERT_TRUE(SetReadOnly(Data("x.jpg").string()));
        host_->throwOn = throwOn;
        CCreateThread thread(*host_, items_->items(), job_, folders_, *imaging);
        thread.Start();
        thread.Join();
        EXPECT_EQ(thread.result(), closes[0] == "close 3" ? RunFailed : RunWritten);
        Texts closed;
        std::copy_if(host_->events.begin(), host_->events.end(), std::back_inserter(closed),
                     [](const std::string& event) { return event.starts_with("close"); });
        EXPECT_EQ(closed, closes);
        EXPECT_EQ(host_->events.back(), closes[0]);
        if (file.empty())
            continue;
        const std::string& failure = host_->events.end()[-2];
        EXPECT_EQ(failure, "failure The file " + Source(file) +
                               " could not be used: an unexpected error stopped the work on it.");
    }
}

// The owner tears the run down from a second thread while the run is at each of its steps, and the
// user-interface thread behind the relay is slow or gone: stop, shut the relay down, destroy (join). No
// step may hang, and the run makes exactly one close request, its last call.
TEST_F(CreateThreadTest, TeardownFromAnotherThreadAtEveryStep) {
    // The step, whether the probe answers the read-only question itself (so that the message comes), the
    // run code.
    const std::tuple<std::string, bool, int> steps[] = {
        {"status", false, RunStopped}, {"advance", false, RunStopped}, {"ask", false, RunStopped},
        {"inform", true, RunStopped},  {"close", false, RunWritten},
    };
    for (const FakeUiThread::Mode mode : {FakeUiThread::Mode::Slow, FakeUiThread::Mode::Gone}) {
        for (const auto& [step, probeAnswers, code] : steps) {
            SCOPED_TRACE(step + (mode == FakeUiThread::Mode::Gone ? " gone" : " slow"));
            Reset({"x.bmp", "a.jpg", "c.jpg"});
            if (step != "close") {
                WriteWholeFile(Data("x.jpg"), "old");
                ASSERT_TRUE(SetReadOnly(Data("x.jpg").string()));
            }
            FakeUiThread ui(mode);
            RelayedRunHost relay(*host_, ui.Poster());
            std::promise<void> atStep, stopRaised;
            std::future<void> reached = atStep.get_future(), raised = stopRaised.get_future();
            StepProbe probe(relay, step, [&] {
                atStep.set_value();
                // A call the relay does not wait for: hold the run here until the stop is raised.
                if (step == "status" || step == "advance") {
                    EXPECT_EQ(raised.wait_for(10s), std::future_status::ready);
                }
            });
            probe.answerQuestions = probeAnswers;
            auto run =
                std::make_unique<CCreateThread>(probe, items_->items(), job_, folders_, loader_.library());
            const test::Watchdog watchdog(20s, "teardown at " + step);
            run->Start();
            std::thread owner([&] {
                ASSERT_EQ(reached.wait_for(10s), std::future_status::ready);
                const bool question = step == "ask" || step == "inform";
                if (question && mode == FakeUiThread::Mode::Gone) {
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
            EXPECT_EQ(probe.events.back(), "close " + std::to_string(code));
            EXPECT_EQ(std::count_if(probe.events.begin(), probe.events.end(),
                                    [](const std::string& e) { return e.starts_with("close"); }),
                      1);
            EXPECT_LE(std::count(host_->events.begin(), host_->events.end(), "close " + std::to_string(code)),
                      1);
        }
    }
}

} // namespace
} // namespace aw
