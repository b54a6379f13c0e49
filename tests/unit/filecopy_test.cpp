// SPDX-License-Identifier: MIT
#include "platform/filecopy.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/regularfile.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

// By the kernel or by read and write: every byte arrives, or a full disk leaves the destination as it was.
TEST(KernelCopy, EveryByteOrAFailureThatLeavesTheDestination) {
    test::ScratchDir disk;
    const test::SmallDisk small(2 * 1024 * 1024); // unmounted, a folder on the same file system
    const std::tuple<const char*, fs::path, fs::path, std::size_t, int> cases[] = {
        {"same file system", disk / "a", disk / "b", 3 * 1024 * 1024 + 17, 0},
        {"across file systems", disk / "a", small / "b", 1024 * 1024 + 5, 0},
        {"full, by the kernel", small / "a", small / "b", 1200 * 1024, ENOSPC},
        {"full, read and written", disk / "a", small / "b", 3 * 1024 * 1024, ENOSPC}};
    for (const auto& [name, from, to, size, error] : cases) {
        SCOPED_TRACE(name);
        if (error == ENOSPC && !small.mounted())
            continue;
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            content[i] = static_cast<char>(i * 131 % 253); // no page repeats
        WriteWholeFile(from, content);
        WriteWholeFile(to, "earlier");
        EXPECT_EQ(CopyFileReplacing(from.string(), to.string()), error);
        EXPECT_EQ(ReadWholeFile(to), error == 0 ? content : "earlier");
        fs::remove(from), fs::remove(to);
        EXPECT_TRUE(fs::is_empty(small.path()));
    }
}

// Splices replace, drop and insert bytes and leave the rest; one past the source's end fails the copy.
TEST(FileCopy, SplicesChangeOnlyTheirBytes) {
    test::ScratchDir dir;
    std::string content(3 * 1024 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 131 % 253);
    WriteWholeFile(dir / "a", content);
    const auto splice = [](std::size_t offset, std::size_t length, const std::string& bytes) {
        return ByteSplice{offset, length, std::vector<uint8_t>(bytes.begin(), bytes.end())};
    };
    const std::size_t end = content.size();
    const std::vector<ByteSplice> splices = {splice(0, 2, "AB"), splice(10, 5, ""), splice(1 << 20, 0, "new"),
                                             splice(end - 1, 1, "Z")};
    std::string expected = content;
    expected.replace(end - 1, 1, "Z"), expected.insert(1 << 20, "new"), expected.erase(10, 5),
        expected.replace(0, 2, "AB");
    const OpenedFile in = OpenRegularFile((dir / "a").string());
    EXPECT_EQ(CopyDescriptorReplacing(in.fd.get(), (dir / "b").string(), splices), 0);
    EXPECT_EQ(ReadWholeFile(dir / "b"), expected);
    EXPECT_EQ(CopyDescriptorReplacing(in.fd.get(), (dir / "b").string(), {splice(end + 1, 0, "x")}), EIO);
    EXPECT_EQ(ReadWholeFile(dir / "b"), expected);
}

// A read-only destination is refused untouched, also for root, so the caller can ask first; a FIFO at once.
TEST(FileCopy, FailuresLeaveTheDestinationAloneAndNeverReadAsSuccess) {
    test::ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteWholeFile(dir / "dst", "keep");
    WriteWholeFile(dir / "ro", "keep");
    ASSERT_TRUE(SetReadOnly(dir / "ro"));
    fs::create_directory(dir / "folder");
    WriteWholeFile(dir / "src", "x");
    const std::tuple<const char*, const char*, int> cases[] = {
        {"missing", "dst", ENOENT},     {"folder", "dst", EISDIR}, {"src", "folder", EISDIR},
        {"src", "no/such/dst", ENOENT}, {"dst", "dst", EINVAL},    {"src", "ro", EACCES},
        {"fifo", "dst", EINVAL}};
    for (const auto& [from, to, expected] : cases) {
        SCOPED_TRACE(std::string(from) + " -> " + to);
        int error = 0;
        EXPECT_TRUE(test::ReturnsWithoutBlocking(dir / "fifo",
                                                 [&] { error = CopyFileReplacing(dir / from, dir / to); }));
        EXPECT_EQ(error, expected);
        EXPECT_EQ(ReadWholeFile(dir / "dst") + ReadWholeFile(dir / "ro"), "keepkeep");
    }
}

// Planted links are replaced, never written through; read-only drops every write bit; only rw bits travel.
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
    fs::create_symlink(dir / "victim", dir / "link2");
    fs::permissions(dir / "victim", fs::perms(0764));
    ASSERT_TRUE(SetReadOnly(dir / "victim"));
    EXPECT_EQ(fs::status(dir / "victim").permissions(), fs::perms(0544));
    EXPECT_FALSE(ClearReadOnly(dir / "link2")); // never changed through a link
    ASSERT_TRUE(ClearReadOnly(dir / "victim"));
    EXPECT_EQ(fs::status(dir / "victim").permissions(), fs::perms(0744));

    const mode_t saved = ::umask(022);
    const std::pair<unsigned, unsigned> modes[] = {{06777, 0644}, {01766, 0644}, {0640, 0640}};
    for (const auto& [source, copy] : modes) {
        ::chmod((dir / "src").c_str(), source);
        EXPECT_EQ(CopyFileReplacing(dir / "src", dir / "dst"), 0);
        EXPECT_EQ(static_cast<unsigned>(fs::status(dir / "dst").permissions()), copy) << std::oct << source;
    }
    ::umask(saved);
}

} // namespace
} // namespace aw
