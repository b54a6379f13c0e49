// The number on one line of an arrangement file. Pure function; thread-safe.
#pragma once

#include <string_view>

namespace aw {

// Numbers with a meaning of their own in an arrangement file.
constexpr int kArrangementSectionEnd = 20563;     // ends the head, and the item templates
constexpr int kArrangementSharedEnd = 12611;      // ends the lines shared by both columns
constexpr int kArrangementFirstColumnEnd = 12867; // ends the first-column lines
constexpr int kArrangementMarker = 18766;         // this arrangement has no thumbnails; writes nothing

// Leading white space skipped, an optional sign, then decimal digits up to the first other character;
// 0 for a line without leading digits. Values beyond the range of int are clamped to INT_MIN / INT_MAX.
int ParseArrangementNumber(std::string_view line);

} // namespace aw
