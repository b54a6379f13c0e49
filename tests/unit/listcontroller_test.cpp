// SPDX-License-Identifier: MIT
#include "medialist/listcontroller.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/selectionblock.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using Names = std::vector<std::string>;

const std::string kNote = LoadText(TextId::DisplayingThumbnail);
const std::string kPreviewFailed =
    "box " + LoadText(TextId::WarningCaption) + ": " + LoadText(TextId::ThumbnailFailed);

// Records what the list is told; a box records whether the list's state was whole while it was up.
struct View : ListView {
    void RemoveAllLines() override { lines.clear(); }
    void AppendLine(const std::string& text) override { lines.push_back(text); }
    void SelectLines(const std::vector<int>& lines, int focus) override { marked = lines, selected = focus; }
    void EnableCreate(bool enabled) override { create = enabled; }
    void SetStatusText(const std::string& text) override { events.push_back("status " + text); }
    bool IsShowThumbnailChecked() const override { return thumbnail; }
    PreviewStart StartPreview(std::uint64_t t, const std::string& path, MediaKind) override {
        return ticket = t, events.push_back("show " + path), preview;
    }
    void ShowSoundPicture() override { events.push_back("sound"); }
    void ClearPreview() override { events.push_back("clear"); }
    void ShowBox(const std::string& text, const std::string& caption, BoxKind) override {
        const int current = list->currentIndex();
        const bool whole = current >= 0 && current < list->items().count() && current < int(lines.size());
        events.push_back(std::string(whole ? "" : "(list not whole) ") + "box " + caption + ": " + text);
        if (onBox)
            onBox();
    }
    void ScheduleBoxes() override { events.push_back("schedule"); }
    ListController* list = nullptr;
    Names lines, events;
    std::uint64_t ticket = 0;
    int selected = -1;
    std::vector<int> marked;
    bool create = true, thumbnail = false;
    PreviewStart preview = PreviewStart::Pending;
    std::function<void()> onBox;
};

// A controller holding /p/<name> for each name, line `selected` clicked, set-up events forgotten.
struct Rig {
    explicit Rig(const Names& names, int selected = 0) {
        view.list = &list;
        list.Attach(&view);
        Names paths;
        for (const std::string& name : names)
            paths.push_back("/p/" + name);
        list.TakeFiles(paths);
        list.InputClick(selected);
        view.events.clear();
        view.thumbnail = true;
    }
    View view;
    ListController list;
};

// "E.mp3" sits in another folder, so a partial swap would show in its path or kind.
TEST(ListController, MovesSwapWholeItemsAndStopAtTheEnds) {
    // selected, moves, order, selected after
    const std::tuple<int, const char*, Names, int> cases[] = {
        {3, "uuuu", {"E.mp3", "a.jpg", "b.jpg", "c.jpg"}, 0},
        {0, "u", {"a.jpg", "b.jpg", "c.jpg", "E.mp3"}, 0},
        {3, "d", {"a.jpg", "b.jpg", "c.jpg", "E.mp3"}, 3},
        {0, "dd", {"b.jpg", "c.jpg", "a.jpg", "E.mp3"}, 2}};
    for (const auto& [selected, moves, order, after] : cases) {
        SCOPED_TRACE(std::to_string(selected) + moves);
        Rig rig({"a.jpg", "b.jpg", "c.jpg"}, selected == 3 ? 0 : selected);
        rig.list.TakeFiles({"/q/E.mp3"});
        rig.list.InputClick(selected);
        rig.view.events.clear();
        for (const char* move = moves; *move; ++move)
            *move == 'u' ? rig.list.MoveSelectionUp() : rig.list.MoveSelectionDown();
        EXPECT_EQ(rig.view.lines, order);
        EXPECT_EQ(rig.list.currentIndex(), after);
        for (const MediaItem& item : rig.list.items().items())
            EXPECT_EQ(item.kind == MediaKind::Audio, item.path == "/q/E.mp3");
        EXPECT_TRUE(rig.view.events.empty());
    }
}

// Steps, separated by blanks: c<n> click, s<n> Shift click, t<n> Ctrl click, K Shift+Down, u up, d down,
// x delete, p<n> drag the selection before line n, z undo, y redo. The selection follows its items.
TEST(ListController, SelectionEditsUndoAndRedo) {
    const std::tuple<const char*, const char*, std::vector<int>> cases[] = {
        {"c1 s3", "abcde", {1, 2, 3}},
        {"c3 s1", "abcde", {1, 2, 3}},
        {"c2 K K K", "abcde", {2, 3, 4}},
        {"c1 t1", "abcde", {}},
        {"c1 s3 u", "bcdae", {0, 1, 2}},
        {"c1 s3 u u", "bcdae", {0, 1, 2}}, // the block stops whole at the edge
        {"c0 t2 t4 d", "abcde", {0, 2, 4}},
        {"c0 t2 d", "badce", {1, 3}},
        {"c1 s2 p5", "adebc", {3, 4}},
        {"c3 s4 p0", "deabc", {0, 1}},
        {"c1 p4", "acdbe", {3}},
        {"c1 s3 x", "ae", {1}},
        {"c1 s3 x z", "abcde", {1, 2, 3}},
        {"c1 s3 x z y", "ae", {1}},
        {"c1 s3 u z", "abcde", {1, 2, 3}},
        {"c1 p4 z y", "acdbe", {3}},
        {"c1 p4 z x y", "acde", {1}}, // an edit after an undo drops what could be redone
    };
    for (const auto& [steps, order, marked] : cases) {
        SCOPED_TRACE(steps);
        Rig rig({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
        std::istringstream in(steps);
        for (std::string step; in >> step;) {
            const int n = step.size() > 1 ? std::stoi(step.substr(1)) : 0;
            switch (step[0]) {
            case 'c':
                rig.list.InputClick(n);
                break;
            case 's':
                rig.list.InputClick(n, SelectMode::Range);
                break;
            case 't':
                rig.list.InputClick(n, SelectMode::Toggle);
                break;
            case 'K':
                rig.list.InputKey(ListKey::Down, 1, SelectMode::Range);
                break;
            case 'u':
                rig.list.MoveSelectionUp();
                break;
            case 'd':
                rig.list.MoveSelectionDown();
                break;
            case 'x':
                rig.list.DeleteSelection();
                break;
            case 'p':
                rig.list.DropSelection(n);
                break;
            case 'z':
                rig.list.Undo();
                break;
            case 'y':
                rig.list.Redo();
                break;
            }
        }
        std::string shown;
        for (const std::string& line : rig.view.lines)
            shown += line[0];
        EXPECT_EQ(shown, order);
        EXPECT_EQ(rig.view.marked, marked);
    }
}

// Sorts by name as people read names and by the date taken (here the files' times), each one undoable
// step; an intake is a step too, and files dropped mid-list land where they were dropped.
TEST(ListController, SortsIntakeAndDropsFromOutsideUndo) {
    test::ScratchDir dir;
    const auto file = [&dir](const std::string& name, int hoursAgo) {
        test::WriteWholeFile(dir / name, "not a picture");
        std::filesystem::last_write_time(dir / name, std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(hoursAgo));
        return (dir / name).string();
    };
    ListController list;
    View view;
    list.Attach(&view);
    list.TakeFiles({file("IMG_10.jpg", 1), file("img_2.jpg", 3), file("IMG_1.jpg", 2)});
    list.SortByName();
    EXPECT_EQ(view.lines, (Names{"IMG_1.jpg", "img_2.jpg", "IMG_10.jpg"}));
    list.SortByTaken(nullptr);
    EXPECT_EQ(view.lines, (Names{"img_2.jpg", "IMG_1.jpg", "IMG_10.jpg"}));
    list.TakeFilesAt({file("new.jpg", 0)}, 1);
    EXPECT_EQ(view.lines, (Names{"img_2.jpg", "new.jpg", "IMG_1.jpg", "IMG_10.jpg"}));
    EXPECT_EQ(view.marked, std::vector<int>{1});
    const Names undone[] = {{"img_2.jpg", "IMG_1.jpg", "IMG_10.jpg"},
                            {"IMG_1.jpg", "img_2.jpg", "IMG_10.jpg"},
                            {"IMG_10.jpg", "img_2.jpg", "IMG_1.jpg"},
                            {}};
    for (const Names& lines : undone) {
        list.Undo();
        EXPECT_EQ(view.lines, lines);
    }
    EXPECT_FALSE(list.CanUndo());
}

// A sort's order moves the lines; the selected item stays selected and current where it went.
TEST(ListController, ReorderKeepsTheSelectionOnItsItem) {
    Rig rig({"a.jpg", "b.jpg", "c.jpg"}, 1);
    rig.list.Reorder({1, 2, 0});
    EXPECT_EQ(rig.view.lines, (Names{"b.jpg", "c.jpg", "a.jpg"}));
    EXPECT_EQ(std::pair(rig.view.selected, rig.list.currentIndex()), std::pair(0, 0));
}

// The item that took the deleted one's place, or the new last, is selected and shown before any box.
TEST(ListController, DeleteSelectsTheNextItemAndBoxesFollowTheHandler) {
    constexpr PreviewStart Shown = PreviewStart::Shown, Failed = PreviewStart::Failed;
    const Names abc{"a.avi", "b.avi", "c.avi"}, ab{"a.avi", "b.avi"};
    const Names showB{"status b.avi" + kNote, "show /p/b.avi", "status b.avi"};
    const Names failA{"status a.avi" + kNote, "show /p/a.avi", "status a.avi", "schedule", kPreviewFailed};
    const std::tuple<Names, int, bool, PreviewStart, Names> cases[] = {
        {abc, 2, true, Shown, showB},
        {abc, 0, true, Shown, showB},
        {ab, 0, false, Shown, {"clear", "status b.avi"}},
        {ab, 1, true, Failed, failA},
        {ab, 0, true, PreviewStart::Pending, {"status b.avi" + kNote, "show /p/b.avi"}},
        // A sound's picture is shown at once, never prepared.
        {{"a.avi", "b.mp3"},
         0,
         true,
         PreviewStart::Pending,
         {"status b.mp3" + kNote, "sound", "status b.mp3"}},
        {{"only.avi"}, 0, true, Shown, {"clear", "status "}}};
    for (const auto& [names, deleted, thumbnail, preview, events] : cases) {
        SCOPED_TRACE(names.size() * 10 + deleted);
        Rig rig(names, deleted);
        rig.list.SetOutputFolderGiven(true);
        rig.view.thumbnail = thumbnail;
        rig.view.preview = preview;
        rig.list.DeleteSelection();
        rig.list.ShowBoxes(); // as the view's queued call
        Names left = names;
        left.erase(left.begin() + deleted);
        EXPECT_EQ(rig.view.lines, left);
        EXPECT_EQ(rig.list.currentIndex(), left.empty() ? -1 : std::min(deleted, int(left.size()) - 1));
        EXPECT_EQ(rig.view.events, events);
    }
}

// Keys move the selection and make it current (previewed); a letter only moves the selection.
TEST(ListController, KeysAndLettersMoveTheSelection) {
    // from, key or letter, to, current
    const std::tuple<int, ListKey, const char*, int, int> cases[] = {
        {0, ListKey::Down, nullptr, 1, 1},
        {4, ListKey::Down, nullptr, 4, 4},
        {0, ListKey::End, nullptr, 4, 4},
        {4, ListKey::PageUp, nullptr, 2, 2},
        {3, ListKey::PageDown, nullptr, 4, 4},
        {2, {}, "C", 3, 2},
        {3, {}, "c", 2, 3},
        {1, {}, "z", 1, 1},
    };
    for (const auto& [from, key, letter, to, current] : cases) {
        SCOPED_TRACE(std::to_string(from) + "->" + std::to_string(to));
        Rig rig({"a.jpg", "b.jpg", "c.jpg", "Cx.jpg", "e.jpg"}, from);
        letter ? rig.list.InputLetter(letter) : rig.list.InputKey(key, 2);
        EXPECT_EQ(rig.view.selected, to);
        EXPECT_EQ(rig.list.currentIndex(), current);
        const std::string line = rig.list.LineText(to);
        const Names previewed = {"status " + line + kNote, "show /p/" + line};
        EXPECT_EQ(rig.view.events, current == from ? Names() : previewed);
    }
}

// Only the selected line's own newest result is drawn; late, doubled and superseded ones change nothing.
TEST(ListController, PreviewResultsArrivingLateOrOutOfOrder) {
    const std::string longName = "Beach day 01 at the harbour.jpg"; // past a short-string buffer
    Rig rig({"a.jpg", "b.jpg", longName});
    rig.list.InputClick(1);
    const std::uint64_t first = rig.view.ticket;
    rig.list.InputClick(2);
    const std::uint64_t second = rig.view.ticket;
    rig.list.InputClick(2); // the current line again: nothing
    EXPECT_EQ(rig.view.ticket, second);
    EXPECT_FALSE(rig.list.PreviewArrived(first, "/p/b.jpg", true));
    EXPECT_EQ(rig.list.statusText(), longName + kNote);
    EXPECT_TRUE(rig.list.PreviewArrived(second, "/p/" + longName, true));
    EXPECT_EQ(rig.list.statusText(), longName);
    EXPECT_FALSE(rig.list.PreviewArrived(second, "/p/" + longName, true)); // once only

    rig.list.InputClick(1);
    rig.list.InputLetter("a"); // the selection moves on without a new preview
    rig.view.events.clear();
    EXPECT_FALSE(rig.list.PreviewArrived(rig.view.ticket, "/p/b.jpg", false));
    EXPECT_EQ(rig.view.events, Names{"status b.jpg"}); // no box for an item no longer selected

    // Show Thumbnail after a letter jump: the selected line is previewed and its result drawn.
    rig.list.ShowThumbnailChanged(true);
    rig.view.events.clear();
    EXPECT_TRUE(rig.list.PreviewArrived(rig.view.ticket, "/p/a.jpg", false));
    EXPECT_EQ(rig.view.events, (Names{"status a.jpg", kPreviewFailed}));

    rig.list.InputClick(2);
    rig.list.ShowThumbnailChanged(false); // given up: the note ends at once, the result is not drawn
    EXPECT_EQ(rig.list.statusText(), longName);
    EXPECT_FALSE(rig.list.PreviewArrived(rig.view.ticket, "/p/" + longName, true));
}

TEST(ListController, CreateNeedsAFolderAndAnItem) {
    Rig rig({});
    rig.list.SetOutputFolderGiven(true);
    rig.list.TakeFiles({"/p/notes.txt"});
    EXPECT_FALSE(rig.view.create);
    rig.list.TakeFiles({"/p/a.jpg"});
    EXPECT_TRUE(rig.view.create);
    rig.list.SetOutputFolderGiven(false);
    EXPECT_FALSE(rig.view.create);
    rig.list.SetOutputFolderGiven(true);
    rig.list.DeleteSelection();
    EXPECT_FALSE(rig.view.create);
}

// An intake's boxes come after the list is complete; input while a box is up is dropped.
TEST(ListController, IntakeSelectsTheFirstFilesThenReports) {
    Rig rig({});
    rig.view.preview = PreviewStart::Failed;
    rig.view.onBox = [&] {
        rig.list.InputClick(1);
        rig.list.InputKey(ListKey::End, 1);
        rig.list.DeleteSelection();
    };
    rig.list.TakeFiles({"/p/a.jpg", "/p/notes.txt", "/p/my b.jpg"});
    EXPECT_EQ(rig.view.events, (Names{"status a.jpg" + kNote, "show /p/a.jpg", "status a.jpg",
                                      "box " + LoadText(TextId::InformationCaption) + ": " +
                                          LoadText(TextId::UnsupportedFiles) + "notes.txt",
                                      "box " + LoadText(TextId::WarningCaption) + ": " +
                                          LoadText(TextId::UnsafeNames) + "\nmy b.jpg",
                                      kPreviewFailed}));
    EXPECT_EQ(rig.view.lines, (Names{"a.jpg", "my b.jpg"}));

    rig.view.events.clear(); // onto a filled list: the selection stays, nothing is previewed
    EXPECT_EQ(rig.list.TakeBrowserSelection(SelectionBlock::Build("/in", {"c.jpg"})), std::nullopt);
    EXPECT_EQ(rig.list.TakeBrowserSelection({1, 0, 0, 0}), TextId::NoFilesSelected);
    EXPECT_TRUE(rig.view.events.empty());

    Rig startup({});
    EXPECT_EQ(startup.list.TakeStartupFile("/p/notes.txt"), TextId::UnsupportedSelection);
    EXPECT_EQ(startup.list.TakeStartupFile("/a.jpg"), std::nullopt);
}

} // namespace
} // namespace aw
