#include "dialogs/systeminfo.h"

#include <gtest/gtest.h>

#include "platform/versionstamp.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

TEST(SystemInfo, SizeTextForEveryBoundary) {
    SetLanguage(Language::English);
    constexpr std::uint64_t K = 1024, M = K * K, G = M * K;
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0BYTE"},           {K - 1, "1023BYTE"},  {K, "1.00 KB"},
        {1536, "1.50 KB"},      {10 * K, "10.00 KB"}, {10250, "10.0 KB"},
        {100 * K, "100.0 KB"},  {102500, " 100 KB"},  {1000 * K - 1, " 999 KB"},
        {1000 * K, "0.98 MB"},  {M, "1.00 MB"},       {1000 * M, "0.98 GB"},
        {2 * G - 1, "2.00 GB"}, {2 * G, "2.00 GB"},   {1024 * G, "1024 GB"},
        {1024 * G + 1, "----"}, {~0ULL, "----"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemInfo::SizeText(c.bytes), c.text) << c.bytes;
}

// Removable media are the mount table's business; here a tmpfs root stands for a fixed disk.
TEST(SystemInfo, FreeSpaceAndUsableWorkFolders) {
    SetLanguage(Language::English);
    ScratchDir dir;
    const std::string d = dir.str();
    WriteWholeFile(dir / "mountinfo", "1 0 0:21 / / rw - tmpfs tmpfs rw\n");
    WriteWholeFile(dir / "file", "x");
    const SystemInfo info(MountInfo((dir / "mountinfo").string()));

    EXPECT_EQ(info.FreeSpaceLine(d).rfind("(Free disc space:  Approx. ", 0), 0u);
    for (const std::string& path : {d + "/missing", std::string("relative/path"), std::string()})
        EXPECT_EQ(info.FreeSpaceLine(path), "(Free disk space: Unknown)") << path;

    for (const std::string& path : {std::string("/"), d + "/", d})
        EXPECT_TRUE(info.IsUsableWorkFolder(path)) << path;
    for (const std::string& path : {d + "/missing/", d + "/file", std::string("work/"), std::string()})
        EXPECT_FALSE(info.IsUsableWorkFolder(path)) << path;
}

TEST(SystemInfo, VersionStamps) {
    EXPECT_EQ(SystemInfo::FileVersion("/proc/self/exe"), 0x0001000100000000ULL);
    ScratchDir dir;
    EXPECT_EQ(SystemInfo::FileVersion((dir / "missing").string()), 0u);
    // The first well-formed stamp counts, also where it crosses the boundary of a read block.
    const std::string tag = std::string(1, '\x01') + "AWVERSION:", end(1, '\0');
    WriteWholeFile(dir / "big", std::string((1 << 20) - 5, 'z') + tag + "3.4.5.6" + end);
    EXPECT_EQ(ReadFileVersion((dir / "big").string()), 0x0003000400050006ULL);
    EXPECT_EQ(FindVersionStamp("xx" + tag + end + " " + tag + "2.0.0.1" + end), 0x0002000000000001ULL);
    EXPECT_EQ(FindVersionStamp(tag + "1.1.1.9" + end), 0x0001000100010009ULL);
    for (const std::string& bad : {tag + "65536.0.0.0" + end, tag + "1.2.3" + end, tag + "1.2.3.4x" + end,
                                   tag + "1.2.3.4", std::string("none")})
        EXPECT_EQ(FindVersionStamp(bad), 0u) << bad;
}

} // namespace
} // namespace aw
