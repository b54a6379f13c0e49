// SPDX-License-Identifier: MIT
// Turns a bitmap as stored in a .bmp file (description and pixels, see imagingabi.h) into 24-bit rows.
// Never reads past the caller's pixel byte count; malformed input throws ImagingError. Stateless and
// thread-safe.
#pragma once

#include "bitmaplayout.h"
#include "pixelbuffer.h"

namespace aw::imaging {

class BitmapDecoder {
public:
    // The picture as 24-bit rows. An uncompressed 24-bit bitmap needs no conversion: the view then
    // refers to the caller's `pixels`; everything else is decoded into `storage`, which the view refers
    // to. Either way the view lives as long as both.
    static BgrView Decode(const void* description, const void* pixels, BgrImage& storage);

    // Decodes a parsed bitmap into `target` of the same size (the caller's buffer, or storage), writing
    // every byte of it, row padding included.
    static void DecodeInto(const BitmapLayout& layout, const void* pixels, const BgrCanvas& target);

private:
    static void DecodeUncompressed(const BitmapLayout& layout, const uint8_t* pixels,
                                   const BgrCanvas& target);
};

} // namespace aw::imaging
