// SPDX-License-Identifier: MIT
#include "platform/paths.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

// The edges where a "/" is easily doubled or lost: a folder with its closing "/", the root, no folder.
TEST(Paths, JoinAndFolderOfAtTheEdges) {
    const std::tuple<const char*, const char*, const char*> joins[] = {
        {"/a", "b", "/a/b"}, {"/a/", "b", "/a/b"}, {"/", "b", "/b"}, {"", "b", "/b"}};
    for (const auto& [folder, name, joined] : joins)
        EXPECT_EQ(JoinPath(folder, name), joined) << folder;
    const std::pair<const char*, const char*> folders[] = {{"/a/b", "/a"}, {"/a", "/"}, {"b", "."}};
    for (const auto& [path, folder] : folders)
        EXPECT_EQ(FolderOf(path), folder) << path;
}

} // namespace
} // namespace aw
