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
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {{K - 1, "1023BYTE"},    {K, "1.00 KB"},        {10250, "10.0 KB"},
                 {102500, " 100 KB"},    {1000 * K, "0.98 MB"}, {1000 * M, "0.98 GB"},
                 {2 * G - 1, "2.00 GB"}, {1024 * G, "1024 GB"}, {1024 * G + 1, "----"}};
    for (const auto& c : cases)
        EXPECT_EQ(SystemInfo::SizeText(c.bytes), c.text) << c.bytes;
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
    const std::tuple<const char*, const char*, const char*> texts[] = {
        {"/tmp/", "/tmp", "/tmp/"}, {"/", "/", "/"}, {"/data", "/data", "/data/"}, {"", "", ""}};
    for (const auto& [stored, shown, storedAgain] : texts) {
        EXPECT_EQ(ShownWorkFolder(stored), shown) << stored;
        EXPECT_EQ(StoredWorkFolder(shown), storedAgain) << shown;
    }
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

    const struct { // a mount table line without its two ids and closing options
        const char *line, *path, *mountPoint;
        bool fixed;
    } cases[] = {
        {"8:1 / / rw - ext4 /dev/sda1", "/tmpx/a", "/", true}, // partition: the flag of its disk
        {"0:21 / /tmp rw - tmpfs tmpfs", "/tmp/work", "/tmp", true},
        {"8:17 / /media/u/CAM rw - vfat /dev/sdb1", "/media/u/CAM/DCIM/100X", "/media/u/CAM", false},
        {"11:0 / /media/u/DISC rw - iso9660 /dev/sr0", "/media/u/DISC", "/media/u/DISC", false},
        {"0:40 / /mnt/net rw - nfs4 server:/export", "/mnt/net/a", "/mnt/net", false},
        {"8:2 / /media/u/My\\040Disk rw - ext4 /dev/sda2", "/media/u/My Disk/a", "/media/u/My Disk", true},
        {"0:42 / /data rw shared:5 master:3 - btrfs /dev/sda3", "/data", "/data", true},
        {"0:43 / /media/u/stick rw - fuseblk /dev/sdb2", "/media/u/stick", "/media/u/stick", false}};
    std::string table = "garbage line\n";
    for (const auto& c : cases)
        table += std::to_string(table.size()) + " 1 " + c.line + " rw\n";
    WriteWholeFile(dir / "mountinfo", table);
    const MountInfo info((dir / "mountinfo").string(), sys.string());
    for (const auto& c : cases) {
        EXPECT_EQ(info.MountOf(c.path).value_or(MountEntry{}).mountPoint, c.mountPoint) << c.path;
        EXPECT_EQ(info.IsFixed(c.path), c.fixed) << c.path;
    }
    EXPECT_EQ(UnescapeMountField("a\\011c\\134d") + UnescapeMountField("end\\04") +
                  UnescapeMountField("x\\999"),
              "a\tc\\dend\\04x\\999");
}

} // namespace
} // namespace aw
