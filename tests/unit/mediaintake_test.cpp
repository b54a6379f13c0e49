// SPDX-License-Identifier: MIT
#include "medialist/mediaintake.h"

#include <tuple>

#include <gtest/gtest.h>

#include "medialist/blockintake.h"
#include "medialist/itemlist.h"
#include "medialist/selectionblock.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using enum MediaKind;

// Only .asf files are looked into, within bounds: short, missing and unreadable ones are plain movies.
TEST(MediaIntake, AsfMarkerAtOffset64) {
    test::ScratchDir dir;
    using Case = std::tuple<const char*, const char*, MediaKind>;
    const Case cases[] = {{"marked.asf", "Kelpratail", MovieAsfMarked},
                          {"exact.ASF", "Kelpra", MovieAsfMarked},
                          {"short.asf", "Kelpr", MovieAsf},
                          {"case.asf", "kelpra", MovieAsf},
                          {"shifted.asf", "xKelpra", MovieAsf},
                          {"missing.asf", nullptr, MovieAsf},
                          {"marked.avi", "Kelpra", MovieAvi}};
    ItemList list;
    MediaIntake intake(list);
    for (const auto& [name, marker, kind] : cases) {
        const std::string path = (dir / name).string();
        if (marker)
            test::WriteWholeFile(path, std::string(64, 'x') + marker);
        ASSERT_TRUE(intake.Take(path));
        EXPECT_EQ(list.at(list.count() - 1)->kind, kind) << name;
    }
    EXPECT_FALSE(IsMarkedAsf(dir.str())); // a folder reads nothing
}

// Rejected names are reported with 404, added names that are not web-safe once with 403; both in order.
TEST(MediaIntake, ReportsRejectedAndUnsafeNamesOnce) {
    ItemList list;
    MediaIntake intake(list);
    EXPECT_EQ(intake.TakeAll({"/p/a.jpg", "/p/notes.txt", "/p/my photo.JPG", "/p/x.doc", "/p/a&b.mp3"}), 3);
    EXPECT_EQ(intake.RejectedText(), LoadText(TextId::UnsupportedFiles) + "notes.txt, x.doc");
    EXPECT_EQ(intake.UnsafeText(), LoadText(TextId::UnsafeNames) + "\nmy photo.JPG, a&b.mp3");
}

// A box lists at most 20 names and then says how many more there are.
TEST(MediaIntake, ReportsListABoundedNumberOfNames) {
    std::vector<std::string> names;
    std::string twenty;
    for (int i = 0; i < 23; ++i) {
        names.push_back("n" + std::to_string(i) + ".txt");
        if (i < 20)
            twenty += (i ? ", " : "") + names.back();
    }
    const std::string more = "\n" + FormatText(LoadText(TextId::MoreNames), {"3"});
    EXPECT_EQ(RejectedNamesText(names), LoadText(TextId::UnsupportedFiles) + twenty + more);
    names.resize(20);
    EXPECT_EQ(RejectedNamesText(names), LoadText(TextId::UnsupportedFiles) + twenty);
}

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
