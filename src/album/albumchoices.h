// SPDX-License-Identifier: MIT
// The choices an album was made with, as its record keeps them so that a later run or the window can make
// it again the same way. Plain value; no thread-safety needed.
#pragma once

#include <string>
#include <vector>

namespace aw {

struct AlbumChoices {
    std::string title;
    std::string fontColour = "#000000"; // "#rrggbb"
    std::string backgroundColour = "#ffffff";
    int background = 0;          // 0 the solid colour, 1..4 an installed picture
    int arrangement = 0;         // 0..3: the installed arrangements 1 to 4
    std::string arrangementFile; // the file the page was made from: the user's own or an installed one
    bool embed = false;          // movies that a browser plays play in the page
    // Options of later versions, kept so that a record names everything the album was made with.
    bool originals = false;
    bool removeLocation = false;
    std::string sort; // empty: the order given
    // The items' Data names in the album's order (the record's entries are kept by name), so that the
    // album can be reopened as it was.
    std::vector<std::string> order;

    bool operator==(const AlbumChoices&) const = default;
};

} // namespace aw
