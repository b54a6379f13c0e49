#include "platform/filecopy.h"

#include <cerrno>
#include <filesystem>
#include <iterator>
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

// Copies by the kernel, or by read and write across file systems: every byte arrives over an earlier file,
// and a full disk fails with the destination as it was and nothing half-written beside it.
TEST(KernelCopy, EveryByteOrAFailureThatLeavesTheDestination) {
    test::ScratchDir disk;
    const test::SmallDisk small(2 * 1024 * 1024); // unmounted, a folder on the same file system
    const struct {
        const char* name;
        fs::path from, to;
        std::size_t size;
        int error;
    } cases[] = {
        {"same file system", disk / "a", disk / "b", 3 * 1024 * 1024 + 17, 0},
        {"empty", disk / "a", disk / "b", 0, 0},
        {"across file systems", disk / "a", small / "b", 1024 * 1024 + 5, 0},
        {"back again", small / "a", disk / "b", 1024 * 1024 + 3, 0},
        {"full, by the kernel", small / "a", small / "b", 1200 * 1024, ENOSPC},
        {"full, read and written", disk / "a", small / "b", 3 * 1024 * 1024, ENOSPC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.error == ENOSPC && !small.mounted())
            continue;
        std::string content(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i)
            content[i] = static_cast<char>(i * 131 % 253);
        WriteWholeFile(c.from, content);
        WriteWholeFile(c.to, "earlier");
        EXPECT_EQ(CopyFileReplacing(c.from.string(), c.to.string()), c.error);
        EXPECT_EQ(ReadWholeFile(c.to), c.error == 0 ? content : "earlier");
        fs::remove(c.from);
        fs::remove(c.to);
        EXPECT_TRUE(fs::is_empty(small.path()));
    }
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

// A read-only destination is refused untouched, also for root, so that the caller can ask first; a FIFO
// source at once (a blocking open would hang).
TEST(FileCopy, FailuresLeaveTheDestinationAloneAndNeverReadAsSuccess) {
    test::ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteWholeFile(dir / "dst", "keep");
    WriteWholeFile(dir / "ro", "keep");
    ASSERT_TRUE(SetReadOnly(dir / "ro"));
    fs::create_directory(dir / "folder");
    WriteWholeFile(dir / "src", "x");
    const struct {
        fs::path from, to;
        int error;
    } cases[] = {
        {dir / "missing", dir / "dst", ENOENT}, {dir / "folder", dir / "dst", EISDIR},
        {dir / "src", dir / "folder", EISDIR},  {dir / "src", dir / "no" / "such" / "dst", ENOENT},
        {dir / "dst", dir / "dst", EINVAL}, // would truncate its own source
        {dir / "src", dir / "ro", EACCES},      {dir / "fifo", dir / "dst", EINVAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.string() + " -> " + c.to.string());
        int error = 0;
        EXPECT_TRUE(
            test::ReturnsWithoutBlocking(dir / "fifo", [&] { error = CopyFileReplacing(c.from, c.to); }));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(ReadWholeFile(dir / "dst") + ReadWholeFile(dir / "ro"), "keepkeep");
    }
}

// Planted links are replaced, never written through; only the source's read and write bits travel.
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
        EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), 0);
        EXPECT_EQ(static_cast<unsigned>(fs::status(dir / "dst").permissions()), copy) << std::oct << source;
    }
    ::umask(saved);
}

// A write cut short (a file-size limit, as a full disk) leaves the old destination and no temporary file.
TEST(FileCopy, NeverLeavesACutFile) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "dst", "keep");
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2); // dst, big
}

} // namespace
} // namespace aw
