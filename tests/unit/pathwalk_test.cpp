// SPDX-License-Identifier: MIT
#include "platform/pathwalk.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// A relative chain (a settings file named relative to the current folder) is made below the current
// folder, every new folder with the mode asked for: private settings folders stay private.
TEST(PathWalk, MakesRelativeChainsWithTheirMode) {
    test::ScratchDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const mode_t saved = ::umask(022);
    int error = 0;
    EXPECT_TRUE(MakeFolderChain("a/b", error, 0700));
    ::umask(saved);
    fs::current_path(before);
    for (const char* made : {"a", "a/b"})
        EXPECT_EQ(fs::status(dir / made).permissions(), fs::perms::owner_all) << made;
}

} // namespace
} // namespace aw
