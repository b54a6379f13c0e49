#include "medialist/itemlist.h"

#include <string>
#include <utility>

#include "album/mediapath.h"
#include "medialist/itemlistpeers.h"
#include "medialist/linelist.h"
#include "stringtable.h"

namespace aw {

void ItemList::Attach(LineList* lines, ItemListPeers* peers) {
    lines_ = lines;
    peers_ = peers;
}

const MediaItem* ItemList::at(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return &items_[static_cast<std::size_t>(index)];
}

void ItemList::SetStatusText(const std::string& text) {
    statusText = text;
    if (peers_)
        peers_->SetStatusText(text);
}

void ItemList::AppendItem(const MediaItem& item) {
    items_.push_back(item);
    if (lines_)
        lines_->AppendLine(item.fileName);
}

void ItemList::RebuildLines() {
    if (!lines_)
        return;
    lines_->RemoveAllLines();
    for (const MediaItem& item : items_)
        lines_->AppendLine(item.fileName);
}

void ItemList::MoveSelectionUp() {
    if (!lines_ || lines_->LineCount() == 0)
        return;
    const int s = lines_->SelectedLine();
    // The view and the list agree in length by invariant; the bound check guards a view out of step.
    if (s <= 0 || s >= count())
        return;
    std::swap(items_[static_cast<std::size_t>(s - 1)], items_[static_cast<std::size_t>(s)]);
    RebuildLines();
    currentIndex = s - 1;
    lines_->SelectLine(s - 1);
}

void ItemList::MoveSelectionDown() {
    if (!lines_ || lines_->LineCount() == 0)
        return;
    const int s = lines_->SelectedLine();
    if (s < 0 || s >= count() - 1)
        return;
    std::swap(items_[static_cast<std::size_t>(s)], items_[static_cast<std::size_t>(s + 1)]);
    RebuildLines();
    currentIndex = s + 1;
    lines_->SelectLine(s + 1);
}

void ItemList::DeleteSelection() {
    if (!lines_ || lines_->LineCount() == 0)
        return;
    const int s = lines_->SelectedLine();
    if (s < 0 || s >= count())
        return;
    items_.erase(items_.begin() + s);
    RebuildLines();

    if (items_.empty()) {
        if (peers_) {
            peers_->EnableCreate(false);
            peers_->ClearPreview();
        }
        SetStatusText("");
        return;
    }

    const int t = s == count() ? s - 1 : s;
    PreviewStart preview = PreviewStart::Shown;
    if (!peers_ || !peers_->IsShowThumbnailChecked()) {
        if (peers_)
            peers_->ClearPreview();
    } else {
        SetStatusText(lines_->LineText(t) + LoadText(437));
        const MediaItem& item = items_[static_cast<std::size_t>(t)];
        preview = peers_->ShowPreview(item.path, item.kind);
        if (preview == PreviewStart::Failed)
            peers_->ShowWarning(LoadText(424), LoadText(438));
    }
    currentIndex = t;
    lines_->SelectLine(t);
    // A preview still being prepared keeps its note up; the peer puts the plain text back when it ends.
    if (preview != PreviewStart::Pending)
        SetStatusText(lines_->LineText(t));
}

int ItemList::PrepareFileNames() {
    const MediaPath paths;
    for (MediaItem& item : items_)
        item.fileName = paths.DataNameOf(item.path);
    return 0;
}

int ItemList::PrepareThumbNames() {
    const MediaPath paths;
    const std::string audioName =
        MediaPath::BaseNameOf(audioPicturePath) + MediaPath::ExtensionOf(audioPicturePath);
    for (MediaItem& item : items_)
        item.thumbName = item.kind == Audio ? audioName : paths.ThumbNameOf(item.path);
    return 0;
}

int ItemList::MakeFileNamesUnique() {
    return MakeNamesUnique(&MediaItem::fileName, false);
}

int ItemList::MakeThumbNamesUnique() {
    return MakeNamesUnique(&MediaItem::thumbName, true);
}

int ItemList::MakeNamesUnique(std::string MediaItem::*name, bool exemptAudio) {
    std::vector<MediaItem> copy = items_;
    const int result = NumberClashes(copy, name, exemptAudio);
    // One pass can prefix a name into another existing one ("1a.jpg" beside two "a.jpg"), and two album
    // files with one name would overwrite each other in Data or Thumb; further passes settle that. They
    // find nothing to do in every list the first pass already made unique, so its numbering stands.
    for (std::size_t pass = 0; result > 0 && pass < copy.size(); ++pass)
        if (NumberClashes(copy, name, exemptAudio) == 0)
            break;
    items_ = std::move(copy);
    return result;
}

int ItemList::NumberClashes(std::vector<MediaItem>& items, std::string MediaItem::*name, bool exemptAudio) {
    // Every comparison is against the names as they stand at that moment, so a name an earlier prefix
    // changed no longer matches the old one.
    const std::size_t n = items.size();
    int result = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string outer = items[i].*name;
        if (exemptAudio && items[i].kind == Audio)
            continue;
        int matches = 0;
        for (std::size_t j = 0; j < n; ++j) {
            if (j == i || !EqualsIgnoringAsciiCase(items[j].*name, outer))
                continue;
            // A numbered name must still fit the file system's limit, or the run would fail on it.
            items[j].*name = MediaPath::WithinNameLimit(std::to_string(j) + items[j].*name);
            ++matches;
        }
        if (matches > 0) {
            items[i].*name = MediaPath::WithinNameLimit(std::to_string(i) + outer);
            result = matches;
        }
    }
    return result;
}

} // namespace aw
