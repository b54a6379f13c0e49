// SPDX-License-Identifier: MIT
// The ordered list of album entries; its order is the order on the page. The session's list controller
// owns it and edits it; Create names the items in a copy of it.
//
// Thread-safety: none. The user-interface thread changes the list; the generation thread reads it through
// count()/at()/items() only while the main window is disabled behind the modal progress window.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "album/mediaitem.h"

namespace aw {

class ItemList {
public:
    ItemList() = default;
    // A list of these items: a copy made on purpose (the session's snapshot for a run), never by accident.
    explicit ItemList(std::vector<MediaItem> items) : items_(std::move(items)) {}
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    int count() const { return static_cast<int>(items_.size()); }
    const MediaItem* at(int index) const; // nullptr outside 0 .. count()-1
    const std::vector<MediaItem>& items() const { return items_; }

    // Editing: media intake appends; the controller swaps neighbours and erases. Indexes outside the list
    // change nothing.
    void AppendItem(const MediaItem& item) { items_.push_back(item); }
    // The list becomes `items` (an undo puts back a state it kept).
    void Assign(std::vector<MediaItem> items) { items_ = std::move(items); }
    void Swap(int first, int second);
    void Erase(int index);
    // Puts the list in `order` (order[k]: the index of the item that goes k-th, each index once, as the
    // sort rules give it); an order of another length or with a repeated index changes nothing (false).
    bool Reorder(const std::vector<std::size_t>& order);

    // Name preparation, run by Create in this order right before a generation run, on the copy it runs.
    int PrepareFileNames(); // fileName := DataNameOf(path); always 0
    // Prefixes clashing names (ASCII case ignored) with their positions; the number of clashes found for
    // the last item that had any, so > 0 exactly when some name changed.
    int MakeFileNamesUnique();
    int PrepareThumbNames();    // audio items share the audio picture's name; always 0
    int MakeThumbNamesUnique(); // as MakeFileNamesUnique on thumbName; audio items are exempt
    // For a page that plays movies and sounds, after the Data names are unique: reserves for every movie
    // and sound its playable name (MediaPath::PlayableNameOf), prefixed with the item's position while it
    // clashes (ASCII case ignored) with any Data name, its own included, or another playable name. Data
    // names stay as they are.
    void PreparePlayableNames();
    // For an album that publishes the originals: every item's source name (base + extension as given),
    // numbered as MakeFileNamesUnique numbers Data names, for their own folder.
    void PrepareOriginalNames();

    std::string audioPicturePath; // set by Create before PrepareThumbNames

private:
    int MakeNamesUnique(std::string MediaItem::*name, bool exemptAudio);
    static int NumberClashes(std::vector<MediaItem>& items, std::string MediaItem::*name, bool exemptAudio);

    std::vector<MediaItem> items_;
};

} // namespace aw
