// SPDX-License-Identifier: MIT
// Encodes 24-bit rows as a complete JPEG file (4:2:0 chroma, baseline). Stateless and thread-safe.
#pragma once

#include <cstdint>

#include "pixelbuffer.h"

namespace aw::imaging {

struct EncodedJpeg {
    MallocBuffer bytes; // malloc'd, so that a caller across the module boundary can free() it
    uint32_t size = 0;
};

class JpegEncoder {
public:
    // `quality` 1..100. Throws ImagingError on failure.
    static EncodedJpeg Encode(const BgrView& picture, int quality);
};

} // namespace aw::imaging
