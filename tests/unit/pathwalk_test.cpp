// SPDX-License-Identifier: MIT
#include "platform/pathwalk.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// A relative chain is made below the current folder, every new folder with the mode asked for; a file in
// the way stops it.
TEST(PathWalk, MakesRelativeChainsWithTheirMode) {
    test::ScratchDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const mode_t saved = ::umask(022);
    int error = 0;
    EXPECT_TRUE(MakeFolderChain("a/b", error, 0700));
    test::WriteWholeFile(dir / "file", "");
    EXPECT_FALSE(MakeFolderChain("file/c", error));
    EXPECT_EQ(error, ENOTDIR);
    ::umask(saved);
    fs::current_path(before);
    for (const char* made : {"a", "a/b"})
        EXPECT_EQ(fs::status(dir / made).permissions(), fs::perms::owner_all) << made;
}

} // namespace
} // namespace aw
