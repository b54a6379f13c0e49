// Copies by the kernel, or by read and write across file systems: every byte arrives over an earlier file,
// and a full disk fails with the destination as it was and nothing half-written beside it.
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/filecopy.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

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
        test::WriteWholeFile(c.from, content);
        test::WriteWholeFile(c.to, "earlier");
        EXPECT_EQ(CopyFileReplacing(c.from.string(), c.to.string()), c.error);
        EXPECT_EQ(test::ReadWholeFile(c.to), c.error == 0 ? content : "earlier");
        fs::remove(c.from);
        fs::remove(c.to);
        EXPECT_TRUE(fs::is_empty(small.path()));
    }
}

} // namespace
} // namespace aw
