// SPDX-License-Identifier: MIT
// The turn a movie stream declares for display (its display matrix, as phones write it when held upright)
// in whole quarter turns clockwise, the way players and browsers show it. Pure functions; thread-safe.
#pragma once

#include <cstdint>

extern "C" {
struct AVStream;
}

namespace aw::imaging {

// 0 to 3 quarter turns clockwise; 0 without a display matrix, for a degenerate one, or for a turn that is
// not near a multiple of 90 degrees (no player shows those either). A mirroring matrix counts by its turn.
int QuarterTurnsOf(const AVStream* stream);
int QuarterTurnsOfMatrix(const int32_t matrix[9]);

} // namespace aw::imaging
