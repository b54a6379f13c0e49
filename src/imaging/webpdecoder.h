// SPDX-License-Identifier: MIT
// Decodes WebP files (lossy or lossless, with or without alpha, still or animated: the first frame on its
// canvas) through libwebp's demuxer and animation decoder, with the ICC profile the file carries. The
// canvas size is checked against the pixel budget before the decoder sizes anything. Stateless and
// thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rgbrows.h"

namespace aw::imaging {

class WebpDecoder {
public:
    static bool Recognises(const uint8_t* bytes, std::size_t count);
    // Throws ImagingError for damaged data and sizes beyond the limits.
    static RgbRows Decode(const uint8_t* bytes, std::size_t count);
    // What Decode holds at once, from the canvas the first `count` bytes declare.
    static uint64_t Needs(const uint8_t* bytes, std::size_t count);
};

} // namespace aw::imaging
