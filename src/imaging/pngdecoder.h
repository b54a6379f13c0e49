// SPDX-License-Identifier: MIT
// Decodes PNG files (any bit depth, grey, palette, with or without alpha or a transparent colour,
// interlaced or not) through libspng into 8-bit RGBA rows, with the ICC profile the file carries.
// Declared dimensions are checked against the pixel budget before any picture buffer is sized; chunk
// sizes are capped. With a requested size, a picture that is not interlaced is shrunk by a whole factor
// while its rows are decoded, never smaller than that size, so that no full-sized buffer is held.
// Stateless and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rgbrows.h"

namespace aw::imaging {

class PngDecoder {
public:
    static bool Recognises(const uint8_t* bytes, std::size_t count);
    // Throws ImagingError for damaged data (a bad checksum included) and for sizes beyond the limits.
    // minWidth, minHeight: 0 for the picture at full size.
    static StillRows Decode(const uint8_t* bytes, std::size_t count, int minWidth = 0, int minHeight = 0);
    // What Decode holds at once with the same minimum, from the header among the first `count` bytes.
    static uint64_t Needs(const uint8_t* bytes, std::size_t count, int minWidth = 0, int minHeight = 0);
};

} // namespace aw::imaging
