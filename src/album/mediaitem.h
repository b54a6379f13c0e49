// SPDX-License-Identifier: MIT
// One album entry. A value: the list operations copy all its fields together.
#pragma once

#include <string>

#include "album/mediakind.h"

namespace aw {

struct MediaItem {
    std::string path;                        // full path of the source file, as received; never changed
    std::string folder;                      // FolderOf(path), separator kept
    std::string fileName;                    // line text at intake; the name in Data after name preparation
    std::string thumbName;                   // empty at intake; the name in Thumb after name preparation
    MediaKind kind = MediaKind::Unsupported; // never Unsupported in a list
    // Empty unless the page plays movies and sounds: then, for each of those, the name reserved in Data for
    // a copy browsers play (made only when the original does not play), unique among all Data names.
    std::string playableName = {};
    // Empty unless the album publishes the originals (the Gallery with them asked for): then the source's
    // own name, unique among the originals, for its byte copy in Data/originals.
    std::string originalName = {};
};

} // namespace aw
