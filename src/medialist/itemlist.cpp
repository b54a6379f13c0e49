// SPDX-License-Identifier: MIT
#include "medialist/itemlist.h"

#include <string>
#include <utility>
#include <vector>

#include "album/mediapath.h"
#include "platform/asciicase.h"

namespace aw {

const MediaItem* ItemList::at(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return &items_[static_cast<std::size_t>(index)];
}

void ItemList::Swap(int first, int second) {
    if (at(first) && at(second))
        std::swap(items_[static_cast<std::size_t>(first)], items_[static_cast<std::size_t>(second)]);
}

void ItemList::Erase(int index) {
    if (at(index))
        items_.erase(items_.begin() + index);
}

bool ItemList::Reorder(const std::vector<std::size_t>& order) {
    if (order.size() != items_.size())
        return false;
    std::vector<char> taken(items_.size(), 0);
    std::vector<MediaItem> reordered;
    reordered.reserve(items_.size());
    for (const std::size_t index : order) {
        if (index >= items_.size() || taken[index])
            return false;
        taken[index] = 1;
        reordered.push_back(items_[index]);
    }
    items_ = std::move(reordered);
    return true;
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
        item.thumbName = item.kind == MediaKind::Audio ? audioName : paths.ThumbNameOf(item.path);
    return 0;
}

int ItemList::MakeFileNamesUnique() {
    return MakeNamesUnique(&MediaItem::fileName, false);
}

int ItemList::MakeThumbNamesUnique() {
    return MakeNamesUnique(&MediaItem::thumbName, true);
}

void ItemList::PreparePlayableNames() {
    const MediaPath paths;
    for (MediaItem& item : items_)
        item.playableName = paths.PlayableNameOf(item.fileName, item.kind);
    const auto clashes = [this](std::size_t i) {
        for (std::size_t j = 0; j < items_.size(); ++j)
            if (EqualsIgnoringAsciiCase(items_[j].fileName, items_[i].playableName) ||
                (j != i && EqualsIgnoringAsciiCase(items_[j].playableName, items_[i].playableName)))
                return true;
        return false;
    };
    // Each pass numbers every name that still clashes; a number can make a new clash ("1a.mp4" beside a
    // Data file of that name), which the next pass settles.
    for (std::size_t pass = 0; pass <= items_.size(); ++pass) {
        std::vector<std::size_t> clashing;
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].playableName.empty() && clashes(i))
                clashing.push_back(i);
        if (clashing.empty())
            return;
        for (const std::size_t i : clashing)
            items_[i].playableName = MediaPath::WithinNameLimit(std::to_string(i) + items_[i].playableName);
    }
}

void ItemList::PrepareOriginalNames() {
    for (MediaItem& item : items_)
        item.originalName =
            MediaPath::WithinNameLimit(MediaPath::BaseNameOf(item.path) + MediaPath::ExtensionOf(item.path));
    MakeNamesUnique(&MediaItem::originalName, false);
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
        if (exemptAudio && items[i].kind == MediaKind::Audio)
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
