// SPDX-License-Identifier: MIT
// What a bitmap description says about its pixels: size, orientation, depth, compression, colour table
// and channel masks, all checked. The description is read under the rules of imagingabi.h (biSize from 40
// to 1064, masks and colour table where that header places them, room for 2^bits colour entries). Sizes are
// checked against the pixel budget, and run-length bitmaps against their byte count, before any pixel
// buffer is sized. A value type; parsing is pure and thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace aw::imaging {

// One colour channel of a 16- or 32-bit pixel: the bits under `mask`, scaled to 0..255.
struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0; // the largest value under the mask after shifting; 0 for an empty mask

    static ChannelMask FromMask(uint32_t mask);
    uint8_t Extract(uint32_t pixel) const {
        if (maximum == 0)
            return 0;
        const uint64_t value = (pixel & mask) >> shift;
        return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum);
    }
};

struct BitmapLayout {
    enum Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

    int width = 0;
    int height = 0; // always positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = Rgb;
    uint32_t pixelBytes = 0; // biSizeImage: the caller's pixel byte count, 0 when not stated
    // Blue, green, red for every possible index; entries the description does not hold are black.
    std::array<std::array<uint8_t, 3>, 256> palette{};
    ChannelMask red, green, blue;

    // Throws ImagingError for anything outside the accepted set.
    static BitmapLayout Parse(const void* description);

    // Bytes of one stored row of an uncompressed bitmap, padded to 4.
    std::size_t StoredRowSize() const;
    // Bytes of one row without its padding.
    std::size_t RowDataSize() const;
};

} // namespace aw::imaging
