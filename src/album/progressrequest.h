// SPDX-License-Identifier: MIT
// Everything one generation run needs from whoever starts it behind a progress display (the window's
// progress window, the command line's terminal run): handed over by reference for the start only, since
// the run takes its own copies of the items and the job before it begins.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include "album/albumchoices.h"
#include "album/albumjob.h"
#include "album/mediaitem.h"

namespace aw {

// A run advances its progress by this many steps per item, and a display's range is ProgressSteps of the
// item count: the one place of that number.
inline constexpr int kProgressPerItem = 10;

// The steps of a run of `itemCount` items, saturated at INT_MAX (progress displays count in int).
constexpr int ProgressSteps(std::size_t itemCount) {
    return itemCount > static_cast<std::size_t>(INT_MAX / kProgressPerItem)
               ? INT_MAX
               : static_cast<int>(itemCount) * kProgressPerItem;
}

struct ProgressRequest {
    const std::vector<MediaItem>& items;
    const AlbumJob& job;
    std::string dataPath;      // the Data folder, no closing "/"
    std::string thumbPath;     // the Thumb folder, no closing "/"; empty with the arrangement marker
    int arrangementMarker = 0; // 1: no thumbnails are made
    std::string workFolder;    // temporary files go here; ends with "/"
    AlbumChoices choices;      // what the album's record keeps of how it was made
};

} // namespace aw
