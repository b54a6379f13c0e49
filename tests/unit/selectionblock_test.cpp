// SPDX-License-Identifier: MIT
#include "medialist/selectionblock.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;

using Paths = std::vector<std::string>;

// Little-endian words, then the bytes of `parts`.
Bytes Block(std::initializer_list<std::uint32_t> words, std::initializer_list<Bytes> parts) {
    Bytes all;
    for (std::uint32_t word : words)
        AppendLe32(all, word);
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Which items have a file-system path and the parent's; for files of several folders, their common one.
TEST(SelectionBlock, PathsOfParentAndItems) {
    const auto L = [](auto... components) { return SelectionBlock::IdList({std::string(components)...}); };
    const auto F = [](std::vector<Bytes> lists) { return SelectionBlock::FromIdLists(lists); };
    const std::string d(4000, 'd'), noPath(1, '\0');
    const Paths one{"/a/b/x.jpg", "/a/b/y.mp3"}, two{"/a/b/x.jpg", "/a/c/d/y.jpg"}, top{"/x.jpg", "/a/y.jpg"};
    const struct {
        const char* name;
        Bytes block;
        Paths paths;
        std::string folder; // empty: no file-system path
    } cases[] = {
        {"root parent", F({L(), L("a.jpg")}), {"/a.jpg"}, "/"},
        {"nested", F({L("m", "D"), L("1", "p.jpg"), L("q.bmp")}), {"/m/D/1/p.jpg", "/m/D/q.bmp"}, "/m/D"},
        {"item without path", F({L("p"), L(noPath + "v"), L("b.jpg")}), {"/p/b.jpg"}, "/p"},
        {"dots and slash", F({L("p"), L(".."), L("x/y"), L("."), L("ok.wav")}), {"/p/ok.wav"}, "/p"},
        {"parent without path", F({L(noPath), L("a.jpg")}), {}, ""},
        {"utf-8", F({L("写真"), L("é.jpg")}), {"/写真/é.jpg"}, "/写真"},
        {"too long", F({L(d), L(std::string(200, 'f')), L("a")}), {"/" + d + "/a"}, "/" + d},
        {"files of one folder", SelectionBlock::ForFiles(one), one, "/a/b"},
        {"files of two folders", SelectionBlock::ForFiles(two), two, "/a"},
        {"files below the root", SelectionBlock::ForFiles(top), top, "/"}};
    for (const auto& c : cases) {
        const auto fileBlock = IdListToFileBlock(c.block);
        Paths paths;
        ASSERT_TRUE(fileBlock && FileBlock::Read(*fileBlock, paths)) << c.name;
        EXPECT_EQ(paths, c.paths) << c.name;
        std::string folder = "kept";
        EXPECT_EQ(SelectionBlock::ParentFolder(c.block, folder), !c.folder.empty()) << c.name;
        EXPECT_EQ(folder, c.folder.empty() ? "kept" : c.folder) << c.name;
    }
}

// Each row breaks one rule of the layout; the sanitizers see any read outside the bytes.
TEST(SelectionBlock, RefusesMalformedBlocks) {
    const Bytes good = SelectionBlock::Build("/p", {"a.jpg"}), parent = SelectionBlock::IdList({"p"});
    const auto end = static_cast<std::uint32_t>(12 + parent.size());
    Bytes oneItemSizeTooBig = good;
    oneItemSizeTooBig[good.size() - 2 - 7] = 0xFF; // the size of "a.jpg" now runs past the end
    // Rows up to "item size one" break the count, the offsets or the parent's list: no parent folder either.
    const struct {
        const char* name;
        Bytes block;
    } cases[] = {{"empty", {}},
                 {"short count", {1, 0, 0}},
                 {"count zero", Block({0, 8}, {parent})},
                 {"count past the end", Block({2, 16, 16}, {parent})},
                 {"huge count", Block({0xFFFFFFFF, 12, 12}, {parent})},
                 {"offset past the end", Block({1, 12, 500}, {parent})},
                 {"offset into the header", Block({1, 4, 12}, {parent})},
                 {"offset at the end", Block({1, 12, end}, {parent})},
                 {"zero-length item", Block({1, 12, 12, 2}, {})},
                 {"item size one", Block({1, 12, 12, 1}, {})},
                 {"missing terminator", Bytes(good.begin(), good.end() - 2)},
                 {"half a terminator", Bytes(good.begin(), good.end() - 1)},
                 {"item size past the end", oneItemSizeTooBig},
                 {"item list missing", Block({1, 12, end}, {parent, Bytes{9}})}};
    bool parentBroken = true;
    for (const auto& c : cases) {
        EXPECT_FALSE(IdListToFileBlock(c.block)) << c.name;
        std::string folder = "kept";
        EXPECT_NE(SelectionBlock::ParentFolder(c.block, folder), parentBroken) << c.name;
        EXPECT_EQ(folder, parentBroken ? "kept" : "/p") << c.name;
        if (std::strcmp(c.name, "item size one") == 0)
            parentBroken = false;
    }
    ASSERT_TRUE(IdListToFileBlock(Block({1, 12, end}, {parent, SelectionBlock::IdList({"a.jpg"})})));
}

// Blocks made to cost: every one is read in steps no more than its bytes; a count past the limit is refused
// from the count alone.
TEST(SelectionBlock, HostileBlocksCostNoMoreThanTheirBytes) {
    const test::Watchdog watchdog(20s, "hostile selection blocks");
    const auto Parts = [](std::size_t count, const std::string& part) {
        return std::vector<std::string>(count, part);
    };
    const auto Repeated = [](std::uint32_t count, const Bytes& parent, const Bytes& item, bool shared) {
        Bytes block = Block({count}, {});
        const auto header = static_cast<std::uint32_t>(4 + (count + 1) * 4);
        AppendLe32(block, header);
        for (std::uint32_t i = 1; i <= count; ++i)
            AppendLe32(block, static_cast<std::uint32_t>(header + parent.size() +
                                                         (shared ? 0 : (i - 1) * item.size())));
        block.insert(block.end(), parent.begin(), parent.end());
        for (std::uint32_t i = 0; i < (shared ? 1 : count); ++i)
            block.insert(block.end(), item.begin(), item.end());
        return block;
    };
    const Bytes deepParent = SelectionBlock::IdList(Parts(100000, "d")), item = SelectionBlock::IdList({"a"});
    const struct {
        const char* name;
        Bytes block;
        bool converts;
        std::size_t paths;
    } cases[] = {{"parent of 100,000 parts", Repeated(1, deepParent, item, false), true, 0},
                 {"20,000 items under a 30,000-part parent",
                  Repeated(20000, SelectionBlock::IdList(Parts(30000, "p")), item, false), true, 0},
                 {"20,000 offsets naming one long list",
                  Repeated(20000, item, SelectionBlock::IdList({std::string(4000, 'x')}), true), false, 0},
                 {"20,000 items under a 200-part parent",
                  Repeated(20000, SelectionBlock::IdList(Parts(200, "p")), item, false), true, 20000}};
    for (const auto& c : cases) {
        SelectionWork work;
        const auto fileBlock = IdListToFileBlock(c.block, &work);
        EXPECT_EQ(fileBlock.has_value(), c.converts) << c.name;
        Paths paths;
        if (fileBlock)
            FileBlock::Read(*fileBlock, paths);
        EXPECT_EQ(paths.size(), c.paths) << c.name;
        EXPECT_LE(work.bytesRead, c.block.size()) << c.name;
        EXPECT_LE(work.items, SelectionBlock::kMaxItems) << c.name;
    }

    SelectionWork work; // 2.5 million offsets naming one item: refused before any list is read
    EXPECT_FALSE(IdListToFileBlock(Repeated(2500000, item, item, true), &work));
    EXPECT_EQ(work.bytesRead, 0u);
}

} // namespace
} // namespace aw
