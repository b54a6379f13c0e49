#include "platform/filecopy.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

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

// Links planted in the album are replaced, never written through; modes keep only read and write bits.
TEST(FileCopy, PlantedLinksAreReplacedAndOnlyReadWriteBitsTravel) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "src", "picture");
    WriteWholeFile(dir / "victim", "user's file");
    fs::create_symlink(dir / "victim", dir / "link");
    fs::create_symlink(dir / "outside" / "new", dir / "dangling");
    for (const char* name : {"link", "dangling"}) {
        EXPECT_EQ(CopyFileReplacing(dir / "src", dir / name), 0) << name;
        EXPECT_FALSE(fs::is_symlink(dir / name)) << name;
        EXPECT_EQ(ReadWholeFile(dir / name), "picture") << name;
    }
    EXPECT_EQ(ReadWholeFile(dir / "victim"), "user's file");
    EXPECT_FALSE(fs::exists(dir / "outside"));
    // A link is never read-only and never changed through.
    fs::create_symlink(dir / "victim", dir / "link2");
    ASSERT_TRUE(SetReadOnly(dir / "victim"));
    EXPECT_FALSE(IsReadOnly(dir / "link2"));
    EXPECT_FALSE(ClearReadOnly(dir / "link2"));
    EXPECT_TRUE(IsReadOnly(dir / "victim"));

    const mode_t saved = ::umask(022);
    const std::pair<unsigned, unsigned> modes[] = {{06777, 0644}, {01766, 0644}, {0640, 0640}, {0444, 0444}};
    for (const auto& [source, copy] : modes) {
        ::chmod((dir / "src").c_str(), source);
        fs::remove(dir / "dst");
        EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), 0);
        EXPECT_EQ(static_cast<unsigned>(fs::status(dir / "dst").permissions()), copy) << std::oct << source;
    }
    ::umask(saved);
}

// A FIFO source is refused at once (a blocking open would hang); a write that fails half-way (here a
// file-size limit, as a full disk) leaves the old destination and no temporary file.
TEST(FileCopy, NeverBlocksOnAFifoNorLeavesACutFile) {
    test::ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteWholeFile(dir / "dst", "keep");
    int fifoResult = 0;
    EXPECT_TRUE(test::ReturnsWithoutBlocking(
        dir / "fifo", [&] { fifoResult = CopyFileReplacing(dir / "fifo", dir / "dst"); }));
    EXPECT_EQ(fifoResult, EINVAL);
    WriteWholeFile(dir / "big", std::string(256 * 1024, 'b'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{64 * 1024, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int error = CopyFileReplacing(dir / "big", dir / "dst");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadWholeFile(dir / "dst"), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3); // fifo, dst, big
}

} // namespace
} // namespace aw
