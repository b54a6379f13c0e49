// SPDX-License-Identifier: MIT
// The lines of an arrangement file and the number on each. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
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

// Only a line's leading number matters; a longer line is read to its end but not kept, so that a corrupt
// arrangement file cannot make the reader hold arbitrary amounts of text.
constexpr std::size_t kMaxKeptArrangementLine = 4096;

enum class ArrangementRead { Line, End, Error };
// Reads one line from `file` into `line`: up to "\n", a closing "\r" dropped (files made on other systems
// end their lines with CR LF), at most kMaxKeptArrangementLine bytes kept.
ArrangementRead ReadArrangementLine(std::FILE* file, std::string& line);

} // namespace aw
