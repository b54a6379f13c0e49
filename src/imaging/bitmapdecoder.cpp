// SPDX-License-Identifier: MIT
#include "bitmapdecoder.h"

#include <cstring>

#include "imagingerror.h"
#include "rledecoder.h"

namespace aw::imaging {
namespace {

// The bytes an uncompressed bitmap needs: every row padded except the last, which some writers cut
// short after its data.
std::size_t NeededBytes(const BitmapLayout& layout) {
    return layout.StoredRowSize() * static_cast<std::size_t>(layout.height - 1) + layout.RowDataSize();
}

void CheckHeld(const BitmapLayout& layout) {
    if (layout.pixelBytes != 0 && layout.pixelBytes < NeededBytes(layout))
        throw ImagingError("bitmap pixel data is shorter than its rows");
}

void ConvertIndexedRow(const BitmapLayout& layout, const uint8_t* in, uint8_t* out) {
    const int bits = layout.bitCount;
    const unsigned perByte = 8u / static_cast<unsigned>(bits);
    const unsigned valueMask = (1u << bits) - 1;
    for (int x = 0; x < layout.width; ++x) {
        const unsigned byte = in[static_cast<unsigned>(x) / perByte];
        const unsigned shift = 8u - static_cast<unsigned>(bits) * (static_cast<unsigned>(x) % perByte + 1);
        std::memcpy(out + 3 * x, layout.palette[(byte >> shift) & valueMask].data(), 3);
    }
}

void ConvertMaskedRow(const BitmapLayout& layout, const uint8_t* in, uint8_t* out) {
    const int bytesPerPixel = layout.bitCount / 8;
    for (int x = 0; x < layout.width; ++x) {
        const uint8_t* p = in + bytesPerPixel * x;
        const uint32_t pixel =
            bytesPerPixel == 2 ? static_cast<uint32_t>(p[0] | p[1] << 8)
                               : static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                     static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        out[3 * x] = layout.blue.Extract(pixel);
        out[3 * x + 1] = layout.green.Extract(pixel);
        out[3 * x + 2] = layout.red.Extract(pixel);
    }
}

} // namespace

BgrView BitmapDecoder::Decode(const void* description, const void* pixels, BgrImage& storage) {
    const BitmapLayout layout = BitmapLayout::Parse(description);
    if (layout.bitCount == 24 && layout.compression == BitmapLayout::Rgb) {
        CheckHeld(layout);
        return BgrView{static_cast<const uint8_t*>(pixels), layout.width, layout.height,
                       layout.StoredRowSize(), !layout.topDown};
    }
    if (layout.compression == BitmapLayout::Rgb || layout.compression == BitmapLayout::BitFields)
        CheckHeld(layout); // before the storage is sized
    storage = BgrImage::Make(layout.width, layout.height);
    DecodeInto(layout, pixels, storage.Canvas());
    return storage.View();
}

void BitmapDecoder::DecodeInto(const BitmapLayout& layout, const void* pixels, const BgrCanvas& target) {
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    if (target.width != layout.width || target.height != layout.height)
        throw ImagingError("target size differs from the bitmap's");
    if (layout.compression == BitmapLayout::Rle8 || layout.compression == BitmapLayout::Rle4) {
        target.Clear(); // pixels the runs skip are black
        RleDecoder::Decode(layout, bytes, layout.pixelBytes, target);
        return;
    }
    CheckHeld(layout);
    DecodeUncompressed(layout, bytes, target);
}

void BitmapDecoder::DecodeUncompressed(const BitmapLayout& layout, const uint8_t* pixels,
                                       const BgrCanvas& target) {
    const std::size_t stored = layout.StoredRowSize();
    for (int y = 0; y < layout.height; ++y) {
        const int storedRow = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* in = pixels + static_cast<std::size_t>(storedRow) * stored;
        uint8_t* out = target.RowFromTop(y);
        if (layout.bitCount <= 8)
            ConvertIndexedRow(layout, in, out);
        else if (layout.bitCount == 24)
            std::memcpy(out, in, static_cast<std::size_t>(layout.width) * 3);
        else
            ConvertMaskedRow(layout, in, out);
        target.ClearPadding(layout.height - 1 - y);
    }
}

} // namespace aw::imaging
