// SPDX-License-Identifier: MIT
// The two 24 x 24 film marks stamped on movie thumbnails: mark 162, a film strip (black frame, sprocket
// holes down both sides, light field), for every movie kind but one; mark 169, the same strip with a small
// picture symbol in the field, for MovieAsfMarked. Immutable tables; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "album/mediakind.h"

namespace aw {

class MovieMark {
public:
    static constexpr int kSize = 24;
    static constexpr std::size_t kRowSize = 3 * kSize; // 72: already a multiple of 4
    static constexpr int kMargin = 4;                  // from the right and bottom edges
    static constexpr int kFilmStrip = 162;
    static constexpr int kFilmStripMarked = 169;

    // The resource number of the mark for a movie kind.
    static int MarkFor(MediaKind kind);

    // The mark's pixels as a 24-bit picture: bottom-up rows of kRowSize bytes, blue-green-red.
    static const uint8_t* Pixels(int mark);

    // Copies the kind's mark, opaque, into a 24-bit picture of width x height (bottom-up rows padded to a
    // multiple of 4; a negative height means top-down rows) so that it covers columns W-28..W-5 and rows
    // 4..27 counted from the bottom. Parts that fall outside the picture are left out.
    static void Stamp(uint8_t* pixels, int width, int height, MediaKind kind);
};

} // namespace aw
