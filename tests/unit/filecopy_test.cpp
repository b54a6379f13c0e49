#include "platform/filecopy.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

TEST(FileCopy, CopiesContentAndPermissionBitsOverAnExistingFile) {
    test::ScratchDir dir;
    // Crosses the copy's chunk size so that a loop fault would show.
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 % 251);
    WriteWholeFile(dir / "src", content);
    fs::permissions(dir / "src", fs::perms(0640));
    WriteWholeFile(dir / "dst", std::string(10 * 1024 * 1024, 'x'));
    fs::permissions(dir / "dst", fs::perms(0666));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), 0);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), content);
    EXPECT_EQ(fs::status(dir / "dst").permissions(), fs::perms(0640));
}

// Read-only means no write bit; the copy refuses such a destination, also for root, until it is cleared.
TEST(FileCopy, ReadOnlyDestinationIsRefusedUntilCleared) {
    test::ScratchDir dir;
    const fs::path dst = dir / "dst";
    EXPECT_FALSE(IsReadOnly(dst)); // missing
    EXPECT_FALSE(SetReadOnly(dst));
    EXPECT_FALSE(ClearReadOnly(dst));
    WriteWholeFile(dir / "src", "new content");
    WriteWholeFile(dst, "old content");
    fs::permissions(dst, fs::perms(0764));
    ASSERT_TRUE(SetReadOnly(dst));
    EXPECT_EQ(fs::status(dst).permissions(), fs::perms(0544));
    EXPECT_TRUE(IsReadOnly(dst));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dst), EACCES);
    EXPECT_EQ(ReadWholeFile(dst), "old content");
    ASSERT_TRUE(ClearReadOnly(dst));
    EXPECT_EQ(fs::status(dst).permissions(), fs::perms(0744));
    EXPECT_FALSE(IsReadOnly(dst));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dst), 0);
    EXPECT_EQ(ReadWholeFile(dst), "new content");
}

TEST(FileCopy, FailuresLeaveTheDestinationAloneAndNeverReadAsSuccess) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "dst", "keep");
    fs::create_directory(dir / "folder");
    WriteWholeFile(dir / "src", "x");
    const struct {
        fs::path from, to;
        int error;
    } cases[] = {
        {dir / "missing", dir / "dst", ENOENT}, {dir / "folder", dir / "dst", EISDIR},
        {dir / "src", dir / "folder", EISDIR},  {dir / "src", dir / "no" / "such" / "dst", ENOENT},
        {dir / "dst", dir / "dst", EINVAL}, // would truncate its own source
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.string() + " -> " + c.to.string());
        EXPECT_EQ(CopyFileReplacing(c.from, c.to), c.error);
        EXPECT_EQ(ReadWholeFile(dir / "dst"), "keep");
    }
}

} // namespace
} // namespace aw
