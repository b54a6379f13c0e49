#include "mainwindow/createworkflow.h"

#include <filesystem>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;

// Records every call in order; answers from a script.
class FakeServices : public CreateServices {
public:
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                  DefaultButton defaultButton) override {
        log.push_back("ask " + Id(text) + " " + Id(caption) + (icon == MessageIcon::Question ? " ?" : " !") +
                      (defaultButton == DefaultButton::Yes ? " yes" : " no"));
        return answers.empty() ? true : Pop();
    }
    void Inform(const std::string& text, const std::string& caption, MessageIcon icon) override {
        log.push_back("inform " + Id(text) + " " + Id(caption) +
                      (icon == MessageIcon::Information ? " i" : " !"));
        lastText = text;
    }
    void InformWithHelp(const std::string& text, const std::string& caption, int helpContext) override {
        log.push_back("help " + Id(text) + " " + Id(caption) + " " + std::to_string(helpContext));
    }
    ProgressOutcome RunProgress(const ProgressRequest& request) override {
        log.push_back("run");
        request_.emplace(request.dataPath, request.thumbPath, request.arrangementMarker, request.workFolder,
                         request.job.arrangementFile);
        names.clear();
        for (const MediaItem& item : request.items.items())
            names.push_back(item.fileName);
        return outcome;
    }
    bool OpenInBrowser(const std::string& pagePath) override {
        log.push_back("open " + pagePath);
        return browserWorks;
    }
    bool SaveEmbedFlag(int embedPlayback) override {
        log.push_back("save embed " + std::to_string(embedPlayback));
        return savesWork;
    }
    bool SaveWorkFolder(const std::string& workFolder) override {
        log.push_back("save folder " + workFolder);
        return savesWork;
    }

    // A text is logged by its string id where it is one, so that tests read like the message table.
    static std::string Id(const std::string& text) {
        for (int id : {407, 421, 427, 428, 429, 430, 431, 436, 438, 440, 441, 444})
            if (text == LoadText(id))
                return std::to_string(id);
        const std::string created = LoadText(407);
        if (text.starts_with(created.substr(0, created.find("%s"))))
            return "407";
        if (text == LoadText(429) + LoadText(432))
            return "429+432";
        if (text == LoadText(406) + "\n" + LoadText(425))
            return "406+425";
        if (text == LoadText(440) + "\n")
            return "440";
        return "\"" + text + "\"";
    }

    bool Pop() {
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    std::vector<bool> answers;
    ProgressOutcome outcome{RunWritten, ""};
    bool browserWorks = true;
    bool savesWork = true;
    std::vector<std::string> log;
    std::string lastText;
    std::vector<std::string> names;
    struct Seen {
        Seen(std::string d, std::string t, int m, std::string w, std::string a)
            : dataPath(std::move(d)), thumbPath(std::move(t)), marker(m), workFolder(std::move(w)),
              arrangement(std::move(a)) {}
        std::string dataPath, thumbPath;
        int marker;
        std::string workFolder, arrangement;
    };
    std::optional<Seen> request_;
};

class CreateWorkflowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(Language::English);
        WriteWholeFile(dir_ / "mountinfo", "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                           "2 1 8:17 / " +
                                               dir_.str() + "/CAM rw - vfat /dev/sdb1 rw\n");
        WriteWholeFile(dir_ / "plain.dat", "1\n2\n");
        WriteWholeFile(dir_ / "marker.dat", "1\n  18766 no thumbnails\n2\n");
        settings_.backgrounds = {{0, "SolidColor"}, {1, "/opt/aw/htmldata/cyber.jpg"}};
        settings_.arrangements = {{0, (dir_ / "plain.dat").string()}, {1, (dir_ / "marker.dat").string()}};
        settings_.audioPicture = "/opt/aw/htmldata/wave.jpg";
        settings_.embedPlayback = 1;
        settings_.workFolder = "/var/tmp/";
        inputs_.outputFolder = (dir_ / "Albums/Trip").string();
        inputs_.pageTitle = "Trip";
        inputs_.fontColour = {0xff, 0x00, 0x0a};
        inputs_.backgroundColour = {0x12, 0xab, 0xcd};
        Add("/photos/a.jpg");
        Add("/photos/b.bmp");
    }

    void Add(const std::string& path) {
        MediaItem item;
        item.path = path;
        item.folder = path.substr(0, path.rfind('/') + 1);
        item.fileName = path.substr(path.rfind('/') + 1);
        item.kind = path.ends_with(".bmp") ? StillBmp : StillJpeg;
        items_.AppendItem(item);
    }

    CreateResult Run() {
        CreateWorkflow create(services_, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string()));
        return create.Run(job_, items_, inputs_, settings_);
    }

    using Log = std::vector<std::string>;
    Log Saves() const { return {"save embed 1", "save folder /var/tmp/"}; }

    ScratchDir dir_;
    FakeServices services_;
    AlbumSettings settings_;
    CreateInputs inputs_;
    AlbumJob job_;
    ItemList items_;
};

TEST_F(CreateWorkflowTest, NewFolderRunsAndReportsSuccess) {
    const CreateResult result = Run();
    const std::string out = inputs_.outputFolder;
    EXPECT_EQ(services_.log, (Log{"run", "inform 407 421 i", "save embed 1", "save folder /var/tmp/"}));
    EXPECT_EQ(services_.lastText, FormatText(LoadText(407), {out}));
    EXPECT_TRUE(result.reachedRun);
    EXPECT_TRUE(result.closeWindow);
    EXPECT_TRUE(fs::is_directory(out + "/Data"));
    EXPECT_TRUE(fs::is_directory(out + "/Thumb"));
    ASSERT_TRUE(services_.request_);
    EXPECT_EQ(services_.request_->dataPath, out + "/Data");
    EXPECT_EQ(services_.request_->thumbPath, out + "/Thumb");
    EXPECT_EQ(services_.request_->marker, 0);
    EXPECT_EQ(services_.request_->workFolder, "/var/tmp/");
    EXPECT_EQ(services_.names, (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(items_.audioPicturePath, settings_.audioPicture);

    EXPECT_EQ(job_.outputFolder, out);
    EXPECT_EQ(job_.fontColourText, "#ff000a");
    EXPECT_EQ(job_.backgroundText, "#12abcd");
    EXPECT_EQ(job_.embedPlayback, 1);
    EXPECT_EQ(job_.openWhenDone, 0);
}

TEST_F(CreateWorkflowTest, JobTakesTableRowsAndKeepsTextsForMissingRows) {
    inputs_.backgroundIndex = 1;
    inputs_.arrangementIndex = 1;
    Run();
    EXPECT_EQ(job_.backgroundText, "/opt/aw/htmldata/cyber.jpg");
    EXPECT_EQ(job_.arrangementFile, (dir_ / "marker.dat").string());
    ASSERT_TRUE(services_.request_);
    EXPECT_EQ(services_.request_->marker, 1);
    EXPECT_EQ(services_.request_->thumbPath, "");
    EXPECT_FALSE(fs::exists(inputs_.outputFolder + "/Thumb"));

    inputs_.backgroundIndex = 4; // no such rows: the texts stay
    inputs_.arrangementIndex = 3;
    Run();
    EXPECT_EQ(job_.backgroundIndex, 4);
    EXPECT_EQ(job_.backgroundText, "/opt/aw/htmldata/cyber.jpg");
    EXPECT_EQ(job_.arrangementFile, (dir_ / "marker.dat").string());
}

TEST_F(CreateWorkflowTest, CameraFolderNoLeavesTheDiskUntouched) {
    inputs_.outputFolder = dir_.str() + "/CAM/dcim/100ALBUM";
    services_.answers = {false};
    const CreateResult result = Run();
    EXPECT_EQ(services_.log, (Log{"ask 444 438 ! no"}));
    EXPECT_FALSE(fs::exists(dir_ / "CAM"));
    EXPECT_FALSE(result.reachedRun);

    services_.log.clear();
    services_.answers = {true};
    Run();
    EXPECT_EQ(services_.log.front(), "ask 444 438 ! no");
    EXPECT_TRUE(fs::is_directory(dir_ / "CAM/dcim/100ALBUM/Data"));
}

TEST_F(CreateWorkflowTest, ExistingFolderNoCancelsAndCreatesNothing) {
    fs::create_directories(inputs_.outputFolder);
    services_.answers = {false};
    const CreateResult result = Run();
    EXPECT_EQ(services_.log, (Log{"ask 430 431 ? yes", "inform 429 421 i"}));
    EXPECT_TRUE(fs::is_empty(inputs_.outputFolder));
    EXPECT_FALSE(result.reachedRun);
}

TEST_F(CreateWorkflowTest, OneQuestionCoversFolderSubfoldersAndPage) {
    fs::create_directories(inputs_.outputFolder + "/Data");
    fs::create_directories(inputs_.outputFolder + "/Thumb");
    WriteWholeFile(inputs_.outputFolder + "/Index.html", "old");
    Run();
    EXPECT_EQ(services_.log,
              (Log{"ask 430 431 ? yes", "run", "inform 407 421 i", "save embed 1", "save folder /var/tmp/"}));
}

TEST_F(CreateWorkflowTest, RenamedFilesAreReportedBeforeThePage) {
    Add("/other/a.jpg");
    inputs_.openWhenDone = true;
    inputs_.outputFolder += "/";
    Run();
    EXPECT_EQ(services_.log, (Log{"run", "help 441 421 2001", "inform 407 421 i",
                                  "open " + dir_.str() + "/Albums/Trip/Index.html", "save embed 1",
                                  "save folder /var/tmp/"}));
}

TEST_F(CreateWorkflowTest, OutcomesOfTheRun) {
    const struct {
        int code;
        bool openWhenDone, browserWorks;
        Log messages; // between "run" and the saves
        bool close;
    } cases[] = {
        {RunWritten, true, false, {"inform 407 421 i", "open *", "inform 427 438 !"}, true},
        {RunStopped, true, true, {"inform 429+432 421 i"}, false},
        {RunFailed, true, true, {"inform \"" + LoadText(428) + "\nThe file x failed\" 438 !"}, false},
        {0, false, true, {}, false},
    };
    for (const auto& c : cases) {
        inputs_.outputFolder = dir_.str() + "/run" + std::to_string(c.code);
        FakeServices services;
        services.outcome = {c.code, c.code == RunFailed ? "The file x failed" : ""};
        services.browserWorks = c.browserWorks;
        inputs_.openWhenDone = c.openWhenDone;
        CreateWorkflow create(services, MountInfo((dir_ / "mountinfo").string()));
        const CreateResult result = create.Run(job_, items_, inputs_, settings_);
        Log expected{"run"};
        for (const std::string& line : c.messages)
            expected.push_back(line == "open *" ? "open " + inputs_.outputFolder + "/Index.html" : line);
        expected.insert(expected.end(), {"save embed 1", "save folder /var/tmp/"});
        EXPECT_EQ(services.log, expected) << c.code;
        EXPECT_EQ(result.runCode, c.code);
        EXPECT_EQ(result.closeWindow, c.close);
    }
}

TEST_F(CreateWorkflowTest, EachFailedSaveIsReported) {
    services_.savesWork = false;
    settings_.embedPlayback = 0;
    services_.outcome = {RunStopped, ""};
    Run();
    EXPECT_EQ(services_.log, (Log{"run", "inform 429+432 421 i", "save embed 0", "inform 436 438 !",
                                  "save folder /var/tmp/", "inform 436 438 !"}));
}

TEST_F(CreateWorkflowTest, FolderFailuresStopBeforeTheRun) {
    WriteWholeFile(dir_ / "file", "x");
    for (const std::string& folder : {dir_.str() + "/file/sub", dir_.str() + "//x"}) {
        FakeServices services;
        inputs_.outputFolder = folder;
        CreateWorkflow create(services, MountInfo((dir_ / "mountinfo").string()));
        EXPECT_FALSE(create.Run(job_, items_, inputs_, settings_).reachedRun);
        EXPECT_EQ(services.log, (Log{"inform 406+425 438 !"})) << folder;
    }
}

TEST(CreateWorkflow, ArrangementMarkerAndPagePath) {
    ScratchDir dir;
    const struct {
        const char* text;
        int marker;
    } cases[] = {
        {"18766\n", 1},  {"1\n   18766\n", 1}, {"18766abc", 1}, {"+18766\n", 1},
        {"187660\n", 0}, {"x18766\n", 0},      {"", 0},
    };
    for (const auto& c : cases) {
        WriteWholeFile(dir / "form.dat", c.text);
        EXPECT_EQ(CreateWorkflow::HasArrangementMarker((dir / "form.dat").string()), c.marker) << c.text;
    }
    EXPECT_EQ(CreateWorkflow::HasArrangementMarker((dir / "missing.dat").string()), 0);
    EXPECT_EQ(CreateWorkflow::AlbumPagePath("/a/b"), "/a/b/Index.html");
    EXPECT_EQ(CreateWorkflow::AlbumPagePath("/a/b/"), "/a/b/Index.html");
    EXPECT_EQ(CreateWorkflow::AlbumPagePath("/"), "/Index.html");
}

} // namespace
} // namespace aw
