// SPDX-License-Identifier: MIT
// Decodes PNG files (any bit depth, grey, palette, with or without alpha or a transparent colour,
// interlaced or not) through libspng into 8-bit RGBA rows, with the ICC profile the file carries.
// Declared dimensions are checked against the pixel budget before any picture buffer is sized; chunk
// sizes are capped. Stateless and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rgbrows.h"

namespace aw::imaging {

class PngDecoder {
public:
    static bool Recognises(const uint8_t* bytes, std::size_t count);
    // Throws ImagingError for damaged data (a bad checksum included) and for sizes beyond the limits.
    static RgbRows Decode(const uint8_t* bytes, std::size_t count);
};

} // namespace aw::imaging
