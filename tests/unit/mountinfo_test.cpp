// SPDX-License-Identifier: MIT
#include "platform/mountinfo.h"

#include <filesystem>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteWholeFile;

// sysfs with sda (fixed), sdb (USB stick), sr0 (optical, not flagged); partitions found by device number,
// anonymous devices (btrfs, fuseblk) by source name.
TEST(MountInfo, MountOfAPathAndWhetherItIsFixed) {
    ScratchDir dir;
    const fs::path sys = dir / "sys";
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

    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        // a mount table line without its two ids and closing options
        {"8:1 / / rw - ext4 /dev/sda1", "/tmpx/a", "/", true}, // partition: the flag of its disk
        {"8:17 / /media/u/CAM rw - vfat /dev/sdb1", "/media/u/CAM/DCIM/100X", "/media/u/CAM", false},
        {"11:0 / /media/u/DISC rw - iso9660 /dev/sr0", "/media/u/DISC", "/media/u/DISC", false},
        {"0:40 / /mnt/net rw - nfs4 server:/export", "/mnt/net/a", "/mnt/net", false},
        {"8:2 / /media/u/My\\040Disk rw - ext4 /dev/sda2", "/media/u/My Disk/a", "/media/u/My Disk", true},
        {"0:42 / /data rw shared:5 master:3 - btrfs /dev/sda3", "/data", "/data", true},
        {"0:43 / /media/u/stick rw - fuseblk /dev/sdb2", "/media/u/stick", "/media/u/stick", false}};
    std::string table = "garbage line\n";
    for (const auto& [line, path, mountPoint, fixed] : cases)
        table += std::to_string(table.size()) + " 1 " + line + " rw\n";
    WriteWholeFile(dir / "mountinfo", table);
    const MountInfo info((dir / "mountinfo").string(), sys.string());
    for (const auto& [line, path, mountPoint, fixed] : cases) {
        EXPECT_EQ(info.MountOf(path).value_or(MountEntry{}).mountPoint, mountPoint) << path;
        EXPECT_EQ(info.IsFixed(path), fixed) << path;
    }
    EXPECT_EQ(UnescapeMountField("a\\134 x\\999 end\\04"), "a\\ x\\999 end\\04");
}

} // namespace
} // namespace aw
