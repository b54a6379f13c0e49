// SPDX-License-Identifier: MIT
#include "bitmaplayout.h"

#include <bit>
#include <cstring>
#include <string>

#include "imagingabi.h"
#include "imagingerror.h"
#include "pixelbuffer.h"

namespace aw::imaging {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 1064;
constexpr uint32_t kHeaderWithMasksSize = 52; // the masks sit at 40 inside headers at least this large

uint32_t Read32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof value); // the exchange format is little-endian, as is this platform
    return value;
}

bool CompressionFitsDepth(uint32_t compression, int bits) {
    switch (compression) {
    case BitmapLayout::Rgb:
        return true;
    case BitmapLayout::Rle8:
        return bits == 8;
    case BitmapLayout::Rle4:
        return bits == 4;
    case BitmapLayout::BitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

} // namespace

ChannelMask ChannelMask::FromMask(uint32_t mask) {
    ChannelMask channel;
    channel.mask = mask;
    if (mask != 0) {
        channel.shift = std::countr_zero(mask);
        channel.maximum = mask >> channel.shift;
    }
    return channel;
}

BitmapLayout BitmapLayout::Parse(const void* description) {
    const auto* bytes = static_cast<const uint8_t*>(description);
    AwBitmapInfoHeader header;
    std::memcpy(&header, bytes, sizeof header);

    if (header.biSize < kInfoHeaderSize || header.biSize > kLargestHeaderSize)
        throw ImagingError("unsupported bitmap header size " + std::to_string(header.biSize));
    if (header.biPlanes != 1)
        throw ImagingError("bitmap with " + std::to_string(header.biPlanes) + " planes");
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw ImagingError("unsupported bit count " + std::to_string(bits));
    if (!CompressionFitsDepth(header.biCompression, bits))
        throw ImagingError("compression " + std::to_string(header.biCompression) + " with " +
                           std::to_string(bits) + " bits per pixel");
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN)
        throw ImagingError("bad bitmap dimensions");

    BitmapLayout layout;
    layout.width = header.biWidth;
    layout.topDown = header.biHeight < 0;
    layout.height = layout.topDown ? -header.biHeight : header.biHeight;
    CheckDimensions(layout.width, layout.height);
    if (layout.topDown && (header.biCompression == Rle8 || header.biCompression == Rle4))
        throw ImagingError("run-length bitmaps cannot be top-down");
    layout.bitCount = bits;
    layout.compression = header.biCompression;
    layout.pixelBytes = header.biSizeImage;
    if (header.biCompression == Rle8 || header.biCompression == Rle4) {
        if (layout.pixelBytes == 0)
            throw ImagingError("run-length bitmap without a stated pixel byte count");
        if (!AwRunLengthPlausible(layout.width, layout.height, layout.pixelBytes))
            throw ImagingError("run-length bitmap of " + std::to_string(layout.width) + "x" +
                               std::to_string(layout.height) + " in only " +
                               std::to_string(layout.pixelBytes) + " bytes");
    }

    if (bits <= 8) {
        const uint32_t possible = 1u << bits;
        const uint32_t used =
            header.biClrUsed == 0 || header.biClrUsed > possible ? possible : header.biClrUsed;
        const uint8_t* table = bytes + header.biSize;
        for (uint32_t i = 0; i < used; ++i)
            std::memcpy(layout.palette[i].data(), table + 4 * i, 3);
    } else if (header.biCompression == BitFields) {
        const uint8_t* masks = nullptr;
        if (header.biSize == kInfoHeaderSize || header.biSize >= kHeaderWithMasksSize)
            masks = bytes + kInfoHeaderSize;
        else
            throw ImagingError("bit fields without room for their masks");
        layout.red = ChannelMask::FromMask(Read32(masks));
        layout.green = ChannelMask::FromMask(Read32(masks + 4));
        layout.blue = ChannelMask::FromMask(Read32(masks + 8));
    } else if (bits == 16) {
        layout.red = ChannelMask::FromMask(0x7C00);
        layout.green = ChannelMask::FromMask(0x03E0);
        layout.blue = ChannelMask::FromMask(0x001F);
    } else if (bits == 32) {
        layout.red = ChannelMask::FromMask(0xFF0000);
        layout.green = ChannelMask::FromMask(0x00FF00);
        layout.blue = ChannelMask::FromMask(0x0000FF);
    }
    return layout;
}

std::size_t BitmapLayout::StoredRowSize() const {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

std::size_t BitmapLayout::RowDataSize() const {
    return (static_cast<std::size_t>(width) * bitCount + 7) / 8;
}

} // namespace aw::imaging
