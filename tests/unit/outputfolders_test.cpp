#include "mainwindow/outputfolders.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/desktopfolder.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;

// Answers yes/no questions from a script and counts them.
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
        SetLanguage(Language::English);
        WriteWholeFile(dir_ / "mountinfo", "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                           "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                           "3 1 8:33 / /media/u/My\\040Cam rw - vfat /dev/sdc1 rw\n");
    }
    MountInfo Mounts() const { return MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string()); }

    ScratchDir dir_;
    ScriptedQuestions questions_;
    OutputFolders folders_{questions_, Mounts()};
};

TEST_F(OutputFoldersTest, CameraFolderIsTheFirstFolderBelowTheMountPoint) {
    const struct {
        const char* path;
        bool camera;
    } cases[] = {
        {"/media/u/CAM/DCIM/100X", true},
        {"/media/u/CAM/dcim", true},
        {"/media/u/CAM/DcMv/a", true},
        {"/media/u/My Cam/DCIM", true},
        {"/media/u/CAM/Photos/DCIM", false},
        {"/media/u/CAM/DCIMX", false},
        {"/media/u/CAM", false},
        {"/DCIM/x", true},
        {"/home/u/DCIM", false},
        {"DCIM/100X", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folders_.IsCameraFolder(c.path), c.camera) << c.path;
    EXPECT_EQ(folders_.ChooseInitialFolder("/home/u/Albums"), "/home/u/Albums");
}

TEST_F(OutputFoldersTest, CameraFolderIsReplacedByTheDesktop) {
    const char* saved = std::getenv("XDG_DESKTOP_DIR");
    const std::string keep = saved ? saved : "";
    fs::create_directory(dir_ / "Desktop");
    setenv("XDG_DESKTOP_DIR", (dir_.str() + "/Desktop/").c_str(), 1);
    EXPECT_EQ(folders_.ChooseInitialFolder("/media/u/CAM/DCIM/100X"), dir_.str() + "/Desktop");
    setenv("XDG_DESKTOP_DIR", (dir_.str() + "/NoDesktop").c_str(), 1);
    EXPECT_EQ(folders_.ChooseInitialFolder("/media/u/CAM/DCIM/100X"), "");
    if (saved)
        setenv("XDG_DESKTOP_DIR", keep.c_str(), 1);
    else
        unsetenv("XDG_DESKTOP_DIR");

    EXPECT_EQ(DesktopFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "/home/u"),
              "/home/u/Schreibtisch");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/srv/desk\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "/h"),
              "/srv/desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=\"$HOME", "/h"), "");
}

TEST_F(OutputFoldersTest, NewFolderIsCreatedWithItsParentsWithoutAQuestion) {
    const std::string out = dir_.str() + "/Albums/Trip";
    std::string data, thumb;
    EXPECT_EQ(folders_.PrepareOutputFolder("  " + out + "/").code, FolderGoOn);
    EXPECT_EQ(folders_.PrepareMediaFolders(out + "/", 0, data, thumb).code, FolderGoOn);
    EXPECT_EQ(data, out + "/Data");
    EXPECT_EQ(thumb, out + "/Thumb");
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_TRUE(fs::is_directory(thumb));
    EXPECT_TRUE(questions_.asked.empty());
    EXPECT_TRUE(folders_.overwriteQuestionPending());
    EXPECT_FALSE(OutputFolders::IndexPageExists(out + "/"));
    WriteWholeFile(fs::path(out) / "Index.html", "");
    EXPECT_TRUE(OutputFolders::IndexPageExists(out + "/"));
}

TEST_F(OutputFoldersTest, ExistingFolderAsksOnceForEverything) {
    const std::string out = dir_.str() + "/Trip";
    fs::create_directories(out + "/Data");
    fs::create_directories(out + "/Thumb");
    std::string data, thumb;
    EXPECT_EQ(folders_.PrepareOutputFolder(out).code, FolderYes);
    EXPECT_EQ(folders_.PrepareMediaFolders(out, 0, data, thumb).code, FolderGoOn);
    ASSERT_EQ(questions_.asked.size(), 1u);
    EXPECT_EQ(questions_.asked[0], LoadText(430));
    EXPECT_TRUE(folders_.AskOverwriteQuestion()); // already asked: silent
    EXPECT_EQ(questions_.asked.size(), 1u);
}

TEST_F(OutputFoldersTest, NoToTheQuestionCreatesNothing) {
    const std::string out = dir_.str() + "/Trip";
    fs::create_directories(out);
    questions_.answer = false;
    EXPECT_EQ(folders_.PrepareOutputFolder(out).code, FolderNo);
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(OutputFoldersTest, QuestionFallsToTheFirstExistingSubfolder) {
    const struct {
        bool dataExists, thumbExists, answer;
        int marker;
        int code;
    } cases[] = {
        {true, false, true, 0, FolderGoOn}, {true, false, false, 0, FolderNo},
        {false, true, true, 0, FolderYes},  {false, true, false, 0, FolderNo},
        {true, true, true, 1, FolderGoOn},  {false, true, true, 1, FolderGoOn},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        if (c.dataExists)
            fs::create_directory(dir / "Data");
        if (c.thumbExists)
            fs::create_directory(dir / "Thumb");
        ScriptedQuestions questions;
        questions.answer = c.answer;
        OutputFolders folders(questions, Mounts());
        std::string data, thumb;
        EXPECT_EQ(folders.PrepareMediaFolders(dir.str(), c.marker, data, thumb).code, c.code);
        EXPECT_EQ(questions.asked.size(), (c.dataExists || (c.thumbExists && c.marker == 0)) ? 1u : 0u);
        if (c.marker == 1) {
            // The Thumb folder of an arrangement without thumbnails is left alone.
            EXPECT_EQ(thumb, "");
            EXPECT_EQ(fs::exists(dir / "Thumb"), c.thumbExists);
        }
    }
}

TEST_F(OutputFoldersTest, PathsRefusedByTheRules) {
    for (const char* path : {"/a//b", "//server/share", "relative/folder", "", "   "}) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(result.code, FolderFailed) << path;
        EXPECT_EQ(result.error, 0) << path;
    }
    EXPECT_EQ(folders_.PrepareOutputFolder(dir_.str() + "//x").code, FolderFailed);
    EXPECT_FALSE(fs::exists(dir_ / "x"));
}

TEST_F(OutputFoldersTest, RootGoesOnWithoutQuestion) {
    EXPECT_EQ(folders_.PrepareOutputFolder("/").code, FolderGoOn);
    EXPECT_EQ(folders_.PrepareOutputFolder(" /").code, FolderGoOn);
    EXPECT_TRUE(questions_.asked.empty());
    EXPECT_TRUE(OutputFolders::IsDriveRoot("/"));
    EXPECT_FALSE(OutputFolders::IsDriveRoot("/a"));
    EXPECT_TRUE(OutputFolders::DriveExists("/anything"));
    EXPECT_FALSE(OutputFolders::DriveExists("C:"));
    EXPECT_EQ(OutputFolders::JoinPath("/", "Data"), "/Data");
}

TEST_F(OutputFoldersTest, FailuresCarryTheirErrno) {
    WriteWholeFile(dir_ / "file", "x");
    int error = 0;
    EXPECT_FALSE(OutputFolders::CreateFolderChain(dir_.str() + "/file/sub/deeper", error));
    EXPECT_EQ(error, ENOTDIR);
    const FolderResult output = folders_.PrepareOutputFolder(dir_.str() + "/file/sub");
    EXPECT_EQ(output.code, FolderFailed);
    EXPECT_EQ(output.error, ENOTDIR);

    // A file where Data belongs fails before any question.
    fs::create_directory(dir_ / "out");
    WriteWholeFile(dir_ / "out/Data", "x");
    std::string data, thumb;
    const FolderResult result = folders_.PrepareMediaFolders(dir_.str() + "/out", 0, data, thumb);
    EXPECT_EQ(result.code, FolderFailed);
    EXPECT_EQ(result.error, ENOTDIR);
    EXPECT_TRUE(questions_.asked.empty());
}

} // namespace
} // namespace aw
