#include "album/createthread.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "album/imaginglibraryloader.h"
#include "album/runhost.h"
#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "platform/filecopy.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;

// Records every call as one text, in order. `onEvent` runs after the lock is released, so that it may
// call back into the run (a stop request sets the status line again).
class RecordingHost : public RunHost {
public:
    void SetStatusText(const std::string& text) override { Record("status " + text); }
    void AdvanceProgress(int steps) override { Record("advance " + std::to_string(steps)); }
    int AskYesNo(const std::string& text, const std::string& caption) override {
        Record("ask " + caption + ": " + text);
        return answer;
    }
    void Inform(const std::string& text, const std::string& caption) override {
        Record("inform " + caption + ": " + text);
    }
    void ReportFailure(const std::string& reason) override { Record("failure " + reason); }
    void RequestClose(int runCode) override { Record("close " + std::to_string(runCode)); }

    std::vector<std::string> Events() {
        std::lock_guard guard(lock_);
        return events_;
    }

    int answer = kYes;
    std::function<void(const std::string&)> onEvent;

private:
    void Record(const std::string& event) {
        {
            std::lock_guard guard(lock_);
            events_.push_back(event);
        }
        if (onEvent)
            onEvent(event);
    }

    std::mutex lock_;
    std::vector<std::string> events_;
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
        sources_ = new ScratchDir;
        ASSERT_TRUE(test::MakeJpeg(sources_->path() / "a.jpg", 64, 48));
        ASSERT_TRUE(test::MakeJpeg(sources_->path() / "b.jpg", 48, 64));
        ASSERT_TRUE(test::MakeJpeg(sources_->path() / "c.jpg", 320, 240));
        ASSERT_TRUE(test::MakeBitmap(sources_->path() / "x.bmp", 40, 30));
        WriteWholeFile(sources_->path() / "bad.jpg", "this is not a picture");
        fs::create_directories(sources_->path() / "mine");
        fs::copy_file(sources_->path() / "c.jpg", sources_->path() / "mine" / "usa.jpg");
    }
    static void TearDownTestSuite() {
        delete sources_;
        sources_ = nullptr;
    }

    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        fs::create_directories(out_ / "Data");
        fs::create_directories(out_ / "Thumb");
        fs::create_directories(work_);
        WriteWholeFile(arrangement_, kArrangement);
        job_.outputFolder = out_.string();
        job_.pageTitle = "Trip";
        job_.fontColourText = "#000000";
        job_.backgroundText = "#ffffff";
        job_.arrangementFile = arrangement_.string();
        job_.audioPicture = (test::BinDir() / "htmldata" / "wave.jpg").string();
        folders_ = RunFolders{(out_ / "Data").string(), (out_ / "Thumb").string(), work_.string() + "/", 0};
    }

    void TearDown() override {
        // Temporary files go away on every path, whatever the outcome.
        EXPECT_TRUE(fs::is_empty(work_));
    }

    // Intake and name preparation as the Create command does them.
    void Take(const std::vector<std::string>& names) {
        MediaIntake intake(items_);
        for (const std::string& name : names)
            intake.Take(Source(name));
        items_.PrepareFileNames();
        items_.MakeFileNamesUnique();
        items_.audioPicturePath = job_.audioPicture;
        items_.PrepareThumbNames();
        items_.MakeThumbNamesUnique();
    }

    int RunOnce() {
        CCreateThread thread(host_, items_, job_, folders_, loader_.library());
        return thread.Run();
    }

    static std::string Source(const std::string& name) { return (sources_->path() / name).string(); }
    std::string Page() const { return ReadWholeFile(out_ / "Index.html"); }
    fs::path Data(const std::string& name) const { return out_ / "Data" / name; }
    fs::path Thumb(const std::string& name) const { return out_ / "Thumb" / name; }

    // The item names on the page in order, each with its column (1 or 2).
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        const std::string page = Page();
        const std::string link = "<A HREF=\"Data/";
        for (std::size_t at = page.find(link); at != std::string::npos; at = page.find(link, at + 1)) {
            const std::size_t nameEnd = page.find('"', at + link.size());
            const std::string name = page.substr(at + link.size(), nameEnd - at - link.size());
            const std::size_t lineEnd = page.find("\r\n", nameEnd) + 2;
            const bool first = page.compare(lineEnd, 4, "<BR>") == 0;
            entries.push_back(name + (first ? ":1" : ":2"));
        }
        return entries;
    }

    static ScratchDir* sources_;
    ScratchDir dir_;
    fs::path out_ = dir_ / "album";
    fs::path work_ = dir_ / "work";
    fs::path arrangement_ = dir_ / "form.dat";
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    RunFolders folders_;
    ItemList items_;
    RecordingHost host_;
};

ScratchDir* CreateThreadTest::sources_ = nullptr;

TEST_F(CreateThreadTest, ThreeJpegsOnTheOwnedThread) {
    Take({"a.jpg", "b.jpg", "c.jpg"});
    {
        CCreateThread thread(host_, items_, job_, folders_, loader_.library());
        thread.Start();
        thread.Join();
        thread.RequestStop(); // late: the run has ended, nothing more is shown
    }
    const std::vector<std::string> expected{Status(1, 3), "advance 10", Status(2, 3), "advance 10",
                                            Status(3, 3), "advance 10", "close 1"};
    EXPECT_EQ(host_.Events(), expected);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.jpg:1", "b.jpg:2", "c.jpg:1"}));
    EXPECT_NE(Page().find("</HTML>"), std::string::npos);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        EXPECT_EQ(ReadWholeFile(Data(name)), ReadWholeFile(Source(name))) << name;
        EXPECT_TRUE(fs::exists(Thumb(std::string("th_") + name))) << name;
    }
    const auto thumb = test::ReadWithImageMagick(Thumb("th_c.jpg"));
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->width, 160);
    EXPECT_EQ(thumb->height, 120);
}

TEST_F(CreateThreadTest, ReadOnlyDataAnsweredNoLeavesTheItemOutAndKeepsTheColumn) {
    Take({"a.jpg", "b.jpg", "c.jpg", "a.jpg"});
    // Numbering made the two a.jpg items 0a.jpg and 3a.jpg.
    WriteWholeFile(Data("b.jpg"), "the user's own");
    ASSERT_TRUE(SetReadOnly(Data("b.jpg").string()));
    host_.answer = RunHost::kNo;
    EXPECT_EQ(RunOnce(), RunWritten);
    const std::vector<std::string> events = host_.Events();
    const std::vector<std::string> expected{
        Status(1, 4),
        "advance 10",
        Status(2, 4),
        "advance 10",
        "ask Confirmation: The file b.jpg is a read only file type.\nDo you wish to replace?",
        "inform Information: Did not create the file b.jpg.",
        Status(3, 4),
        "advance 10",
        Status(4, 4),
        "advance 10",
        "close 1"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"0a.jpg:1", "c.jpg:2", "3a.jpg:1"}));
    EXPECT_EQ(ReadWholeFile(Data("b.jpg")), "the user's own");
    EXPECT_TRUE(IsReadOnly(Data("b.jpg").string()));
    EXPECT_FALSE(fs::exists(Thumb("th_b.jpg")));
}

TEST_F(CreateThreadTest, ReadOnlyFilesAnsweredYesAreReplacedAndStayReadOnly) {
    Take({"x.bmp", "a.jpg"});
    WriteWholeFile(Data("x.jpg"), "old");
    ASSERT_TRUE(SetReadOnly(Data("x.jpg").string()));
    WriteWholeFile(Thumb("th_a.jpg"), "old thumbnail");
    ASSERT_TRUE(SetReadOnly(Thumb("th_a.jpg").string()));
    host_.answer = RunHost::kYes;
    EXPECT_EQ(RunOnce(), RunWritten);

    // One question, for the Data file only: a thumbnail is replaced without asking.
    int questions = 0;
    for (const std::string& event : host_.Events())
        questions += event.rfind("ask ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(questions, 1);
    const std::string data = ReadWholeFile(Data("x.jpg"));
    ASSERT_GE(data.size(), 2u);
    EXPECT_EQ(data.substr(0, 2), "\xFF\xD8"); // the bitmap's JPEG encoding
    EXPECT_TRUE(IsReadOnly(Data("x.jpg").string()));
    const auto thumb = test::ReadWithImageMagick(Thumb("th_a.jpg"));
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->width, 64);
    EXPECT_TRUE(IsReadOnly(Thumb("th_a.jpg").string()));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"x.jpg:1", "a.jpg:2"}));
}

TEST_F(CreateThreadTest, StopDuringTheSecondItemEndsAfterItsDataCopy) {
    Take({"a.jpg", "b.jpg", "c.jpg", "a.jpg", "b.jpg"});
    CCreateThread thread(host_, items_, job_, folders_, loader_.library());
    // The stop comes while the second item is under way; it takes effect at the check after its copy.
    host_.onEvent = [&](const std::string& event) {
        if (event == Status(2, 5))
            thread.RequestStop();
    };
    thread.Start();
    thread.Join();
    const std::vector<std::string> expected{Status(1, 5),          "advance 10", Status(2, 5),
                                            "status Finishing...", "advance 10", "close 2"};
    EXPECT_EQ(host_.Events(), expected);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"0a.jpg:1"}));
    EXPECT_EQ(Page().find("</HTML>"), std::string::npos);
    // Nothing written is removed: the second item's copy stays, it just has no thumbnail or entry.
    // Numbering prefixed the doubled names with their positions.
    EXPECT_TRUE(fs::exists(Data("1b.jpg")));
    EXPECT_TRUE(fs::exists(Thumb("0th_a.jpg")));
    EXPECT_FALSE(fs::exists(Thumb("1th_b.jpg")));
    EXPECT_FALSE(fs::exists(Data("c.jpg")));
}

TEST_F(CreateThreadTest, FailuresEndTheRunWithTheReasonBeforeTheClose) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        bool emptyWorkFolder;
        std::string reasonPart;
        std::vector<std::string> dataLeft;
    };
    const Case cases[] = {
        {"no work folder", {"a.jpg", "b.jpg"}, true, "no temporary file can be made", {"a.jpg"}},
        {"undecodable picture", {"a.jpg", "bad.jpg", "b.jpg"}, false, "bad.jpg", {"a.jpg", "bad.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        fs::create_directories(dir / "Data");
        fs::create_directories(dir / "Thumb");
        ItemList items;
        MediaIntake intake(items);
        for (const std::string& file : c.files)
            intake.Take(Source(file));
        items.PrepareFileNames();
        items.PrepareThumbNames();
        job_.outputFolder = dir.str();
        RecordingHost host;
        RunFolders folders{(dir / "Data").string(), (dir / "Thumb").string(),
                           c.emptyWorkFolder ? std::string() : work_.string() + "/", 0};
        CCreateThread thread(host, items, job_, folders, loader_.library());
        EXPECT_EQ(thread.Run(), RunFailed);
        const std::vector<std::string> events = host.Events();
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.back(), "close 3");
        EXPECT_EQ(events[events.size() - 2].rfind("failure The file ", 0), 0u) << events[events.size() - 2];
        EXPECT_NE(events[events.size() - 2].find(c.reasonPart), std::string::npos)
            << events[events.size() - 2];
        std::vector<std::string> data;
        for (const auto& entry : fs::directory_iterator(dir / "Data"))
            data.push_back(entry.path().filename().string());
        std::sort(data.begin(), data.end());
        EXPECT_EQ(data, c.dataLeft);
        const std::string page = ReadWholeFile(dir / "Index.html");
        EXPECT_EQ(page.find("</HTML>"), std::string::npos);
    }
}

TEST_F(CreateThreadTest, MarkerRunCopiesEveryFileAndMakesNoThumbnails) {
    WriteWholeFile(arrangement_, std::string("18766\n") + kArrangement);
    fs::remove(out_ / "Thumb");
    folders_.thumbFolder.clear();
    folders_.arrangementMarker = 1;
    Take({"a.jpg", "x.bmp", "c.jpg"});
    EXPECT_EQ(RunOnce(), RunWritten);
    EXPECT_FALSE(fs::exists(out_ / "Thumb"));
    for (const char* name : {"a.jpg", "x.jpg", "c.jpg"})
        EXPECT_TRUE(fs::exists(Data(name))) << name;
    EXPECT_EQ(Entries().size(), 3u);
}

TEST_F(CreateThreadTest, BackgroundPictureIsCopiedAfterThePageWithoutReplacingAnItem) {
    const fs::path usa = test::BinDir() / "htmldata" / "usa.jpg";
    struct Case {
        int index;
        std::vector<std::string> files;
        std::string backgroundName; // empty: no background file
    };
    const Case cases[] = {
        {0, {"a.jpg"}, ""},
        {2, {"a.jpg"}, "usa.jpg"},
        {2, {"mine/usa.jpg", "a.jpg"}, "bg_usa.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backgroundName);
        ScratchDir dir;
        fs::create_directories(dir / "Data");
        fs::create_directories(dir / "Thumb");
        ItemList items;
        MediaIntake intake(items);
        for (const std::string& file : c.files)
            intake.Take(Source(file));
        items.PrepareFileNames();
        items.PrepareThumbNames();
        job_.outputFolder = dir.str();
        job_.backgroundIndex = c.index;
        job_.backgroundText = c.index == 0 ? "#ffffff" : usa.string();
        RecordingHost host;
        CCreateThread thread(
            host, items, job_,
            RunFolders{(dir / "Data").string(), (dir / "Thumb").string(), work_.string() + "/", 0},
            loader_.library());
        EXPECT_EQ(thread.Run(), RunWritten);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "Data"))
            ++files;
        EXPECT_EQ(files, c.files.size() + (c.backgroundName.empty() ? 0 : 1));
        const std::string page = ReadWholeFile(dir / "Index.html");
        if (c.backgroundName.empty()) {
            EXPECT_NE(page.find("BGCOLOR=\"#ffffff\""), std::string::npos);
            continue;
        }
        EXPECT_EQ(ReadWholeFile(dir / "Data" / c.backgroundName), ReadWholeFile(usa));
        EXPECT_NE(page.find("BACKGROUND=\"Data/" + c.backgroundName + "\""), std::string::npos);
        if (c.files[0] == "mine/usa.jpg") {
            EXPECT_EQ(ReadWholeFile(dir / "Data" / "usa.jpg"), ReadWholeFile(Source("mine/usa.jpg")));
        }
    }
}

TEST_F(CreateThreadTest, BackgroundNameAvoidsEveryItemName) {
    ItemList items;
    for (const char* name : {"USA.jpg", "bg_usa.jpg", "a.jpg"})
        items.AppendItem(MediaItem{std::string("/p/") + name, "/p/", name, "", StillJpeg});
    EXPECT_EQ(CCreateThread::BackgroundDataName("/h/usa.jpg", items), "bg2_usa.jpg");
    EXPECT_EQ(CCreateThread::BackgroundDataName("/h/toro.jpg", items), "toro.jpg");
}

TEST_F(CreateThreadTest, EmptyListWritesHeadAndTail) {
    EXPECT_EQ(RunOnce(), RunWritten);
    EXPECT_EQ(host_.Events(), std::vector<std::string>{"close 1"});
    const std::string page = Page();
    EXPECT_NE(page.find("<TITLE>Trip</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("</HTML>"), std::string::npos);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(CreateThreadTest, MissingArrangementFailsWithOneClose) {
    job_.arrangementFile = (dir_ / "none.dat").string();
    EXPECT_EQ(RunOnce(), RunFailed);
    const std::vector<std::string> events = host_.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_NE(events[0].find("none.dat"), std::string::npos);
    EXPECT_EQ(events[1], "close 3");
}

} // namespace
} // namespace aw
