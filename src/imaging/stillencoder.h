// SPDX-License-Identifier: MIT
// Encodes 8-bit RGBA rows (top-down, not premultiplied, in sRGB) as a PNG, WebP or GIF file, each through
// the library made for it: PNG with alpha only when some pixel is not opaque, marked sRGB; WebP lossy at a
// quality or lossless; GIF in at most 256 colours (255 and a transparent one when some pixel is mostly
// transparent). Nothing but the picture goes into the file. Stateless and thread-safe.
#pragma once

#include <cstdint>
#include <vector>

#include "jpegencoder.h"

namespace aw::imaging {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // 4 * width * height bytes

    bool Opaque() const;
};

class StillEncoder {
public:
    // Throw ImagingError on failure; the bytes are malloc'd like every module result.
    static EncodedJpeg EncodePng(const RgbaImage& picture);
    static EncodedJpeg EncodeWebp(const RgbaImage& picture, bool lossless, int quality);
    static EncodedJpeg EncodeGif(const RgbaImage& picture);
};

} // namespace aw::imaging
