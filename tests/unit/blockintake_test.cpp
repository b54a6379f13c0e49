#include "medialist/blockintake.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "medialist/selectionblock.h"

namespace aw {
namespace {

// The start-up results of a hand-over: what the list holds, the source folder, and the report.
TEST(BlockIntake, BrowserSelectionResults) {
    const Bytes noPaths =
        SelectionBlock::FromIdLists({SelectionBlock::IdList({"p"}), SelectionBlock::IdList({".."})});
    const struct {
        const char* name;
        Bytes block;
        int result, count;
        const char* sourceFolder;
        std::vector<std::string> rejected;
    } cases[] = {
        {"supported and not",
         SelectionBlock::Build("/m/p", {"a.jpg", "x.txt", "c.MP3"}),
         0,
         2,
         "/m/p/",
         {"x.txt"}},
        {"none supported",
         SelectionBlock::Build("/m/p", {"x.txt", "y.doc"}),
         447,
         0,
         "/m/p/",
         {"x.txt", "y.doc"}},
        {"malformed", {1, 0, 0, 0}, 446, 0, "old", {}},
        {"no item has a path", noPaths, 446, 0, "", {}},
        {"first in a subfolder", SelectionBlock::Build("/m", {"s/a.avi", "b.wav"}), 0, 2, "/m/s/", {}},
    };
    for (const auto& c : cases) {
        ItemList list;
        list.sourceFolder = "old";
        MediaIntake intake(list);
        EXPECT_EQ(AcceptBrowserSelection(c.block, intake, list), c.result) << c.name;
        EXPECT_EQ(list.count(), c.count) << c.name;
        EXPECT_EQ(list.sourceFolder, c.sourceFolder) << c.name;
        EXPECT_EQ(intake.rejectedNames(), c.rejected) << c.name;
    }
}

// A block that adds nothing is fine when the list already holds items; an unreadable one never is.
TEST(BlockIntake, FileBlockOntoAFilledList) {
    ItemList list;
    MediaIntake first(list);
    ASSERT_EQ(AcceptFileBlock(FileBlock::Make({"/p/a.bmp"}), first, list), 0);
    MediaIntake second(list);
    EXPECT_EQ(AcceptFileBlock(FileBlock::Make({"/p/b.txt"}), second, list), 0);
    EXPECT_EQ(AcceptFileBlock(FileBlock::Make({}), second, list), 446);
    EXPECT_EQ(AcceptFileBlock(Bytes(20, 0), second, list), 446);
    EXPECT_EQ(list.count(), 1);
}

} // namespace
} // namespace aw
