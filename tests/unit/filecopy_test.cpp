#include "platform/filecopy.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(FileCopy, CopiesContentAndPermissionBitsOverAnExistingFile) {
    ScratchDir dir;
    // Crosses the copy's chunk size so that a loop fault would show.
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 % 251);
    WriteWholeFile(dir / "src", content);
    ::chmod((dir / "src").c_str(), 0640);
    WriteWholeFile(dir / "dst", std::string(10 * 1024 * 1024, 'x'));
    ::chmod((dir / "dst").c_str(), 0666);

    EXPECT_EQ(CopyFileReplacing((dir / "src").string(), (dir / "dst").string()), 0);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), content);
    EXPECT_EQ(ModeOf(dir / "dst"), 0640u);
}

TEST(FileCopy, ReadOnlySourceGivesReadOnlyCopy) {
    ScratchDir dir;
    WriteWholeFile(dir / "src", "abc");
    ASSERT_TRUE(SetReadOnly((dir / "src").string()));
    EXPECT_EQ(CopyFileReplacing((dir / "src").string(), (dir / "new").string()), 0);
    EXPECT_EQ(ReadWholeFile(dir / "new"), "abc");
    EXPECT_TRUE(IsReadOnly((dir / "new").string()));
}

TEST(FileCopy, RefusesReadOnlyDestinationEvenForRoot) {
    ScratchDir dir;
    WriteWholeFile(dir / "src", "new content");
    WriteWholeFile(dir / "dst", "old content");
    ASSERT_TRUE(SetReadOnly((dir / "dst").string()));
    EXPECT_EQ(CopyFileReplacing((dir / "src").string(), (dir / "dst").string()), EACCES);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), "old content");

    ASSERT_TRUE(ClearReadOnly((dir / "dst").string()));
    EXPECT_FALSE(IsReadOnly((dir / "dst").string()));
    EXPECT_EQ(CopyFileReplacing((dir / "src").string(), (dir / "dst").string()), 0);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), "new content");
}

TEST(FileCopy, FailuresLeaveTheDestinationAloneAndNeverReadAsSuccess) {
    ScratchDir dir;
    WriteWholeFile(dir / "dst", "keep");
    fs::create_directory(dir / "folder");
    WriteWholeFile(dir / "src", "x");
    struct Case {
        fs::path from;
        fs::path to;
        int error;
    };
    const Case cases[] = {
        {dir / "missing", dir / "dst", ENOENT}, {dir / "folder", dir / "dst", EISDIR},
        {dir / "src", dir / "folder", EISDIR},  {dir / "src", dir / "no" / "such" / "dst", ENOENT},
        {dir / "dst", dir / "dst", EINVAL}, // would truncate its own source
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.string() + " -> " + c.to.string());
        const int error = CopyFileReplacing(c.from.string(), c.to.string());
        EXPECT_EQ(error, c.error);
        EXPECT_NE(error, 1);
        EXPECT_EQ(ReadWholeFile(dir / "dst"), "keep");
    }
}

TEST(FileCopy, ReadOnlyBitsAreWriteBitsOnly) {
    ScratchDir dir;
    const std::string file = (dir / "f").string();
    EXPECT_FALSE(IsReadOnly(file)); // missing
    EXPECT_FALSE(SetReadOnly(file));
    EXPECT_FALSE(ClearReadOnly(file));
    WriteWholeFile(file, "x");
    ::chmod(file.c_str(), 0764);
    ASSERT_TRUE(SetReadOnly(file));
    EXPECT_EQ(ModeOf(file), 0544u);
    EXPECT_TRUE(IsReadOnly(file));
    ASSERT_TRUE(ClearReadOnly(file));
    EXPECT_EQ(ModeOf(file), 0744u);
}

} // namespace
} // namespace aw
