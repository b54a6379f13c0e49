// SPDX-License-Identifier: MIT
// The album list's logic below its widgets: it owns the ItemList and the lines shown for it, takes files in
// (drops, FileBlocks, the browser's selection, the start-up file, the command line's files), keeps the
// selection, moves and deletes items, decides which preview to ask for (PreviewKindOf) and whether a
// preview that arrives is still wanted (the only filter of late results), keeps the status bar's text, and
// holds the one rule that enables Create. The widgets report input here and draw what the ListView is
// told. The list itself is handed out read-only: Create works on a copy taken when it starts.
//
// Selection: the selected lines are what the user sees highlighted (LineSelection: click, Shift and Ctrl
// click, Shift with the keys); the focus line is the one among them last clicked or moved to; the current
// item is the one last acted on (named in the status bar, previewed). A click or a navigation key makes
// the focus line current when it is not already; a letter key only moves the selection. A preview is
// always of the focus line's own item: a result for any other (the selection moved on meanwhile) is not
// drawn.
//
// Edits: moves, drops and deletes act on the whole selection, which follows its items; intake, moves,
// drops, deletes and sorts can each be undone and redone (ListHistory).
//
// Status: "<line>" for the current item, "<line>  Displaying thumbnail..." (string 437) from a preview
// request until its result arrives or the preview is given up.
//
// Boxes: reports of an intake, and a preview that failed (424, caption 438). Those raised by input (the
// Input* calls, the editing commands, Show Thumbnail) wait until the input handler has returned
// (ListView::ScheduleBoxes); the others are shown at once. Input that arrives while a box is up is
// dropped.
//
// Ownership: owns the ItemList; the session owns the controller, the view is borrowed and may be null
// (nothing is shown then). Thread-safety: none, user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "medialist/blockintake.h"
#include "medialist/fileblock.h"
#include "medialist/itemlist.h"
#include "medialist/lineselection.h"
#include "medialist/listhistory.h"
#include "medialist/listview.h"

namespace aw {

class MediaIntake;
struct ImagingLibrary;

// The keys that move the selection. A one-column list takes Left and Right as Up and Down.
enum class ListKey { Up, Down, PageUp, PageDown, Home, End };

class ListController {
public:
    ListController() = default;
    ListController(const ListController&) = delete;
    ListController& operator=(const ListController&) = delete;

    // Attaching a view shows it the whole state (lines, selection, Create); null detaches.
    void Attach(ListView* view);
    const ListView* view() const { return view_; }

    const ItemList& items() const { return items_; }
    int lineCount() const { return static_cast<int>(lines_.size()); }
    std::string LineText(int line) const; // empty outside the lines
    int selectedLine() const { return selection_.focus(); }
    const std::vector<int>& selectedLines() const { return selection_.lines(); }
    int currentIndex() const { return current_; }
    const std::string& statusText() const { return status_; }
    bool busy() const { return busy_; }
    // A preview was asked for and its result has not arrived (nor was it given up).
    bool previewPending() const { return pending_ != 0; }

    // Create is enabled exactly when an output folder is given and the list holds an item.
    bool CreateAllowed() const { return folderGiven_ && items_.count() > 0; }
    void SetOutputFolderGiven(bool given);

    // Input. `line` is the line under the click (-1 for none); `pageLines` how many lines a page holds;
    // `mode` Range for Shift, Toggle for Ctrl (a key with Ctrl moves as a plain one).
    void InputClick(int line, SelectMode mode = SelectMode::Only);
    void InputKey(ListKey key, int pageLines, SelectMode mode = SelectMode::Only);
    // Jumps the selection to the next line, after the selected one and round, whose text begins with
    // `typed` (ASCII case ignored); nothing else changes.
    void InputLetter(const std::string& typed);
    // One place up or down for the whole selection; nothing when it touches the end it moves towards.
    void MoveSelectionUp();
    void MoveSelectionDown();
    void DeleteSelection();
    // A drag inside the list: the selected items, together, go before line `before` (lineCount() for the
    // end).
    void DropSelection(int before);
    // Puts the items in `order` (ItemList::Reorder: a sort's result); the selected and the current item
    // keep their places in it.
    void Reorder(const std::vector<std::size_t>& order);
    // The stable orders of the metadata layer (OrderByName, OrderByTaken); movies and sounds tell their
    // dates through `imaging` when given.
    void SortByName();
    void SortByTaken(const ImagingLibrary* imaging);
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // The whole name of the line's item and, where the file has one, its caption; empty outside the lines.
    std::string TipText(int line) const;
    // Empties the list and forgets its history (an album reopened in its place).
    void Reset();
    // The Show Thumbnail box changed: checked previews the selected line, unchecked clears the pane.
    void ShowThumbnailChanged(bool checked);

    // Intake. Each appends the supported files in order, reports the others (UnsupportedFiles) and the
    // names that are not web-safe (UnsafeNames), applies the Create rule, and selects and previews
    // the first line when the list was empty before.
    void TakeFiles(const std::vector<std::string>& paths);
    // The same, the files taken going before line `before` (files dropped from outside), in one step.
    void TakeFilesAt(const std::vector<std::string>& paths, int before);
    // A whole FileBlock, refused as AcceptFileBlock refuses it (nothing is reported then).
    IntakeRefusal TakeFileBlock(const Bytes& block);
    // The browser's selection block, converted, then as TakeFileBlock; refused as ConvertBrowserSelection
    // says when it cannot be converted.
    IntakeRefusal TakeBrowserSelection(const Bytes& selectionBlock);
    // The file named at start-up: UnsupportedSelection when it is not supported (the list stays empty).
    IntakeRefusal TakeStartupFile(const std::string& path);

    // A preview result for `ticket`: true when the pane should draw it. A superseded ticket is ignored; a
    // result for an item no longer selected ends the note and is not drawn; a failure of the selected
    // item is reported.
    bool PreviewArrived(std::uint64_t ticket, const std::string& path, bool ok);

    // Shows the boxes waiting (the view's scheduled call); input meanwhile is dropped.
    void ShowBoxes();

private:
    struct Box {
        std::string text, caption;
        BoxKind kind;
    };
    class BoxHold;

    void MoveSelection(int step);
    void Select(int line);
    void ShowSelection();
    ListState State() const;
    void Restore(ListState state);
    // Reorders with the selection and the current item following their items; false when `order`
    // changes nothing. `record`: the step can be undone.
    bool ApplyOrder(const std::vector<std::size_t>& order, bool record);
    void MakeCurrent(int line);
    void PreviewLine(int line);
    void ClearPreview();
    void SetStatus(std::string text);
    void EndNote();
    void Raise(std::string text, std::string caption, BoxKind kind);
    void AppendLinesFrom(int first);
    void RebuildLines();
    void UpdateCreate();
    void FinishIntake(const MediaIntake& intake, int before);

    ItemList items_;
    ListView* view_ = nullptr;
    std::vector<std::string> lines_; // the texts shown; they keep their text until the next rebuild
    LineSelection selection_;
    ListHistory history_;
    int current_ = -1;
    bool folderGiven_ = false;
    std::string status_;
    std::optional<std::string> note_; // the line text whose 437 note is up while a preview is prepared
    std::uint64_t ticket_ = 0;        // of the newest preview request
    std::uint64_t pending_ = 0;       // the request still being prepared, 0 for none
    std::deque<Box> boxes_;
    bool holding_ = false;   // boxes wait for the step under way to end
    bool scheduled_ = false; // the view will call ShowBoxes
    bool busy_ = false;      // a box is up
};

} // namespace aw
