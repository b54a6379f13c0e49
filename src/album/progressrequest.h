// SPDX-License-Identifier: MIT
// Everything one generation run needs from whoever starts it behind a progress display (the window's
// progress window, the command line's terminal run): handed over by reference for the start only, since
// the run takes its own copies of the items and the job before it begins.
#pragma once

#include <string>
#include <vector>

#include "album/albumchoices.h"
#include "album/albumjob.h"
#include "album/mediaitem.h"

namespace aw {

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
