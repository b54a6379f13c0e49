// SPDX-License-Identifier: MIT
// Decodes the still pictures of today's formats that the image module takes besides JPEG and bitmaps:
// PNG, GIF, WebP and HEIF, recognised by their first bytes (never by a file name). Each becomes a 24-bit
// picture in the exchange format: colours converted to sRGB from an embedded ICC profile, transparency
// laid on white, the first frame of an animation, a HEIF turned as the file declares. Stateless and
// thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixelbuffer.h"

namespace aw::imaging {

struct StillDecodeRequest {
    int minWidth = 0; // with both above 0, a stored preview or a shrunk picture at least this large may serve
    int minHeight = 0;
};

struct DecodedStill {
    BgrImage image;
    int fullWidth = 0; // the picture's own size, as shown
    int fullHeight = 0;
};

class StillDecoder {
public:
    // Throws ImagingError for data of no such format, damaged data, and sizes beyond the limits.
    static DecodedStill Decode(const uint8_t* bytes, std::size_t count,
                               const StillDecodeRequest& request = {});
    // The most memory Decode holds at once for a file of `fileSize` bytes whose first `count` bytes are
    // given, with the same request (0 for a declared size beyond the limits, which Decode refuses at
    // once). Throws ImagingError when those bytes do not tell.
    static uint64_t Needs(const uint8_t* bytes, std::size_t count, uint64_t fileSize,
                          const StillDecodeRequest& request = {});
};

} // namespace aw::imaging
