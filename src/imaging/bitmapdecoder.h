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

    // Like Decode, but always into `storage`, bottom-up (the exchange format).
    static void DecodeInto(const void* description, const void* pixels, BgrImage& storage);

private:
    static void DecodeUncompressed(const BitmapLayout& layout, const uint8_t* pixels, BgrImage& storage);
};

} // namespace aw::imaging
