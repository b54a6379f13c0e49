// SPDX-License-Identifier: MIT
#include "platform/pathwalk.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// ".." after a link is the parent of the link's target, as the kernel takes it; the missing rest is
// kept as written, normal.
TEST(PathWalk, ResolvesDotDotAfterALinkAsTheSystemDoes) {
    test::ScratchDir dir;
    const fs::path real = fs::canonical(dir.path());
    fs::create_directories(real / "x" / "y");
    fs::create_directory_symlink(real / "x" / "y", real / "link");
    const std::pair<std::string, fs::path> cases[] = {
        {"/link/../b", real / "x" / "b"},
        {"/link/./../y/new/../c", real / "x" / "y" / "c"},
        {"/missing/../c", real / "c"},
    };
    for (const auto& [rest, want] : cases)
        EXPECT_EQ(ResolveExistingPart(dir.str() + rest), want.string()) << rest;
}

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
