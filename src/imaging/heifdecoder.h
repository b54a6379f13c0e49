// SPDX-License-Identifier: MIT
// Decodes the primary picture of a HEIF file (HEIC from phones, and other HEIF codings libheif has)
// through libheif, turned and mirrored as the file declares, with its ICC profile. With a requested size,
// a thumbnail stored in the file that shows the same frame and is at least that large stands in for
// the picture. Declared sizes are checked against the pixel budget before decoding. Stateless and
// thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rgbrows.h"

namespace aw::imaging {

class HeifDecoder {
public:
    static bool Recognises(const uint8_t* bytes, std::size_t count);
    // Throws ImagingError for damaged data, codings without a decoder, and sizes beyond the limits.
    // minWidth, minHeight: 0 for the picture itself.
    static StillRows Decode(const uint8_t* bytes, std::size_t count, int minWidth, int minHeight);
    // What Decode holds at once with the same minimum (at most what the picture itself needs: a thumbnail
    // that fails gives way to it), for a file of `fileSize` bytes whose first `count` bytes are given (they
    // must hold its boxes but for the coded data).
    static uint64_t Needs(const uint8_t* bytes, std::size_t count, uint64_t fileSize, int minWidth,
                          int minHeight);
};

} // namespace aw::imaging
