// SPDX-License-Identifier: MIT
#include "medialist/listcontroller.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "medialist/blockintake.h"
#include "medialist/mediaintake.h"
#include "medialist/previewpicture.h"
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
    view_->SelectLine(selected_);
    UpdateCreate();
}

std::string ListController::LineText(int line) const {
    return line >= 0 && line < lineCount() ? lines_[static_cast<std::size_t>(line)] : std::string();
}

void ListController::SetOutputFolderGiven(bool given) {
    folderGiven_ = given;
    UpdateCreate();
}

void ListController::InputClick(int line) {
    if (busy_ || line < 0 || line >= lineCount())
        return;
    const BoxHold hold(*this, true);
    Select(line);
    if (line != current_)
        MakeCurrent(line);
}

void ListController::InputKey(ListKey key, int pageLines) {
    const int last = lineCount() - 1;
    if (busy_ || last < 0)
        return;
    const BoxHold hold(*this, true);
    const int s = selected_;
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
    Select(target);
    if (target != current_)
        MakeCurrent(target);
}

void ListController::InputLetter(const std::string& typed) {
    const int n = lineCount();
    if (busy_ || n == 0 || typed.empty())
        return;
    for (int k = 1; k <= n; ++k) {
        const int line = (selected_ + k + n) % n;
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
    const int s = selected_;
    const int t = s + step;
    if (busy_ || s < 0 || s >= items_.count() || t < 0 || t >= items_.count())
        return;
    items_.Swap(s, t);
    RebuildLines();
    current_ = t;
    Select(t);
}

void ListController::DeleteSelection() {
    const int s = selected_;
    if (busy_ || s < 0 || s >= items_.count())
        return;
    const BoxHold hold(*this, true);
    items_.Erase(s);
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
    if (busy_ || !items_.Reorder(order))
        return;
    const auto placeOf = [&order](int index) {
        const auto found = std::find(order.begin(), order.end(), static_cast<std::size_t>(index));
        return index < 0 || found == order.end() ? -1 : static_cast<int>(found - order.begin());
    };
    RebuildLines();
    current_ = placeOf(current_);
    Select(placeOf(selected_));
}

void ListController::ShowThumbnailChanged(bool checked) {
    const BoxHold hold(*this, true);
    if (!checked)
        ClearPreview();
    else if (selected_ >= 0 && selected_ < lineCount())
        PreviewLine(selected_);
}

void ListController::TakeFiles(const std::vector<std::string>& paths) {
    const int before = items_.count();
    MediaIntake intake(items_);
    intake.TakeAll(paths);
    FinishIntake(intake, before);
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
    const MediaItem* selected = items_.at(selected_);
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
    selected_ = line;
    if (view_)
        view_->SelectLine(line);
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
