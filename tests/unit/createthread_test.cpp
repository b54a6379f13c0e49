// SPDX-License-Identifier: MIT
#include "album/createthread.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
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
#include "album/runhost.h"
#include "medialist/itemlist.h"
#include "platform/filecopy.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/itemsforrun.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadWholeFile;
using test::WriteWholeFile;
using Texts = std::vector<std::string>;

// Records every call in order; `onEvent` sees it first; a call starting with `throwOn` throws.
class RecordingHost : public RunHost {
public:
    void SetStatusText(const std::string& t) override { Note("status " + t); }
    void AdvanceProgress(int n) override { Note("advance " + std::to_string(n)); }
    int AskYesNo(const std::string& t, const std::string&) override { return Note("ask " + t), answer; }
    void Inform(const std::string& t, const std::string&) override { Note("inform " + t); }
    void ReportFailure(const std::string& r) override { Note("failure " + r); }
    void RequestClose(int code) override { Note("close " + std::to_string(code)); }
    long Count(const char* kind) const {
        return std::count_if(events.begin(), events.end(),
                             [&](const std::string& e) { return e.starts_with(kind); });
    }

    Texts events;
    int answer = kYes;
    std::function<void(const std::string&)> onEvent;
    std::string throwOn;

private:
    void Note(const std::string& event) {
        events.push_back(event);
        if (onEvent)
            onEvent(event);
        if (!throwOn.empty() && event.starts_with(throwOn))
            throw std::runtime_error(event);
    }
};

// Head (title, body with $BC$/$BF$), one link per item, "<BR>" (first column) or "</TR></TABLE>", tail.
constexpr char kArrangement[] = "500\n501\n20563\n508\n12611\n515\n12867\n519\n20563\n512\n";

class CreateThreadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetLanguage(Language::English);
        sources_ = std::make_unique<test::ScratchDir>();
        ASSERT_TRUE(test::MakeJpeg(Source("a.jpg"), 64, 48));
        ASSERT_TRUE(test::MakeJpeg(Source("c.jpg"), 320, 240));
        ASSERT_TRUE(test::MakeBitmap(Source("x.bmp"), 40, 30));
        fs::create_directories(Source("mine"));
        fs::copy_file(Source("c.jpg"), Source("mine/usa.jpg"));
        for (int p = 1; p <= 2; ++p)
            ASSERT_TRUE(test::MakeJpeg(Source("p" + std::to_string(p) + ".jpg"), 64 + 8 * p, 48));
    }
    static void TearDownTestSuite() { sources_.reset(); }
    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        fs::create_directories(work_);
        WriteWholeFile(dir_ / "form.dat", kArrangement);
        job_.arrangementFile = (dir_ / "form.dat").string();
        job_.audioPicture = (test::BinDir() / "htmldata" / "wave.jpg").string();
        job_.outputFolder = out_.string();
        folders_ = RunFolders{(out_ / "Data").string(), (out_ / "Thumb").string(), work_.string() + "/", 0};
    }
    void TearDown() override {
        EXPECT_TRUE(fs::is_empty(work_));
    } // no temporary file left, whatever the outcome

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
// it, still read-only); a read-only thumbnail is replaced without a question.
TEST_F(CreateThreadTest, ReadOnlyFiles) {
    for (const int answer : {RunHost::kNo, RunHost::kYes}) {
        SCOPED_TRACE(answer);
        const bool no = answer == RunHost::kNo;
        Reset({"x.bmp", "a.jpg", "c.jpg"});
        ReadOnly(Data("x.jpg"));
        ReadOnly(out_ / "Thumb/th_a.jpg");
        host_->answer = answer;
        EXPECT_EQ(RunOnce(), RunWritten);
        EXPECT_EQ(host_->Count("ask"), 1);
        EXPECT_EQ(Entries(), (no ? Texts{"a.jpg:1", "c.jpg:2"} : Texts{"x.jpg:1", "a.jpg:2", "c.jpg:1"}));
        EXPECT_EQ(ReadWholeFile(Data("x.jpg")).substr(0, 3), no ? "old" : "\xFF\xD8\xFF");
        EXPECT_EQ(ReadWholeFile(out_ / "Thumb/th_a.jpg").substr(0, 3), "\xFF\xD8\xFF");
        EXPECT_TRUE(IsReadOnly(Data("x.jpg").string()));
    }
}

// A failure or an exception (the host's, an imaging module's) ends the run with the file named just before
// exactly one close 3, and the earlier page stays. A throwing close request is not repeated.
TEST_F(CreateThreadTest, FailuresAndExceptionsEndTheRunWithOneCloseThree) {
    ImagingLibrary throwing = loader_.library();
    throwing.DllDecodeJPEGScaled = [](const void*, uint32_t, int, int, void*, int*, int*) -> void* {
        throw std::bad_alloc();
    };
    const ImagingLibrary* imaging = nullptr;
    const AlbumJob job = job_;
    const RunFolders folders = folders_;
    const auto unexpected = [](const std::string& name) {
        return Source(name) + " could not be used: an unexpected error";
    };
    const struct {
        std::string reason;
        Texts files;
        std::function<void()> prepare;
    } cases[] = {{"no temporary file can be made", {"a.jpg", "c.jpg"}, [&] { folders_.workFolder = ""; }},
                 {"no-such-background.jpg",
                  {"a.jpg"},
                  [&] {
                      job_.backgroundIndex = 2;
                      job_.backgroundText = (dir_ / "no-such-background.jpg").string();
                  }},
                 {unexpected("c.jpg"), {"a.jpg", "c.jpg"}, [&] { host_->throwOn = "status 2"; }},
                 {unexpected("a.jpg"), {"a.jpg"}, [&] { imaging = &throwing; }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        job_ = job;
        folders_ = folders;
        imaging = nullptr;
        Reset(c.files);
        WriteWholeFile(out_ / "Index.html", "earlier page");
        c.prepare();
        EXPECT_EQ(RunOnce(imaging), RunFailed);
        ASSERT_GE(host_->events.size(), 2u);
        EXPECT_EQ(std::pair(host_->Count("close"), host_->events.back()),
                  std::pair(1L, std::string("close 3")));
        EXPECT_NE(host_->events.end()[-2].find(c.reason), std::string::npos) << host_->events.end()[-2];
        EXPECT_EQ(Page(), "earlier page");
    }
    Reset({"a.jpg"});
    host_->throwOn = "close";
    EXPECT_EQ(RunOnce(), RunWritten);
    EXPECT_EQ(host_->Count("close"), 1);
}

// The background picture is copied for index 2 only, and never over an item of the same name; a marker
// run copies every file and makes no thumbnails.
TEST_F(CreateThreadTest, FinishedRuns) {
    const std::string usa = (test::BinDir() / "htmldata" / "usa.jpg").string();
    const std::tuple<Texts, std::string, Texts> cases[] = {
        {{"mine/usa.jpg", "a.jpg"}, "bg_usa.jpg", {"a.jpg", "bg_usa.jpg", "usa.jpg"}},
        {{"a.jpg", "x.bmp", "c.jpg"}, "marker", {"a.jpg", "c.jpg", "x.jpg"}}};
    for (const auto& [files, background, data] : cases) {
        SCOPED_TRACE(background);
        const bool marker = background == "marker";
        job_.backgroundIndex = marker ? 0 : 2;
        job_.backgroundText = marker ? "#ffffff" : usa;
        Reset(files);
        if (marker) {
            WriteWholeFile(job_.arrangementFile, std::string("18766\n") + kArrangement);
            fs::remove(out_ / "Thumb");
            folders_.thumbFolder.clear();
            folders_.arrangementMarker = 1;
        }
        EXPECT_EQ(RunOnce(), RunWritten);
        EXPECT_EQ(Entries().size(), files.size());
        EXPECT_EQ(Files("Data"), data);
        if (marker) {
            EXPECT_FALSE(fs::exists(out_ / "Thumb"));
        } else {
            EXPECT_NE(Page().find("BACKGROUND=\"Data/" + background + "\""), std::string::npos);
            EXPECT_EQ(ReadWholeFile(Data("usa.jpg")), ReadWholeFile(Source(files[0])));
        }
    }
}

// Thumbnails are made ahead on worker threads: a FIFO among the items is refused, never opened by a worker.
TEST_F(CreateThreadTest, AFifoAmongTheItemsIsNeverOpened) {
    ASSERT_EQ(::mkfifo((dir_ / "pipe.jpg").c_str(), 0600), 0);
    Reset({"p1.jpg", "p2.jpg"});
    std::vector<MediaItem> items = items_->items();
    items.insert(items.begin() + 1, {(dir_ / "pipe.jpg").string(), dir_.str() + "/", "pipe.jpg",
                                     "th_pipe.jpg", MediaKind::StillJpeg});
    const test::Watchdog watchdog(60s, "a FIFO among the items");
    EXPECT_EQ(CCreateThread(*host_, items, job_, folders_, loader_.library()).Run(), RunFailed);
    EXPECT_NE(host_->events.end()[-2].find("FIFO"), std::string::npos);
}

// With embedded playback a movie browsers do not play gets its copy under its playable name, played by
// the page beside the link to its own copy; the copy's progress stays within the item's ten steps. A stop
// while the copy is made ends the run within it, leaving no part copy.
TEST_F(CreateThreadTest, EmbeddedPlaybackMakesTheCopyAndStopsInsideIt) {
    ASSERT_TRUE(test::MakeMovie(Source("clip.avi"), 64, 48, "-frames:v 50"));
    job_.embedPlayback = 1;
    WriteWholeFile(job_.arrangementFile, "500\n501\n20563\n506\n508\n12611\n515\n12867\n519\n20563\n512\n");
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop);
        Reset({"clip.avi", "a.jpg"});
        items_->PreparePlayableNames();
        CCreateThread run(*host_, items_->items(), job_, folders_, loader_.library());
        int steps = 0;
        host_->onEvent = [&](const std::string& e) {
            if (e.starts_with("advance"))
                steps += std::stoi(e.substr(8));
            if (stop && e.find("browsers play") != std::string::npos)
                run.RequestStop();
        };
        EXPECT_EQ(run.Run(), stop ? RunStopped : RunWritten);
        EXPECT_EQ(Files("Data"), stop ? Texts{"clip.avi"} : (Texts{"a.jpg", "clip.avi", "clip.mp4"}));
        if (!stop) {
            EXPECT_EQ(steps, 20);
            EXPECT_NE(Page().find("<VIDEO SRC=\"Data/clip.mp4\""), std::string::npos);
            EXPECT_EQ(Entries(), (Texts{"clip.avi:1", "a.jpg:2"}));
        }
    }
}

} // namespace
} // namespace aw
