// SPDX-License-Identifier: MIT
// The two formats the window asks the media browser's stand-in for, shared by both ends of the hand-over:
// the selection's registered name and the size of the status record (whose name is string 325).
#pragma once

#include <cstddef>

namespace aw {

inline constexpr char kSelectionFormat[] = "Shell IDList Array";
inline constexpr std::size_t kHandOverStatusSize = 12;

} // namespace aw
