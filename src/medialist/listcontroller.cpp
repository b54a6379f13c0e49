// SPDX-License-Identifier: MIT
#include "medialist/listcontroller.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "album/itemmetadata.h"
#include "medialist/blockintake.h"
#include "medialist/mediaintake.h"
#include "medialist/previewpicture.h"
#include "metadata/mediaorder.h"
#include "platform/asciicase.h"
#include "stringtable.h"

namespace aw {

// Holds the boxes raised inside one step, so that every box comes after the state it reports on is
// complete; the outermost hold then shows them, or (for input) has them shown once the handler returns.
class ListController::BoxHold {
public:
    BoxHold(ListController& owner, bool fromInput)
        : owner_(owner), outermost_(!owner.holding_), fromInput_(fromInput) {
        owner_.holding_ = true;
    }
    ~BoxHold() {
        if (!outermost_)
            return;
        owner_.holding_ = false;
        if (owner_.boxes_.empty() || !owner_.view_)
            return;
        if (!fromInput_)
            owner_.ShowBoxes();
        else if (!std::exchange(owner_.scheduled_, true))
            owner_.view_->ScheduleBoxes();
    }
    BoxHold(const BoxHold&) = delete;
    BoxHold& operator=(const BoxHold&) = delete;

private:
    ListController& owner_;
    const bool outermost_;
    const bool fromInput_;
};

void ListController::Attach(ListView* view) {
    view_ = view;
    if (!view_)
        return;
    RebuildLines();
    ShowSelection();
    UpdateCreate();
}

std::string ListController::LineText(int line) const {
    return line >= 0 && line < lineCount() ? lines_[static_cast<std::size_t>(line)] : std::string();
}

void ListController::SetOutputFolderGiven(bool given) {
    folderGiven_ = given;
    UpdateCreate();
}

void ListController::InputClick(int line, SelectMode mode) {
    if (busy_ || line < 0 || line >= lineCount())
        return;
    const BoxHold hold(*this, true);
    selection_.Select(line, mode, lineCount());
    ShowSelection();
    if (selection_.Has(line) && line != current_)
        MakeCurrent(line);
}

void ListController::InputKey(ListKey key, int pageLines, SelectMode mode) {
    const int last = lineCount() - 1;
    if (busy_ || last < 0)
        return;
    const BoxHold hold(*this, true);
    const int s = selection_.focus();
    const int page = std::max(pageLines, 1);
    int target = 0;
    if (s >= 0) {
        switch (key) {
        case ListKey::Up:
            target = s - 1;
            break;
        case ListKey::Down:
            target = s + 1;
            break;
        case ListKey::PageUp:
            target = s - page;
            break;
        case ListKey::PageDown:
            target = s + page;
            break;
        case ListKey::Home:
            target = 0;
            break;
        case ListKey::End:
            target = last;
            break;
        }
    }
    target = std::clamp(target, 0, last);
    selection_.Select(target, mode == SelectMode::Range ? SelectMode::Range : SelectMode::Only, lineCount());
    ShowSelection();
    if (target != current_)
        MakeCurrent(target);
}

void ListController::InputLetter(const std::string& typed) {
    const int n = lineCount();
    if (busy_ || n == 0 || typed.empty())
        return;
    for (int k = 1; k <= n; ++k) {
        const int line = (selection_.focus() + k + n) % n;
        const std::string_view text = lines_[static_cast<std::size_t>(line)];
        if (EqualsIgnoringAsciiCase(text.substr(0, typed.size()), typed)) {
            Select(line);
            return;
        }
    }
}

void ListController::MoveSelectionUp() {
    MoveSelection(-1);
}

void ListController::MoveSelectionDown() {
    MoveSelection(1);
}

void ListController::MoveSelection(int step) {
    if (!busy_)
        ApplyOrder(MoveOrder(items_.count(), selection_.lines(), step), true);
}

void ListController::DropSelection(int before) {
    if (!busy_)
        ApplyOrder(DropOrder(items_.count(), selection_.lines(), before), true);
}

void ListController::DeleteSelection() {
    const std::vector<int> lines = selection_.lines();
    if (busy_ || lines.empty() || lines.back() >= items_.count())
        return;
    const BoxHold hold(*this, true);
    history_.Record(State());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        items_.Erase(*line);
    const int s = lines.front();
    RebuildLines();
    UpdateCreate();
    if (items_.count() == 0) {
        current_ = -1;
        Select(-1);
        ClearPreview();
        SetStatus("");
        return;
    }
    const int t = std::min(s, items_.count() - 1);
    current_ = t;
    Select(t);
    if (view_ && view_->IsShowThumbnailChecked()) {
        PreviewLine(t);
    } else {
        ClearPreview();
        SetStatus(lines_[static_cast<std::size_t>(t)]);
    }
}

void ListController::Reorder(const std::vector<std::size_t>& order) {
    if (!busy_)
        ApplyOrder(order, true);
}

bool ListController::ApplyOrder(const std::vector<std::size_t>& order, bool record) {
    bool changes = false;
    for (std::size_t k = 0; k < order.size(); ++k)
        changes = changes || order[k] != k;
    ListState before = State();
    if (!changes || !items_.Reorder(order))
        return false;
    if (record)
        history_.Record(std::move(before));
    RebuildLines();
    std::vector<int> lines;
    for (const int line : selection_.lines())
        lines.push_back(PlaceIn(order, line));
    current_ = PlaceIn(order, current_);
    selection_.Set(std::move(lines), PlaceIn(order, selection_.focus()), lineCount());
    ShowSelection();
    return true;
}

void ListController::SortByName() {
    std::vector<std::string> names;
    for (const MediaItem& item : items_.items())
        names.push_back(item.fileName); // the name at intake: the file's own
    Reorder(OrderByName(names));
}

void ListController::SortByTaken(const ImagingLibrary* imaging) {
    if (busy_)
        return;
    std::vector<TakenTime> times;
    for (const MediaItem& item : items_.items())
        times.push_back(ReadItemMetadata(item, imaging).taken);
    Reorder(OrderByTaken(times));
}

void ListController::Undo() {
    if (busy_)
        return;
    if (std::optional<ListState> back = history_.Undo(State()))
        Restore(std::move(*back));
}

void ListController::Redo() {
    if (busy_)
        return;
    if (std::optional<ListState> forward = history_.Redo(State()))
        Restore(std::move(*forward));
}

ListState ListController::State() const {
    return ListState{items_.items(), selection_.lines(), selection_.focus(), current_};
}

void ListController::Restore(ListState state) {
    const BoxHold hold(*this, true);
    items_.Assign(std::move(state.items));
    RebuildLines();
    UpdateCreate();
    selection_.Set(std::move(state.selection), state.focus, lineCount());
    ShowSelection();
    current_ = -1;
    if (selection_.focus() >= 0) {
        MakeCurrent(selection_.focus());
        return;
    }
    ClearPreview();
    SetStatus("");
}

std::string ListController::TipText(int line) const {
    const MediaItem* item = items_.at(line);
    if (item == nullptr)
        return {};
    const std::string caption = ReadItemMetadata(*item, nullptr).caption;
    return caption.empty() ? LineText(line) : LineText(line) + "\n" + caption;
}

void ListController::Reset() {
    items_.Assign({});
    history_ = ListHistory();
    RebuildLines();
    UpdateCreate();
    current_ = -1;
    selection_.Clear();
    ShowSelection();
    ClearPreview();
    SetStatus("");
}

void ListController::ShowThumbnailChanged(bool checked) {
    const BoxHold hold(*this, true);
    if (!checked)
        ClearPreview();
    else if (selection_.focus() >= 0 && selection_.focus() < lineCount())
        PreviewLine(selection_.focus());
}

void ListController::TakeFiles(const std::vector<std::string>& paths) {
    TakeFilesAt(paths, items_.count());
}

void ListController::TakeFilesAt(const std::vector<std::string>& paths, int place) {
    ListState state = State();
    const int before = items_.count();
    MediaIntake intake(items_);
    intake.TakeAll(paths);
    if (items_.count() == before) {
        FinishIntake(intake, before);
        return;
    }
    history_.Record(std::move(state));
    FinishIntake(intake, before);
    std::vector<int> taken;
    for (int line = before; line < items_.count(); ++line)
        taken.push_back(line);
    // Dropped in the middle: the new items go there, selected, the first one current.
    if (const std::vector<std::size_t> order = DropOrder(items_.count(), taken, place); !order.empty()) {
        const BoxHold hold(*this, true);
        items_.Reorder(order);
        RebuildLines();
        const int first = PlaceIn(order, before);
        selection_.Set({}, -1, 0);
        for (int k = 0; k < static_cast<int>(taken.size()); ++k)
            selection_.Select(first + k, k == 0 ? SelectMode::Only : SelectMode::Toggle, lineCount());
        ShowSelection();
        MakeCurrent(first);
    }
}

IntakeRefusal ListController::TakeFileBlock(const Bytes& block) {
    const int before = items_.count();
    MediaIntake intake(items_);
    const IntakeRefusal refusal = AcceptFileBlock(block, intake, items_);
    if (!refusal)
        FinishIntake(intake, before);
    return refusal;
}

IntakeRefusal ListController::TakeBrowserSelection(const Bytes& selectionBlock) {
    TextId refusal = TextId::NoFilesSelected;
    const std::optional<Bytes> block = ConvertBrowserSelection(selectionBlock, &refusal);
    return block ? TakeFileBlock(*block) : refusal;
}

IntakeRefusal ListController::TakeStartupFile(const std::string& path) {
    const int before = items_.count();
    MediaIntake intake(items_);
    intake.Take(path);
    if (items_.count() == 0)
        return TextId::UnsupportedSelection;
    FinishIntake(intake, before);
    return std::nullopt;
}

void ListController::FinishIntake(const MediaIntake& intake, int before) {
    const BoxHold hold(*this, false);
    AppendLinesFrom(before);
    if (!intake.rejectedNames().empty())
        Raise(intake.RejectedText(), LoadText(TextId::InformationCaption), BoxKind::Note);
    if (!intake.unsafeNames().empty())
        Raise(intake.UnsafeText(), LoadText(TextId::WarningCaption), BoxKind::Warning);
    UpdateCreate();
    if (before == 0 && items_.count() > 0) {
        Select(0);
        MakeCurrent(0);
    }
}

bool ListController::PreviewArrived(std::uint64_t ticket, const std::string& path, bool ok) {
    if (ticket == 0 || ticket != pending_)
        return false; // superseded by a newer request, or given up
    pending_ = 0;
    EndNote();
    const MediaItem* selected = items_.at(selection_.focus());
    if (selected == nullptr || selected->path != path)
        return false;
    if (!ok) {
        const BoxHold hold(*this, false);
        Raise(LoadText(TextId::ThumbnailFailed), LoadText(TextId::WarningCaption), BoxKind::Warning);
    }
    return true;
}

void ListController::ShowBoxes() {
    scheduled_ = false;
    if (busy_)
        return; // the loop under way below shows the new ones too
    struct BusyGuard {
        bool& busy;
        ~BusyGuard() { busy = false; }
    } guard{busy_ = true};
    while (!boxes_.empty()) {
        const Box box = std::move(boxes_.front());
        boxes_.pop_front();
        if (view_)
            view_->ShowBox(box.text, box.caption, box.kind);
    }
}

void ListController::Select(int line) {
    selection_.Select(line, SelectMode::Only, lineCount());
    ShowSelection();
}

void ListController::ShowSelection() {
    if (view_)
        view_->SelectLines(selection_.lines(), selection_.focus());
}

void ListController::MakeCurrent(int line) {
    current_ = line;
    if (view_ && view_->IsShowThumbnailChecked())
        PreviewLine(line);
    else
        SetStatus(LineText(line));
}

void ListController::PreviewLine(int line) {
    const MediaItem* item = items_.at(line);
    if (item == nullptr)
        return;
    const std::string text = LineText(line);
    SetStatus(text + LoadText(TextId::DisplayingThumbnail));
    pending_ = 0;
    ++ticket_;
    PreviewStart start = PreviewStart::Shown;
    if (view_) {
        switch (PreviewKindOf(item->kind)) {
        case PreviewKind::Picture:
            start = view_->StartPreview(ticket_, item->path, item->kind);
            break;
        case PreviewKind::SoundPicture:
            view_->ShowSoundPicture();
            break;
        case PreviewKind::None:
            view_->ClearPreview();
            start = PreviewStart::Failed;
            break;
        }
    }
    if (start == PreviewStart::Pending) {
        pending_ = ticket_;
        note_ = text;
        return;
    }
    SetStatus(text);
    if (start == PreviewStart::Failed)
        Raise(LoadText(TextId::ThumbnailFailed), LoadText(TextId::WarningCaption), BoxKind::Warning);
}

void ListController::ClearPreview() {
    pending_ = 0;
    if (view_)
        view_->ClearPreview();
    EndNote();
}

// By value: the text may be the note itself, which this ends.
void ListController::SetStatus(std::string text) {
    note_.reset();
    status_ = std::move(text);
    if (view_)
        view_->SetStatusText(status_);
}

void ListController::EndNote() {
    if (note_)
        SetStatus(*note_);
}

void ListController::Raise(std::string text, std::string caption, BoxKind kind) {
    if (!view_)
        return;
    boxes_.push_back(Box{std::move(text), std::move(caption), kind});
    if (!holding_)
        ShowBoxes();
}

void ListController::AppendLinesFrom(int first) {
    for (int i = std::max(first, 0); i < items_.count(); ++i) {
        lines_.push_back(items_.at(i)->fileName);
        if (view_)
            view_->AppendLine(lines_.back());
    }
}

void ListController::RebuildLines() {
    lines_.clear();
    if (view_)
        view_->RemoveAllLines();
    AppendLinesFrom(0);
}

void ListController::UpdateCreate() {
    if (view_)
        view_->EnableCreate(CreateAllowed());
}

} // namespace aw
