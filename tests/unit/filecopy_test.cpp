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
    std::string content;
    for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i)
        content += static_cast<char>(i * 31 % 251);
    WriteWholeFile(dir / "src", content);
    fs::permissions(dir / "src", fs::perms(0640));
    WriteWholeFile(dir / "dst", std::string(10 * 1024 * 1024, 'x'));
    fs::permissions(dir / "dst", fs::perms(0666));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), 0);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), content);
    EXPECT_EQ(fs::status(dir / "dst").permissions(), fs::perms(0640));
    // A read-only destination is refused untouched, also for root, so that the caller can ask first.
    WriteWholeFile(dir / "src", "new");
    ASSERT_TRUE(SetReadOnly(dir / "dst"));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), EACCES);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), content);
    // A read-only source gives a read-only copy.
    ASSERT_TRUE(SetReadOnly(dir / "src"));
    EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "new"), 0);
    EXPECT_EQ(ReadWholeFile(dir / "new"), "new");
    EXPECT_TRUE(IsReadOnly(dir / "new"));
}

// Read-only means no write bit at all; clearing it gives the owner's back.
TEST(FileCopy, ReadOnlyIsAboutWriteBitsOnly) {
    test::ScratchDir dir;
    const fs::path file = dir / "f";
    EXPECT_FALSE(IsReadOnly(file)); // missing
    EXPECT_FALSE(SetReadOnly(file));
    EXPECT_FALSE(ClearReadOnly(file));
    WriteWholeFile(file, "x");
    fs::permissions(file, fs::perms(0764));
    ASSERT_TRUE(SetReadOnly(file));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0544));
    EXPECT_TRUE(IsReadOnly(file));
    ASSERT_TRUE(ClearReadOnly(file));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0744));
    EXPECT_FALSE(IsReadOnly(file));
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
