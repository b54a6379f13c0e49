#include "dialogs/systeminfo.h"

#include <gtest/gtest.h>

#include "platform/versionstamp.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

class SystemInfoTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguage(Language::English); }
};

TEST_F(SystemInfoTest, SizeTextForEveryBoundary) {
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0BYTE"},
        {1023, "1023BYTE"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {10240, "10.00 KB"},
        {10250, "10.0 KB"},
        {102400, "100.0 KB"},
        {102500, " 100 KB"},
        {1023999, " 999 KB"},
        {1024000, "0.98 MB"},
        {1048576, "1.00 MB"},
        {1048576000, "0.98 GB"},
        {2147483647, "2.00 GB"},
        {2147483648, "2.00 GB"},
        {1099511627776, "1024 GB"},
        {1099511627777, "----"},
        {~std::uint64_t{0}, "----"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemInfo::SizeText(c.bytes), c.text) << c.bytes;
}

TEST_F(SystemInfoTest, FreeSpaceOfExistingAndMissingFolders) {
    ScratchDir dir;
    const SystemInfo info;
    const FreeSpace space = info.QueryFreeSpace(dir.str());
    EXPECT_EQ(space.status, FreeSpaceValid);
    EXPECT_GT(space.bytes, 0u);
    for (const std::string& path : {dir.str() + "/missing", std::string("relative/path"), std::string()}) {
        const FreeSpace none = info.QueryFreeSpace(path);
        EXPECT_EQ(none.status, FreeSpaceNoSuchFolder) << path;
        EXPECT_EQ(none.bytes, 0u);
        EXPECT_EQ(info.FreeSpaceLine(path), "(Free disk space: Unknown)");
    }
    EXPECT_EQ(info.FreeSpaceLine(dir.str()).rfind("(Free disc space:  Approx. ", 0), 0u);
}

TEST_F(SystemInfoTest, UsableWorkFolderNeedsAnExistingFolderOnAFixedFileSystem) {
    ScratchDir dir;
    // Everything below "/" is one fixed tmpfs; "/media/u/CAM" is a USB stick.
    WriteWholeFile(dir / "mountinfo", "1 0 0:21 / / rw - tmpfs tmpfs rw\n"
                                      "2 1 8:17 / " +
                                          dir.str() + "/stick rw - vfat /dev/sdb1 rw\n");
    std::filesystem::create_directories(dir / "sys/dev/block/8:17");
    WriteWholeFile(dir / "sys/dev/block/8:17/removable", "1");
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directories(dir / "stick");
    WriteWholeFile(dir / "file", "x");
    const SystemInfo info(MountInfo((dir / "mountinfo").string(), (dir / "sys").string()));
    EXPECT_TRUE(info.IsUsableWorkFolder("/"));
    EXPECT_TRUE(info.IsUsableWorkFolder(dir.str() + "/work/"));
    EXPECT_TRUE(info.IsUsableWorkFolder(dir.str() + "/work"));
    EXPECT_FALSE(info.IsUsableWorkFolder(dir.str() + "/stick/"));
    EXPECT_FALSE(info.IsUsableWorkFolder(dir.str() + "/missing/"));
    EXPECT_FALSE(info.IsUsableWorkFolder(dir.str() + "/file"));
    EXPECT_FALSE(info.IsUsableWorkFolder("work/"));
    EXPECT_FALSE(info.IsUsableWorkFolder(""));
}

TEST_F(SystemInfoTest, FileVersionOfThisProgramAndOfOtherFiles) {
    EXPECT_EQ(SystemInfo::FileVersion("/proc/self/exe"), 0x0001000100000000ULL);
    EXPECT_EQ(ProgramVersionText(), "1.1.0.0");
    ScratchDir dir;
    WriteWholeFile(dir / "none", "no stamp here");
    EXPECT_EQ(SystemInfo::FileVersion((dir / "none").string()), 0u);
    EXPECT_EQ(SystemInfo::FileVersion((dir / "missing").string()), 0u);
}

TEST(VersionStamp, TakesTheFirstWellFormedStamp) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::uint64_t version;
    } cases[] = {
        {"\x01"
         "AWVERSION:1.1.1.9\0"s,
         0x0001000100010009ULL},
        {"xx\x01"
         "AWVERSION:\0 \x01"
         "AWVERSION:2.0.0.1\0"s,
         0x0002000000000001ULL},
        {"\x01"
         "AWVERSION:65536.0.0.0\0"s,
         0},
        {"\x01"
         "AWVERSION:1.2.3\0"s,
         0},
        {"\x01"
         "AWVERSION:1.2.3.4"s,
         0}, // cut off before its end
        {"\x01"
         "AWVERSION:1.2.3.4x\0"s,
         0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindVersionStamp(c.bytes), c.version);
}

TEST(VersionStamp, FoundAcrossReadBlocks) {
    ScratchDir dir;
    std::string bytes((1 << 20) - 5, 'z');
    bytes += std::string("\x01"
                         "AWVERSION:3.4.5.6",
                         18);
    bytes += '\0';
    WriteWholeFile(dir / "big", bytes);
    EXPECT_EQ(ReadFileVersion((dir / "big").string()), 0x0003000400050006ULL);
}

} // namespace
} // namespace aw
