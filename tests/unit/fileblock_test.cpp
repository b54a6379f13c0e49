// SPDX-License-Identifier: MIT
#include "medialist/fileblock.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

using Paths = std::vector<std::string>;

// The reader refuses what it cannot read; the writer leaves out what cannot be written.
TEST(FileBlock, ReadsOnlyWellFormedBlocks) {
    const Bytes good = FileBlock::Make({"/a", "/b c"});
    const auto Patched = [&](std::size_t at, std::uint8_t value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const struct {
        const char* name;
        Bytes block;
        bool readable;
        Paths paths;
    } cases[] = {{"good", good, true, {"/a", "/b c"}},
                 {"nothing", FileBlock::Make({}), true, {}},
                 {"nul inside", FileBlock::Make({std::string("/x\0y", 4), "", "/z"}), true, {"/z"}},
                 {"no closing nul", Bytes(good.begin(), good.end() - 1), false, {}},
                 {"wide", Patched(16, 1), false, {}},
                 {"offset past the end", Patched(0, 200), false, {}}};
    for (const auto& c : cases) {
        Paths paths{"old"};
        EXPECT_EQ(FileBlock::Read(c.block, paths), c.readable) << c.name;
        EXPECT_EQ(paths, c.paths) << c.name;
    }
}

} // namespace
} // namespace aw
