// SPDX-License-Identifier: MIT
// One album entry. A value: the list operations copy all five fields together.
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
};

} // namespace aw
