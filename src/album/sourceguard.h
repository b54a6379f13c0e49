// SPDX-License-Identifier: MIT
// Refuses a run that would write over one of its own sources. A file given for the album may lie inside
// the album's folders ("out/Thumb/th_a.jpg" given together with "a.jpg"); the run would replace it before
// or after copying it, and the user's original would be gone. Such a run is refused before anything is
// written, naming the file. Thread-safe (no shared state); reads the file system only.
#pragma once

#include <string>
#include <vector>

#include "album/albumjob.h"
#include "album/mediaitem.h"

namespace aw {

// The first path the run would write (Index.html, Data/<fileName>, Thumb/<thumbName>, Data/<playableName>,
// Data/originals/<originalName>, the background's Data copy) that is the same file (device and inode) as one
// of the items' sources, or "" when there is none. An item whose source is its own Data file is no clash: the
// run leaves that file as it is. `thumbFolder` is empty when the arrangement makes no thumbnails.
std::string FindSourceTheRunWouldWrite(const std::vector<MediaItem>& items, const AlbumJob& job,
                                       const std::string& dataFolder, const std::string& thumbFolder);

} // namespace aw
