#include "medialist/itemlist.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/itemlistpeers.h"
#include "medialist/linelist.h"
#include "stringtable.h"

namespace aw {
namespace {

class FakeLines : public LineList {
public:
    int LineCount() const override { return static_cast<int>(lines.size()); }
    int SelectedLine() const override { return selected; }
    void SelectLine(int index) override { selected = index; }
    std::string LineText(int index) const override {
        return index >= 0 && index < LineCount() ? lines[static_cast<std::size_t>(index)] : std::string();
    }
    void RemoveAllLines() override {
        lines.clear();
        selected = -1;
    }
    void AppendLine(const std::string& text) override { lines.push_back(text); }

    std::vector<std::string> lines;
    int selected = -1;
};

class FakePeers : public ItemListPeers {
public:
    void EnableCreate(bool enabled) override { createEnabled = enabled; }
    void ClearPreview() override { ++previewClears; }
    bool IsShowThumbnailChecked() const override { return showThumbnail; }
    bool ShowPreview(const std::string& path, int kind) override {
        shownPath = path;
        shownKind = kind;
        return previewWorks;
    }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void ShowWarning(const std::string& text, const std::string& caption) override {
        warnings.push_back(caption + ": " + text);
    }

    bool createEnabled = true;
    int previewClears = 0;
    bool showThumbnail = true;
    bool previewWorks = true;
    std::string shownPath;
    int shownKind = Unsupported;
    std::vector<std::string> statusTexts;
    std::vector<std::string> warnings;
};

MediaItem Item(const std::string& name, int kind = StillJpeg, const std::string& folder = "/p/") {
    return MediaItem{folder + name, folder, name, "", kind};
}

class ItemListTest : public ::testing::Test {
protected:
    void SetUp() override { list.Attach(&lines, &peers); }
    void Fill(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            list.AppendItem(Item(name));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const MediaItem& item : list.items())
            names.push_back(item.fileName);
        return names;
    }

    FakeLines lines;
    FakePeers peers;
    ItemList list;
};

TEST_F(ItemListTest, AppendAddsItemAndLineAndBoundsLookups) {
    Fill({"a.jpg", "b.jpg"});
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"a.jpg", "b.jpg"}));
    ASSERT_NE(list.at(1), nullptr);
    EXPECT_EQ(list.at(1)->path, "/p/b.jpg");
    EXPECT_EQ(list.at(-1), nullptr);
    EXPECT_EQ(list.at(2), nullptr);
}

TEST_F(ItemListTest, MovesSwapNeighboursAndKeepTheItemSelected) {
    enum Op { Up, Down };
    const struct {
        int selected;
        Op op;
        std::vector<std::string> order;
        int selectedAfter;
    } cases[] = {
        {1, Up, {"b", "a", "c"}, 0},   {0, Up, {"a", "b", "c"}, 0},   {2, Down, {"a", "b", "c"}, 2},
        {0, Down, {"b", "a", "c"}, 1}, {-1, Up, {"a", "b", "c"}, -1}, {-1, Down, {"a", "b", "c"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        ItemList fresh;
        FakeLines view;
        fresh.Attach(&view, &peers);
        for (const char* name : {"a", "b", "c"})
            fresh.AppendItem(Item(name));
        view.selected = c.selected;
        c.op == Up ? fresh.MoveSelectionUp() : fresh.MoveSelectionDown();
        std::vector<std::string> order;
        for (const MediaItem& item : fresh.items())
            order.push_back(item.fileName);
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(view.lines, c.order);
        EXPECT_EQ(view.selected, c.selectedAfter);
    }
    EXPECT_TRUE(peers.statusTexts.empty()); // moving leaves the status bar alone
}

TEST_F(ItemListTest, MovingUpRepeatedlyCarriesTheItemWithAllItsFields) {
    Fill({"a", "b", "c", "d"});
    list.AppendItem(Item("e", Audio, "/q/"));
    lines.selected = 4;
    for (int k = 0; k < 3; ++k)
        list.MoveSelectionUp();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "e", "b", "c", "d"}));
    EXPECT_EQ(list.at(1)->path, "/q/e");
    EXPECT_EQ(list.at(1)->kind, Audio);
    EXPECT_EQ(list.currentIndex, 1);
    EXPECT_EQ(lines.selected, 1);
}

TEST_F(ItemListTest, DeleteSelectsTheItemThatTookThePlaceOrTheNewLast) {
    const struct {
        int deleted;
        std::vector<std::string> left;
        int selectedAfter;
    } cases[] = {{2, {"a", "b"}, 1}, {1, {"a", "c"}, 1}, {0, {"b", "c"}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        ItemList fresh;
        FakeLines view;
        FakePeers window;
        fresh.Attach(&view, &window);
        for (const char* name : {"a", "b", "c"})
            fresh.AppendItem(Item(name, MovieAvi));
        view.selected = c.deleted;
        fresh.DeleteSelection();
        EXPECT_EQ(view.lines, c.left);
        EXPECT_EQ(view.selected, c.selectedAfter);
        EXPECT_EQ(fresh.currentIndex, c.selectedAfter);
        const std::string shown = c.left[static_cast<std::size_t>(c.selectedAfter)];
        EXPECT_EQ(window.shownPath, "/p/" + shown);
        EXPECT_EQ(window.shownKind, MovieAvi);
        EXPECT_EQ(window.statusTexts, (std::vector<std::string>{shown + LoadText(437), shown}));
        EXPECT_EQ(fresh.statusText, shown);
        EXPECT_TRUE(window.createEnabled);
        EXPECT_TRUE(window.warnings.empty());
    }
}

TEST_F(ItemListTest, DeletingTheOnlyItemDisablesCreateAndBlanksPreviewAndStatus) {
    Fill({"only.jpg"});
    lines.selected = 0;
    list.DeleteSelection();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(lines.lines.empty());
    EXPECT_FALSE(peers.createEnabled);
    EXPECT_EQ(peers.previewClears, 1);
    EXPECT_EQ(peers.statusTexts, (std::vector<std::string>{""}));
    EXPECT_TRUE(peers.shownPath.empty());
}

TEST_F(ItemListTest, DeleteWithoutShowThumbnailBlanksThePreview) {
    Fill({"a", "b"});
    peers.showThumbnail = false;
    lines.selected = 0;
    list.DeleteSelection();
    EXPECT_EQ(peers.previewClears, 1);
    EXPECT_TRUE(peers.shownPath.empty());
    EXPECT_EQ(peers.statusTexts, (std::vector<std::string>{"b"}));
}

TEST_F(ItemListTest, DeleteWarnsWhenThePreviewFailsAndStillSelects) {
    Fill({"a", "b"});
    peers.previewWorks = false;
    lines.selected = 0;
    list.DeleteSelection();
    EXPECT_EQ(peers.warnings, (std::vector<std::string>{LoadText(438) + ": " + LoadText(424)}));
    EXPECT_EQ(lines.selected, 0);
}

TEST_F(ItemListTest, DeleteWithoutSelectionOrWithoutViewDoesNothing) {
    Fill({"a", "b"});
    list.DeleteSelection();
    EXPECT_EQ(list.count(), 2);
    ItemList headless;
    headless.AppendItem(Item("a"));
    headless.DeleteSelection();
    headless.MoveSelectionDown();
    EXPECT_EQ(headless.count(), 1);
}

TEST_F(ItemListTest, DataNamesTurnBitmapsIntoJpegAndKeepOtherCase) {
    list.AppendItem(Item("Photo.BMP", StillBmp));
    list.AppendItem(Item("Photo.JPG"));
    list.AppendItem(Item("clip.Mov", MovieMov));
    EXPECT_EQ(list.PrepareFileNames(), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Photo.jpg", "Photo.JPG", "clip.Mov"}));
    EXPECT_EQ(lines.lines[0], "Photo.BMP"); // lines keep their texts until the next rebuild
}

TEST(ItemListNames, ClashingNamesArePrefixedWithTheirPositions) {
    const struct {
        std::vector<std::string> names;
        std::vector<std::string> unique;
        int result;
    } cases[] = {
        {{"x.jpg", "x.jpg", "X.jpg"}, {"0x.jpg", "1x.jpg", "2X.jpg"}, 2},
        {{"a.jpg", "A.JPG", "b.jpg"}, {"0a.jpg", "1A.JPG", "b.jpg"}, 1},
        {{"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg"}, 0},
        {{"a.jpg", "b.jpg", "a.jpg", "b.jpg"}, {"0a.jpg", "1b.jpg", "2a.jpg", "3b.jpg"}, 1},
        // A prefix that makes a name equal to another is settled by a further pass, not left to clash.
        {{"1a.jpg", "a.jpg", "a.jpg"}, {"01a.jpg", "11a.jpg", "2a.jpg"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names[0]);
        ItemList list;
        for (const std::string& name : c.names)
            list.AppendItem(Item(name));
        EXPECT_EQ(list.MakeFileNamesUnique(), c.result);
        std::vector<std::string> names;
        for (const MediaItem& item : list.items())
            names.push_back(item.fileName);
        EXPECT_EQ(names, c.unique);
    }
}

TEST(ItemListNames, ThumbNamesShareTheAudioPictureAndNumberPictureClashes) {
    ItemList list;
    list.AppendItem(Item("Sun.jpg"));
    list.AppendItem(Item("Sun.bmp", StillBmp));
    list.AppendItem(Item("one.wav", Audio));
    list.AppendItem(Item("two.mp3", Audio));
    list.audioPicturePath = "/usr/share/aw/htmldata/wave.jpg";
    list.PrepareFileNames();
    EXPECT_EQ(list.MakeFileNamesUnique(), 1);
    EXPECT_EQ(list.PrepareThumbNames(), 0);
    EXPECT_EQ(list.MakeThumbNamesUnique(), 1);
    const std::vector<std::pair<std::string, std::string>> expected = {{"0Sun.jpg", "0th_Sun.jpg"},
                                                                       {"1Sun.jpg", "1th_Sun.jpg"},
                                                                       {"one.wav", "wave.jpg"},
                                                                       {"two.mp3", "wave.jpg"}};
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.at(i)->fileName, expected[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(list.at(i)->thumbName, expected[static_cast<std::size_t>(i)].second);
    }
}

} // namespace
} // namespace aw
