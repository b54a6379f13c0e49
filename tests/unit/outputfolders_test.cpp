#include "mainwindow/outputfolders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/desktopfolder.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;
using namespace std::string_literals;

// Answers every question alike and keeps them.
class ScriptedQuestions : public MessageService {
public:
    bool AskYesNo(const std::string& text, const std::string&, MessageIcon, DefaultButton) override {
        asked.push_back(text);
        return answer;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}

    bool answer = true;
    std::vector<std::string> asked;
};

class OutputFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                           "3 1 8:33 / /media/u/My\\040Cam rw - vfat /dev/sdc1 rw\n");
    }

    ScratchDir dir_;
    ScriptedQuestions questions_;
    OutputFolders folders_{questions_, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string())};
};

TEST_F(OutputFoldersTest, CameraFolderIsTheFirstFolderBelowTheMountPointAndGivesWayToTheDesktop) {
    for (const char* path : {"/media/u/CAM/DCIM/100X", "/media/u/CAM/dcim", "/media/u/CAM/DcMv/a",
                             "/media/u/My Cam/DCIM", "/DCIM/x"})
        EXPECT_TRUE(folders_.IsCameraFolder(path)) << path;
    for (const char* path :
         {"/media/u/CAM/Photos/DCIM", "/media/u/CAM/DCIMX", "/media/u/CAM", "/home/u/DCIM", "DCIM/100X", ""})
        EXPECT_FALSE(folders_.IsCameraFolder(path)) << path;

    // Nothing else in this program reads the desktop folder: the variable needs no restoring.
    setenv("XDG_DESKTOP_DIR", (dir_.str() + "/").c_str(), 1);
    EXPECT_EQ(folders_.ChooseInitialFolder("/media/u/CAM/DCIM/100X"), dir_.str());
    EXPECT_EQ(DesktopFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n", "/h"), "/h/Desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/srv/d\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "/h"), "/srv/d");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=\"$HOME", "/h"), "");
}

// New and existing folders, leading blanks and the question asked once are seen through Create's tests.
TEST_F(OutputFoldersTest, RootRefusedAndFailingFolders) {
    EXPECT_EQ(folders_.PrepareOutputFolder("/").code, FolderGoOn);
    EXPECT_EQ(folders_.PrepareOutputFolder(" /").code, FolderGoOn);
    for (const std::string& path :
         {"/a//b"s, "//server/share"s, "relative"s, ""s, "   "s, dir_.str() + "//x"}) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(std::pair(result.code, result.error), std::pair(+FolderFailed, 0)) << path;
    }
    EXPECT_FALSE(fs::exists(dir_ / "x"));

    // Failures carry their errno; a file where Data belongs fails before any question.
    WriteWholeFile(dir_ / "file", "x");
    const FolderResult output = folders_.PrepareOutputFolder(dir_.str() + "/file/sub");
    EXPECT_EQ(std::pair(output.code, output.error), std::pair(+FolderFailed, ENOTDIR));
    fs::create_directory(dir_ / "out");
    WriteWholeFile(dir_ / "out/Data", "x");
    std::string data, thumb;
    const FolderResult media = folders_.PrepareMediaFolders(dir_.str() + "/out", 0, data, thumb);
    EXPECT_EQ(std::pair(media.code, media.error), std::pair(+FolderFailed, ENOTDIR));
    EXPECT_TRUE(questions_.asked.empty());
}

// Below "/" the first existing subfolder asks; with the arrangement marker Thumb does not count.
TEST_F(OutputFoldersTest, WithoutTheFolderQuestionTheFirstExistingSubfolderAsks) {
    const struct {
        std::string existing;
        bool answer;
        int marker, code;
        std::size_t questions;
    } cases[] = {
        {"Data", true, 0, FolderGoOn, 1},       {"Data", false, 0, FolderNo, 1},
        {"Thumb", true, 0, FolderYes, 1},       {"Thumb", false, 0, FolderNo, 1},
        {"Data Thumb", true, 1, FolderGoOn, 1}, {"Thumb", true, 1, FolderGoOn, 0},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        for (const std::string sub : {"Data", "Thumb"})
            if (c.existing.find(sub) != std::string::npos)
                fs::create_directory(dir / sub);
        questions_ = ScriptedQuestions();
        questions_.answer = c.answer;
        folders_.ResetOverwriteQuestion();
        std::string data, thumb;
        EXPECT_EQ(folders_.PrepareMediaFolders(dir.str(), c.marker, data, thumb).code, c.code) << c.existing;
        EXPECT_EQ(questions_.asked.size(), c.questions) << c.existing;
    }
}

} // namespace
} // namespace aw
