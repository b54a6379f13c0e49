// SPDX-License-Identifier: MIT
#include "dialogs/systeminfo.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "dialogs/workfoldertext.h"
#include "platform/versionstamp.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteWholeFile;

TEST(SystemInfo, SizeTextForEveryBoundary) {
    SetLanguage(Language::English);
    constexpr std::uint64_t K = 1024, M = K * K, G = M * K;
    const std::pair<std::uint64_t, const char*> cases[] = {
        {K - 1, "1023BYTE"},    {10250, "10.0 KB"},    {102500, " 100 KB"},   {1000 * M, "0.98 GB"},
        {2 * G - 1, "2.00 GB"}, {1024 * G, "1024 GB"}, {1024 * G + 1, "----"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(SystemInfo::SizeText(bytes), text) << bytes;
}

// A tmpfs root stands for a fixed disk; removable media are the mount table's business.
TEST(SystemInfo, UsableWorkFolders) {
    ScratchDir dir;
    const std::string d = dir.str();
    WriteWholeFile(dir / "mountinfo", "1 0 0:21 / / rw - tmpfs tmpfs rw\n");
    WriteWholeFile(dir / "file", "x");
    const SystemInfo info(MountInfo((dir / "mountinfo").string()));
    for (const std::string& path : {std::string("/"), d + "/", d})
        EXPECT_TRUE(info.IsUsableWorkFolder(path)) << path;
    for (const std::string& path : {d + "/missing/", d + "/file", std::string("work/"), std::string()})
        EXPECT_FALSE(info.IsUsableWorkFolder(path)) << path;
    // Shown without the closing slash, stored with it; an empty one stays empty.
    EXPECT_EQ(ShownWorkFolder("/tmp/") + "|" + ShownWorkFolder("/") + "|" + ShownWorkFolder(""), "/tmp|/|");
    EXPECT_EQ(StoredWorkFolder("/data") + "|" + StoredWorkFolder("/") + "|" + StoredWorkFolder(""),
              "/data/|/|");
}

TEST(SystemInfo, VersionStamps) {
    const std::string tag = std::string(1, '\x01') + "AWVERSION:", end(1, '\0');
    const auto own = FindVersionStamp(tag + ALBUMWRIGHT_VERSION_TEXT + end); // as the build was configured
    EXPECT_TRUE(own != 0 && SystemInfo::FileVersion("/proc/self/exe") == own);
    ScratchDir dir;
    // The first well-formed stamp counts, also where it crosses the boundary of a read block.
    WriteWholeFile(dir / "big", std::string((1 << 20) - 5, 'z') + tag + "3.4.5.6" + end);
    EXPECT_EQ(ReadFileVersion((dir / "big").string()), 0x0003000400050006ULL);
    EXPECT_EQ(FindVersionStamp("xx" + tag + end + " " + tag + "2.0.0.1" + end), 0x0002000000000001ULL);
    for (const std::string& bad : {tag + "65536.0.0.0" + end, tag + "1.2.3" + end, tag + "1.2.3.4x" + end,
                                   tag + "1.2.3.4", std::string("none")})
        EXPECT_EQ(FindVersionStamp(bad), 0u) << bad;
}

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
