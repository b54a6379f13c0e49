// SPDX-License-Identifier: MIT
#include "session/createworkflow.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include "album/albumrecords.h"
#include "medialist/itemlist.h"
#include "platform/statefolder.h"
#include "session/outputfolders.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;
using Log = std::vector<std::string>;

// Logs every call in order, a text by its string id where it is one.
class FakeServices : public CreateServices {
public:
    bool AskYesNo(const std::string& text, const std::string&, MessageIcon, DefaultButton) override {
        return Note("ask " + Id(text), answer);
    }
    void Inform(const std::string& text, const std::string&, MessageIcon) override {
        Note("inform " + Id(text));
    }
    void InformWithHelp(const std::string& text, const std::string&, int help) override {
        Note("help " + Id(text) + " " + std::to_string(help));
    }
    ProgressOutcome RunProgress(const ProgressRequest& seen) override {
        request.emplace(seen);
        return Note("run"), outcome;
    }
    bool OpenInBrowser(const std::string& page) override { return Note("open " + page, browserWorks); }
    int AskThree(const std::string&, const std::string&, MessageIcon,
                 const std::array<std::string, 3>&) override {
        return Note("three"), three;
    }
    std::size_t CountPublishingLocation(const std::vector<MediaItem>&, Publishing) override {
        return located;
    }

    bool Note(const std::string& line, bool result = true) {
        log.push_back(line);
        return result;
    }
    std::string Id(const std::string& text) const {
        for (TextId id : {TextId::BrowserFailed, TextId::CreationCancelled, TextId::OverwriteQuestion,
                          TextId::NamesChanged, TextId::CameraFolderQuestion, TextId::LinkedMediaFolder})
            if (text == LoadText(id))
                return std::to_string(TextNumber(id));
        for (const auto& [id, known] :
             {std::pair{"407", FormatText(LoadText(TextId::PageCreated), {folder})},
              {"3408", FormatText(LoadText(TextId::GalleryCreated), {folder})},
              {"429+432", LoadText(TextId::CreationCancelled) + LoadText(TextId::FilesMayRemain)}})
            if (text == known)
                return id;
        return "\"" + text + "\"";
    }

    std::string folder; // as typed but for leading blanks: named by message 407
    bool answer = true, browserWorks = true;
    std::size_t located = 0;
    int three = 2;
    ProgressOutcome outcome{RunWritten, ""};
    Log log;
    std::optional<ProgressRequest> request;
};

// One Create per row, options in the folder's name: its messages ("open": the page) and run.
// "~" is the home folder; "~user/" and a "~" inside a name are folder names like any other.
TEST(CreateWorkflowTest, QuestionsMessagesAndFolders) {
    ScratchDir dir;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dir.str().c_str(), 1);
    EXPECT_EQ(ExpandHomeFolder("~"), dir.str());
    for (const std::string same : {"~nobody/x", "/a/~/b"})
        EXPECT_EQ(ExpandHomeFolder(same), same);
    WriteWholeFile(dir / "mountinfo", "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n2 1 8:17 / " + dir.str() +
                                          "/CAM rw - vfat /dev/sdb1 rw\n");
    WriteWholeFile(dir / "marker.dat", "1\n  18766 no thumbnails\n2\n");
    AlbumSettings settings;
    settings.arrangements = {{0, (dir / "plain.dat").string()}, {1, (dir / "plain.dat").string()}};
    settings.viewerFolder = "/viewer/";
    for (const char* folder : {"old-declines", "page-one-question/Data", "page-one-question/Thumb",
                               "update-own/Data", "linked-data", "elsewhere"})
        fs::create_directories(dir / folder);
    WriteWholeFile(dir / "page-one-question/Index.html", "old");
    fs::create_directory_symlink(dir / "elsewhere", dir / "linked-data/Data");
    // An album whose record in the user's state folder names its page.
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    WriteWholeFile(dir / "update-own/Index.html", "ours");
    const std::string own = AlbumRealPath((dir / "update-own").string());
    ASSERT_EQ(StateFolder::Prepare(), "");
    ASSERT_EQ(SaveAlbumRecord(AlbumRecordPath(own), {own, "Index.html", {}}, {}, ALBUMWRIGHT_VERSION_TEXT),
              0);
    const struct {
        std::string folder;
        int code; // of the run, where it is reached
        Log log;
    } cases[] = {
        {"CAM/dcim/declines", 0, {"ask 444"}},
        {"old-declines", 0, {"ask 430", "inform 429"}},
        {"page-one-question", RunWritten, {"ask 430", "run", "inform 407"}},
        {"update-own", RunWritten, {"run", "inform 407"}},
        {"linked-data", 0, {"ask 430", "inform 3621"}},
        {"new/marked", RunWritten, {"run", "inform 407"}},
        {"clash-open/", RunWritten, {"run", "help 441 2001", "inform 407", "open"}},
        {"open-nobrowser", RunWritten, {"run", "inform 407", "open", "inform 427"}},
        {"gallery-open", RunWritten, {"run", "inform 3408", "open"}}, // movies always play there
        {"open-stopped", RunStopped, {"run", "inform 429+432"}},
        {"open-failed", RunFailed, {"run", "inform \"" + LoadText(TextId::RunFailed) + "\nfile x\""}},
        {"nocode-norows", 0, {"run"}}, // table rows that do not exist leave the job's texts alone
        // Files that would publish where they were taken: removed, published, or back to the window.
        {"located-remove", RunWritten, {"three", "run", "inform 407"}},
        {"located-publish", RunWritten, {"three", "run", "inform 407"}},
        {"located-back", 0, {"three"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const auto has = [&c](const char* option) { return c.folder.find(option) != std::string::npos; };
        FakeServices services;
        services.answer = !has("declines");
        services.browserWorks = !has("nobrowser");
        services.outcome = {c.code, "file x"};
        services.located = has("located") ? 1 : 0;
        services.three = has("remove") ? 0 : has("publish") ? 1 : 2;
        services.folder = dir.str() + "/" + c.folder;
        SessionChoices choices;
        choices.outputFolder = "  " + services.folder;
        choices.openWhenDone = has("open");
        choices.update = has("update");
        choices.background = has("norows") ? 4 : 0;
        choices.arrangement = has("norows") ? 3 : has("gallery") ? 4 : 1;
        if (has("marked")) // the user's own file, instead of the table's
            choices.arrangementFile = (dir / "marker.dat").string();
        choices.embedPlayback = true;
        choices.workFolder = "/var/tmp/";
        AlbumJob job;
        job.backgroundText = job.arrangementFile = "kept";
        ItemList items;
        items.AppendItem({"/photos/a.jpg", "", "", "", MediaKind::StillJpeg});
        if (has("clash"))
            items.AppendItem({"/other/a.jpg", "", "", "", MediaKind::StillJpeg});
        std::set<fs::path> before(fs::recursive_directory_iterator(dir.path()), {});
        const CreateResult result =
            CreateWorkflow(services, MountInfo((dir / "mountinfo").string(), (dir / "sys").string()))
                .Run(job, items, choices, settings);

        const std::string folder = services.folder + (c.folder.ends_with('/') ? "" : "/");
        Log expected;
        for (const std::string& line : c.log)
            expected.push_back(
                line == "open" ? "open " + folder + (has("gallery") ? "index.html" : "Index.html") : line);
        EXPECT_EQ(services.log, expected);
        const bool reached = services.request.has_value();
        EXPECT_EQ(result.closeWindow, reached && c.code == RunWritten);
        if (has("norows")) {
            EXPECT_EQ(job.backgroundText + job.arrangementFile, "keptkept");
        }
        if (!reached) {
            EXPECT_EQ(std::set<fs::path>(fs::recursive_directory_iterator(dir.path()), {}), before);
            continue;
        }
        const ProgressRequest& r = *services.request;
        EXPECT_EQ(std::tuple(r.dataPath, r.thumbPath, r.arrangementMarker, r.workFolder, r.job.embedPlayback,
                             r.job.viewerFolder, r.choices.removeLocation),
                  std::tuple(folder + "Data", has("marked") ? "" : folder + "Thumb", has("marked") ? 1 : 0,
                             "/var/tmp/", has("gallery") ? 0 : 1, has("gallery") ? "/viewer/" : "",
                             has("remove")));
        EXPECT_EQ(fs::is_directory(folder + "Thumb"), !has("marked"));
    }
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_STATE_HOME");
}

// A line of any length is passed without holding it (100 MB once cost more); a FIFO never blocks.
TEST(CreateWorkflowMarker, ReadsLinesWithABoundAndNeverBlocks) {
    ScratchDir dir;
    { // written in pieces: a whole line in this process would raise the peak the test measures
        std::ofstream out(dir / "long.dat", std::ios::binary);
        out << "500\n";
        for (int i = 0; i < 100; ++i)
            out << std::string(1 << 20, '7');
        out << "\n18766\n";
    }
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_EQ(CreateWorkflow::HasArrangementMarker((dir / "long.dat").string()), 1);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "kB more at the peak";

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    int marker = -1;
    EXPECT_TRUE(test::ReturnsWithoutBlocking(
        dir / "fifo", [&] { marker = CreateWorkflow::HasArrangementMarker((dir / "fifo").string()); }));
    EXPECT_EQ(marker, 0);
}

} // namespace
} // namespace aw
