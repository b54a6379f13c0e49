// SPDX-License-Identifier: MIT
// Decodes the first frame of a GIF (still or animated) through giflib: the frame painted onto the
// logical screen, its transparent colour and the uncovered screen left transparent. Only the first
// image is read; later frames are never decoded. Stateless and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rgbrows.h"

namespace aw::imaging {

class GifDecoder {
public:
    static bool Recognises(const uint8_t* bytes, std::size_t count);
    // Throws ImagingError for damaged or cut-short data, a frame without colours, and sizes beyond the
    // limits.
    static RgbRows Decode(const uint8_t* bytes, std::size_t count);
    // What Decode holds at once, from the screen the first `count` bytes declare.
    static uint64_t Needs(const uint8_t* bytes, std::size_t count);
};

} // namespace aw::imaging
