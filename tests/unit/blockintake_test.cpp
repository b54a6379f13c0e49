// SPDX-License-Identifier: MIT
#include "medialist/blockintake.h"

#include <tuple>

#include <gtest/gtest.h>

#include "medialist/fileblock.h"
#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "medialist/selectionblock.h"

namespace aw {
namespace {

TEST(BlockIntake, BrowserSelectionResults) {
    const auto B = &SelectionBlock::Build;
    const Bytes noPaths =
        SelectionBlock::FromIdLists({SelectionBlock::IdList({"p"}), SelectionBlock::IdList({".."})});
    const std::tuple<const char*, Bytes, IntakeRefusal, int> cases[] = {
        {"supported and not", B("/m/p", {"a.jpg", "x.txt", "c.MP3"}), std::nullopt, 2},
        {"none supported", B("/m/p", {"x.txt", "y.doc"}), TextId::UnsupportedSelection, 0},
        {"no item has a path", noPaths, TextId::NoFilesSelected, 0},
        {"first in a subfolder", B("/m", {"s/a.avi", "b.wav"}), std::nullopt, 2}};
    for (const auto& [name, block, result, count] : cases) {
        ItemList list;
        MediaIntake intake(list);
        EXPECT_EQ(AcceptBrowserSelection(block, intake, list), result) << name;
        EXPECT_EQ(list.count(), count) << name;
    }
}

// A block that adds nothing is fine when the list already holds items; an unreadable one never is.
TEST(BlockIntake, FileBlockOntoAFilledList) {
    ItemList list;
    MediaIntake first(list);
    ASSERT_EQ(AcceptFileBlock(FileBlock::Make({"/p/a.bmp"}), first, list), std::nullopt);
    MediaIntake second(list);
    EXPECT_EQ(AcceptFileBlock(FileBlock::Make({"/p/b.txt"}), second, list), std::nullopt);
    EXPECT_EQ(AcceptFileBlock(FileBlock::Make({}), second, list), TextId::NoFilesSelected);
    EXPECT_EQ(AcceptFileBlock(Bytes(20, 0), second, list), TextId::NoFilesSelected);
    EXPECT_EQ(list.count(), 1);
}

} // namespace
} // namespace aw
