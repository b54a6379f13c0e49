#include "platform/mountinfo.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;

// sysfs with sda (fixed disk), sdb (USB stick) and sr0 (optical drive, not flagged); one mount per row.
TEST(MountInfo, MountOfAPathAndWhetherItIsFixed) {
    ScratchDir dir;
    const fs::path sys = dir / "sys";
    // Device numbers lead to partitions; anonymous devices (btrfs, fuseblk) are found by source name.
    const char* links[][2] = {{"dev/block/8:1", "sda/sda1"},    {"dev/block/8:2", "sda/sda2"},
                              {"dev/block/8:17", "sdb/sdb1"},   {"dev/block/11:0", "sr0"},
                              {"class/block/sda3", "sda/sda3"}, {"class/block/sdb2", "sdb/sdb2"}};
    for (const auto& link : links) {
        fs::create_directories(sys / "devices" / link[1]);
        fs::create_directories((sys / link[0]).parent_path());
        fs::create_directory_symlink(fs::path("../../devices") / link[1], sys / link[0]);
    }
    for (const char* disk : {"sda", "sdb", "sr0"})
        WriteWholeFile(sys / "devices" / disk / "removable", disk == std::string("sdb") ? "1\n" : "0\n");

    const struct {
        const char* line; // of the mount table, without its two ids and the closing options
        const char* path;
        const char* mountPoint;
        bool fixed;
    } cases[] = {
        {"8:1 / / rw - ext4 /dev/sda1", "/tmpx/a", "/", true}, // partition: the flag of its disk
        {"0:21 / /tmp rw - tmpfs tmpfs", "/tmp/work", "/tmp", true},
        {"8:17 / /media/u/CAM rw - vfat /dev/sdb1", "/media/u/CAM/DCIM/100X", "/media/u/CAM", false},
        {"11:0 / /media/u/DISC rw - iso9660 /dev/sr0", "/media/u/DISC", "/media/u/DISC", false},
        {"0:40 / /mnt/net rw - nfs4 server:/export", "/mnt/net/a", "/mnt/net", false},
        {"0:41 / /mnt/ssh rw - fuse.sshfs u@host:", "/mnt/ssh", "/mnt/ssh", false},
        {"8:2 / /media/u/My\\040Disk rw - ext4 /dev/sda2", "/media/u/My Disk/a", "/media/u/My Disk", true},
        {"0:42 / /data rw shared:5 master:3 - btrfs /dev/sda3", "/data", "/data", true},
        {"0:43 / /media/u/stick rw - fuseblk /dev/sdb2", "/media/u/stick", "/media/u/stick", false},
    };
    std::string table = "garbage line\n";
    for (const auto& c : cases)
        table += std::to_string(table.size()) + " 1 " + c.line + " rw\n";
    WriteWholeFile(dir / "mountinfo", table);
    const MountInfo info((dir / "mountinfo").string(), sys.string());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto entry = info.MountOf(c.path);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->mountPoint, c.mountPoint);
        EXPECT_EQ(info.IsFixed(c.path), c.fixed);
    }
    EXPECT_FALSE(MountInfo((dir / "none").string()).MountOf("/"));
    EXPECT_EQ(MountInfo().MountOf("/").value_or(MountEntry{}).mountPoint, "/"); // the running system
    EXPECT_EQ(UnescapeMountField("a\\040b\\011c\\134d"), "a b\tc\\d");
    EXPECT_EQ(UnescapeMountField("end\\04"), "end\\04");
    EXPECT_EQ(UnescapeMountField("x\\999"), "x\\999");
}

} // namespace
} // namespace aw
