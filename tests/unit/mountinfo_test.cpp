#include "platform/mountinfo.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;

// A mount table and a sysfs tree: sda (fixed disk), sdb (USB stick), sr0 (optical drive).
class MountInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(dir_ / "mountinfo", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                           "23 22 0:21 / /tmp rw - tmpfs tmpfs rw\n"
                                           "24 22 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                           "25 22 11:0 / /media/u/DISC rw - iso9660 /dev/sr0 ro\n"
                                           "26 22 0:40 / /mnt/net rw - nfs4 server:/export rw\n"
                                           "27 22 0:41 / /mnt/ssh rw - fuse.sshfs u@host: rw\n"
                                           "28 22 8:2 / /media/u/My\\040Disk rw - ext4 /dev/sda2 rw\n"
                                           "29 22 0:42 / /data rw shared:5 master:3 - btrfs /dev/sda3 rw\n"
                                           "30 22 0:43 / /media/u/stick rw - fuseblk /dev/sdb2 rw\n"
                                           "garbage line\n"
                                           "31 22 0:44 / /mnt/smb rw - cifs //server/share rw\n");
        const fs::path sys = dir_ / "sys";
        fs::create_directories(sys / "devices/sda/sda1");
        fs::create_directories(sys / "devices/sda/sda2");
        fs::create_directories(sys / "devices/sdb/sdb1");
        fs::create_directories(sys / "devices/sdb/sdb2");
        fs::create_directories(sys / "devices/sr0");
        WriteWholeFile(sys / "devices/sda/removable", "0\n");
        WriteWholeFile(sys / "devices/sdb/removable", "1\n");
        WriteWholeFile(sys / "devices/sr0/removable", "0\n"); // optical by name even when not flagged
        fs::create_directories(sys / "dev/block");
        fs::create_directory_symlink("../../devices/sda/sda1", sys / "dev/block/8:1");
        fs::create_directory_symlink("../../devices/sda/sda2", sys / "dev/block/8:2");
        fs::create_directory_symlink("../../devices/sdb/sdb1", sys / "dev/block/8:17");
        fs::create_directory_symlink("../../devices/sr0", sys / "dev/block/11:0");
        fs::create_directories(sys / "class/block");
        fs::create_directory_symlink("../../devices/sda/sda3", sys / "class/block/sda3");
        fs::create_directories(sys / "devices/sda/sda3");
        fs::create_directory_symlink("../../devices/sdb/sdb2", sys / "class/block/sdb2");
    }

    MountInfo Info() const { return MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string()); }

    ScratchDir dir_;
};

TEST_F(MountInfoTest, LongestWholeComponentPrefixWins) {
    const MountInfo info = Info();
    const struct {
        const char* path;
        const char* mountPoint;
    } cases[] = {
        {"/", "/"},
        {"/home/u", "/"},
        {"/tmp", "/tmp"},
        {"/tmpx/a", "/"},
        {"/media/u/CAM/DCIM/100X", "/media/u/CAM"},
        {"/media/u/My Disk/a", "/media/u/My Disk"},
    };
    for (const auto& c : cases) {
        const auto entry = info.MountOf(c.path);
        ASSERT_TRUE(entry) << c.path;
        EXPECT_EQ(entry->mountPoint, c.mountPoint) << c.path;
    }
    EXPECT_FALSE(MountInfo((dir_ / "none").string()).MountOf("/"));
}

TEST_F(MountInfoTest, FixedMeansLocalNotRemovableNotOptical) {
    const MountInfo info = Info();
    const struct {
        const char* path;
        bool fixed;
    } cases[] = {
        {"/home", true},              // partition: the flag of its disk
        {"/tmp/work", true},          // tmpfs
        {"/media/u/CAM/DCIM", false}, // removable stick
        {"/media/u/DISC", false},     // optical
        {"/mnt/net/a", false},        // nfs
        {"/mnt/ssh", false},          // sshfs
        {"/mnt/smb", false},          // cifs
        {"/media/u/My Disk", true},
        {"/data", true},           // anonymous device number, fixed source disk
        {"/media/u/stick", false}, // anonymous device number, removable source disk
    };
    for (const auto& c : cases)
        EXPECT_EQ(info.IsFixed(c.path), c.fixed) << c.path;
}

TEST(MountInfo, UnescapesOctalSequencesOnly) {
    EXPECT_EQ(UnescapeMountField("a\\040b\\011c\\134d"), "a b\tc\\d");
    EXPECT_EQ(UnescapeMountField("end\\04"), "end\\04");
    EXPECT_EQ(UnescapeMountField("x\\999"), "x\\999");
}

TEST(MountInfo, TheRunningSystemHasAMountForRoot) {
    const auto entry = MountInfo().MountOf("/");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->mountPoint, "/");
}

} // namespace
} // namespace aw
