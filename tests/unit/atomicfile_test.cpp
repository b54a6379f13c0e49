// SPDX-License-Identifier: MIT
#include "platform/atomicfile.h"

#include <cerrno>
#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

ssize_t WritesNothing(int, const void*, std::size_t) {
    return 0;
}

ssize_t FailsWithEio(int, const void*, std::size_t) {
    errno = EIO;
    return -1;
}

// A write that makes no progress is a full disk, not a reason to try again; whatever goes wrong before
// the commit, and a writer dropped uncommitted, leave the target as it was and no file beside it.
TEST(AtomicFile, AnythingButACommitLeavesTheTargetAndNothingBeside) {
    const test::Watchdog watchdog(30s, "a write that returns 0");
    const std::tuple<const char*, WriteCall, bool, int> cases[] = {
        {"write returns 0", &WritesNothing, true, ENOSPC},
        {"write fails", &FailsWithEio, true, EIO},
        {"never committed", &::write, false, 0},
    };
    for (const auto& [name, write, commit, error] : cases) {
        SCOPED_TRACE(name);
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "page", "earlier");
        {
            AtomicFile file((dir / "page").string(), 0644, write);
            ASSERT_TRUE(file.valid());
            EXPECT_EQ(file.Write("new content"), error);
            if (commit)
                EXPECT_EQ(file.Commit(AtomicFile::Sync::FileAndFolder), error);
        }
        EXPECT_EQ(test::ReadWholeFile(dir / "page"), "earlier");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
    }
}

} // namespace
} // namespace aw
