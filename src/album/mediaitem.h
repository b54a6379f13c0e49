// SPDX-License-Identifier: MIT
// One album entry. A value: the list operations copy all its fields together.
#pragma once

#include <string>
#include <utility>

#include "album/mediakind.h"

namespace aw {

struct MediaItem {
    MediaItem() = default;
    MediaItem(std::string path_, std::string folder_, std::string fileName_, std::string thumbName_,
              int kind_, std::string playableName_ = {})
        : path(std::move(path_)), folder(std::move(folder_)), fileName(std::move(fileName_)),
          thumbName(std::move(thumbName_)), kind(kind_), playableName(std::move(playableName_)) {}

    std::string path;       // full path of the source file, as received; never changed
    std::string folder;     // FolderOf(path), separator kept
    std::string fileName;   // line text at intake; the name in Data after name preparation
    std::string thumbName;  // empty at intake; the name in Thumb after name preparation
    int kind = Unsupported; // a MediaKind; Unsupported is never stored in a list
    // Empty unless the page plays movies and sounds: then, for each of those, the name reserved in Data for
    // a copy browsers play (made only when the original does not play), unique among all Data names.
    std::string playableName;
};

} // namespace aw
