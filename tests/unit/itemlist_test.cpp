#include "medialist/itemlist.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/itemlistpeers.h"
#include "medialist/linelist.h"
#include "stringtable.h"

namespace aw {
namespace {

using Names = std::vector<std::string>;

MediaItem Item(const std::string& name, int kind = StillJpeg, const std::string& folder = "/p/") {
    return MediaItem{folder + name, folder, name, "", kind};
}

// Stands in for the view and the window (recording what the window is told) around a list of /p/ items.
struct Rig : LineList, ItemListPeers {
    explicit Rig(const Names& names, int selectedLine = -1, int kind = StillJpeg) {
        list.Attach(this, this);
        for (const std::string& name : names)
            list.AppendItem(Item(name, kind));
        selected = selectedLine;
    }
    int LineCount() const override { return static_cast<int>(lines.size()); }
    int SelectedLine() const override { return selected; }
    void SelectLine(int index) override { selected = index; }
    std::string LineText(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
    void RemoveAllLines() override { lines.clear(), selected = -1; }
    void AppendLine(const std::string& text) override { lines.push_back(text); }
    void EnableCreate(bool enabled) override { events.push_back(enabled ? "create on" : "create off"); }
    void ClearPreview() override { events.push_back("clear"); }
    bool IsShowThumbnailChecked() const override { return thumbnail; }
    PreviewStart ShowPreview(const std::string& path, int kind) override {
        return events.push_back("show " + path + " " + std::to_string(kind)), preview;
    }
    void SetStatusText(const std::string& text) override { events.push_back("status " + text); }
    void ShowWarning(const std::string& text, const std::string& caption) override {
        events.push_back(caption + ": " + text);
    }
    Names lines, events;
    int selected = -1;
    bool thumbnail = true;
    PreviewStart preview = PreviewStart::Shown;
    ItemList list;
};

// "E" is an audio item from another folder, so a partial swap would show in its path or kind.
TEST(ItemList, MovesSwapWholeItemsAndStopAtTheEnds) {
    const struct {
        int selected;
        const char* moves;
        Names order;
        int selectedAfter, current;
    } cases[] = {
        {3, "uuuu", {"E", "a", "b", "c"}, 0, 0}, {0, "u", {"a", "b", "c", "E"}, 0, -1},
        {3, "d", {"a", "b", "c", "E"}, 3, -1},   {0, "dd", {"b", "c", "a", "E"}, 2, 2},
        {-1, "u", {"a", "b", "c", "E"}, -1, -1}, {-1, "d", {"a", "b", "c", "E"}, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.selected) + c.moves);
        Rig rig({"a", "b", "c"}, c.selected);
        rig.list.AppendItem(Item("E", Audio, "/q/"));
        for (const char* move = c.moves; *move; ++move)
            *move == 'u' ? rig.list.MoveSelectionUp() : rig.list.MoveSelectionDown();
        EXPECT_EQ(rig.lines, c.order);
        EXPECT_EQ(rig.selected, c.selectedAfter);
        EXPECT_EQ(rig.list.currentIndex, c.current);
        for (const MediaItem& item : rig.list.items()) {
            EXPECT_EQ(item.path, item.folder + item.fileName);
            EXPECT_EQ(item.kind, item.fileName == "E" ? Audio : StillJpeg);
        }
        EXPECT_TRUE(rig.events.empty());
    }
}

// The item that took the deleted one's place, or the new last, is selected and shown.
TEST(ItemList, DeleteSelectsTheNextItemAndPreviewsIt) {
    const std::string loading = LoadText(437), warning = LoadText(438) + ": " + LoadText(424);
    const std::string avi = " " + std::to_string(MovieAvi);
    constexpr PreviewStart Shown = PreviewStart::Shown, Failed = PreviewStart::Failed,
                           Pending = PreviewStart::Pending;
    const struct {
        Names names;
        int deleted;
        bool thumbnail;
        PreviewStart preview;
        int selectedAfter;
        Names events;
    } cases[] = {
        {{"a", "b", "c"}, 2, true, Shown, 1, {"status b" + loading, "show /p/b" + avi, "status b"}},
        {{"a", "b", "c"}, 0, true, Shown, 0, {"status b" + loading, "show /p/b" + avi, "status b"}},
        {{"a", "b"}, 0, false, Shown, 0, {"clear", "status b"}},
        {{"a", "b"}, 0, true, Failed, 0, {"status b" + loading, "show /p/b" + avi, warning, "status b"}},
        {{"a", "b"}, 0, true, Pending, 0, {"status b" + loading, "show /p/b" + avi}},
        {{"only"}, 0, true, Shown, -1, {"create off", "clear", "status "}},
        {{"a", "b"}, -1, true, Shown, -1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names.size() * 10 + c.deleted);
        Rig rig(c.names, c.deleted, MovieAvi);
        rig.thumbnail = c.thumbnail;
        rig.preview = c.preview;
        rig.list.DeleteSelection();
        Names left = c.names;
        left.erase(left.begin() + std::max(c.deleted, 0), left.begin() + std::max(c.deleted + 1, 0));
        EXPECT_EQ(rig.lines, left);
        EXPECT_EQ(rig.selected, c.selectedAfter);
        EXPECT_EQ(rig.list.currentIndex, c.selectedAfter);
        EXPECT_EQ(rig.events, c.events);
    }
    ItemList headless; // without a view the commands do nothing
    headless.AppendItem(Item("a"));
    headless.DeleteSelection();
    headless.MoveSelectionDown();
    EXPECT_TRUE(headless.count() == 1 && headless.at(1) == nullptr && headless.at(-1) == nullptr);
}

TEST(ItemList, ClashingNamesArePrefixedWithTheirPositions) {
    const std::string n251(251, 'n'), n250(250, 'n');
    const struct {
        Names names, unique;
        int result;
    } cases[] = {
        {{"x.jpg", "x.jpg", "X.jpg"}, {"0x.jpg", "1x.jpg", "2X.jpg"}, 2},
        {{"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg"}, 0},
        {{"a.jpg", "b.jpg", "a.jpg", "b.jpg"}, {"0a.jpg", "1b.jpg", "2a.jpg", "3b.jpg"}, 1},
        {{"1a.jpg", "a.jpg", "a.jpg"}, {"01a.jpg", "11a.jpg", "2a.jpg"}, 1}, // no clash made by a prefix
        {{n251 + ".jpg", n251 + ".jpg"}, {"0" + n250 + ".jpg", "1" + n250 + ".jpg"}, 1}, // within 255 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names[0].substr(0, 9));
        Rig rig(c.names);
        EXPECT_EQ(rig.list.MakeFileNamesUnique(), c.result);
        rig.list.RebuildLines();
        EXPECT_EQ(rig.lines, c.unique);
    }
}

TEST(ItemList, ThumbNamesShareTheAudioPictureAndNumberPictureClashes) {
    Rig rig({"Sun.jpg"});
    for (const MediaItem& item : {Item("Sun.bmp", StillBmp), Item("one.wav", Audio), Item("two.mp3", Audio)})
        rig.list.AppendItem(item);
    rig.list.audioPicturePath = "/usr/share/aw/htmldata/wave.jpg";
    EXPECT_EQ((std::tuple{rig.list.PrepareFileNames(), rig.list.MakeFileNamesUnique(),
                          rig.list.PrepareThumbNames(), rig.list.MakeThumbNamesUnique()}),
              std::tuple(0, 1, 0, 1));
    Names names;
    for (const MediaItem& item : rig.list.items())
        names.push_back(item.fileName + " " + item.thumbName);
    EXPECT_EQ(names, (Names{"0Sun.jpg 0th_Sun.jpg", "1Sun.jpg 1th_Sun.jpg", "one.wav wave.jpg",
                            "two.mp3 wave.jpg"}));
}

} // namespace
} // namespace aw
