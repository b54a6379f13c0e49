// SPDX-License-Identifier: MIT
#include "platform/pathwalk.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

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

// A relative path is made where the process is, never at the root.
TEST(PathWalk, MakesARelativeChainInTheCurrentFolder) {
    test::ScratchDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    int error = -1;
    const bool made = MakeFolderChain("albumwright-rel/a", error);
    fs::current_path(before);
    EXPECT_TRUE(made) << error;
    EXPECT_TRUE(fs::is_directory(dir / "albumwright-rel" / "a"));
    EXPECT_FALSE(fs::exists("/albumwright-rel"));
}

} // namespace
} // namespace aw
