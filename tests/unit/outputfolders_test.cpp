// SPDX-License-Identifier: MIT
#include "session/outputfolders.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
namespace fs = std::filesystem;

// Camera cards at /media/u/CAM, /media/u/My Cam and card; every question answered alike and kept.
class OutputFoldersTest : public ::testing::Test, public MessageService {
protected:
    void SetUp() override {
        test::WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                                 "3 1 8:33 / /media/u/My\\040Cam rw - vfat /dev/sdc1 rw\n"
                                                 "4 1 8:49 / " +
                                                     dir_.str() + "/card rw - vfat /dev/sdd1 rw\n");
    }
    bool AskYesNo(const std::string& text, const std::string&, MessageIcon, DefaultButton) override {
        asked_.push_back(text);
        return answer_;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    FolderResult Media(const std::string& folder, int marker = 0) {
        std::string data, thumb;
        return folders_.PrepareMediaFolders(folder, marker, data, thumb);
    }

    test::ScratchDir dir_;
    bool answer_ = true;
    std::vector<std::string> asked_;
    OutputFolders folders_{*this, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string())};
};
// The first folder below a mount point, whatever its case; the path is resolved before the mount table is
// asked, so a link into a card leads to a camera folder.
TEST_F(OutputFoldersTest, CameraFolderIsTheFirstFolderBelowTheMountPoint) {
    fs::create_directories(dir_ / "card/DCIM");
    fs::create_directory_symlink(dir_ / "card", dir_ / "cam");
    const std::string d = dir_.str();
    for (const std::string& path :
         {"/media/u/CAM/DCIM/100X"s, "/media/u/CAM/dcim"s, "/media/u/CAM/DcMv/a"s, "/media/u/My Cam/DCIM"s,
          "/DCIM/x"s, d + "/cam/DCIM/100X", d + "/x/../cam/./DCIM"})
        EXPECT_TRUE(folders_.IsCameraFolder(path)) << path;
    for (const std::string& path : {"/media/u/CAM/Photos/DCIM"s, "/media/u/CAM/DCIMX"s, "/media/u/CAM"s,
                                    "/home/u/DCIM"s, "DCIM/100X"s, ""s, d + "/cam/../DCIM"})
        EXPECT_FALSE(folders_.IsCameraFolder(path)) << path;
}

// Failures carry their errno; paths past the system's limit are refused at once, one just within it is made;
// a file where Data belongs fails before any question.
TEST_F(OutputFoldersTest, FailingAndOverlongFolders) {
    const test::Watchdog watchdog(20s, "deep output folders");
    std::string deep = dir_.str(), overlong = "/";
    while (deep.size() + 41 <= 4095)
        deep += "/" + std::string(40, 'd');
    for (int i = 0; i < 100000; ++i)
        overlong += "a/";
    test::WriteWholeFile(dir_ / "file", "x");
    const auto Failed = [&](const std::string& path, int error) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(std::pair(result.code, result.error), std::pair(+FolderFailed, error))
            << path.substr(0, 40);
    };
    for (const std::string& path :
         {"/a//b"s, "//server/share"s, "relative"s, ""s, "   "s, dir_.str() + "//x"})
        Failed(path, 0);
    Failed(dir_.str() + "/file/sub", ENOTDIR);
    Failed(overlong, ENAMETOOLONG);
    EXPECT_FALSE(fs::exists(dir_ / "x"));
    for (const std::string& path : {"/"s, " /"s, deep})
        EXPECT_EQ(folders_.PrepareOutputFolder(path).code, FolderGoOn) << path.substr(0, 40);
    EXPECT_TRUE(fs::is_directory(deep));
    fs::create_directory(dir_ / "out");
    test::WriteWholeFile(dir_ / "out/Data", "x");
    const FolderResult media = Media(dir_.str() + "/out");
    EXPECT_EQ(std::pair(media.code, media.error), std::pair(+FolderFailed, ENOTDIR));
    EXPECT_TRUE(asked_.empty());
}

// Below "/" the first existing subfolder asks; with the arrangement marker Thumb does not count.
TEST_F(OutputFoldersTest, WithoutTheFolderQuestionTheFirstExistingSubfolderAsks) {
    const struct {
        std::string existing;
        bool answer;
        int marker, code;
        std::size_t questions;
    } cases[] = {{"Data", true, 0, FolderGoOn, 1},       {"Data", false, 0, FolderNo, 1},
                 {"Thumb", true, 0, FolderYes, 1},       {"Thumb", false, 0, FolderNo, 1},
                 {"Data Thumb", true, 1, FolderGoOn, 1}, {"Thumb", true, 1, FolderGoOn, 0}};
    for (const auto& c : cases) {
        test::ScratchDir dir;
        for (const std::string sub : {"Data", "Thumb"})
            if (c.existing.find(sub) != std::string::npos)
                fs::create_directory(dir / sub);
        asked_.clear();
        answer_ = c.answer;
        folders_.ResetOverwriteQuestion();
        EXPECT_EQ(Media(dir.str(), c.marker).code, c.code) << c.existing;
        EXPECT_EQ(asked_.size(), c.questions) << c.existing;
    }
}

} // namespace
} // namespace aw
