// SPDX-License-Identifier: MIT
// The per-file step of media intake, shared by every way files enter the album list (a drop, the media
// browser's hand-over, the start-up file, the command line): classify each path by its extension, append
// the supported ones to the ItemList in arrival order, and collect what the user should hear about once
// per intake: the names of rejected files (string 404) and of added files whose names are not web-safe
// (string 403). Windows and message boxes are the caller's business; this shows nothing.
//
// Ownership: borrows the ItemList, which must outlive the object. One MediaIntake per intake call; the
// collected names live as long as it does. Thread-safety: none; the list's own thread only.
#pragma once

#include <string>
#include <vector>

#include "album/mediapath.h"

namespace aw {

class ItemList;

class MediaIntake {
public:
    explicit MediaIntake(ItemList& items);

    // The per-file step for one path. True when the file became an item (an .asf carrying the marker
    // becomes MovieAsfMarked); false when its extension is not supported and its name was noted instead.
    // No duplicate check: the same path twice becomes two items.
    bool Take(const std::string& path);
    // Take for each path, in order; the number of items added.
    int TakeAll(const std::vector<std::string>& paths);

    int added() const { return added_; }
    const std::vector<std::string>& rejectedNames() const { return rejected_; } // name + extension
    const std::vector<std::string>& unsafeNames() const { return unsafe_; }     // added, not web-safe

    // The report texts of this intake; empty when there is nothing to report.
    std::string RejectedText() const;
    std::string UnsafeText() const;

private:
    ItemList& items_;
    const MediaPath paths_;
    int added_ = 0;
    std::vector<std::string> rejected_;
    std::vector<std::string> unsafe_;
};

// True exactly when `path` can be read and its bytes 64..69 are "Kelpra" (case-sensitive). Any file error
// gives false; the file is always closed again.
bool IsMarkedAsf(const std::string& path);

// String 404 (which ends with its own line break) followed by the names joined by ", ": at most 20 of
// them, and then on a line of its own string 460 with the number of names left out.
std::string RejectedNamesText(const std::vector<std::string>& names);

// String 403, then on a new line the names as RejectedNamesText lists them, so that the user can find the
// files.
std::string UnsafeNamesText(const std::vector<std::string>& names);

} // namespace aw
