// SPDX-License-Identifier: MIT
#include "album/bitmapfile.h"

#include <algorithm>
#include <cstring>

namespace aw {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kMinPixelOffset = 54;
constexpr uint32_t kMaxPixelOffset = 1078; // a 40-byte header with a full 256-colour table
constexpr uint32_t kMinInfoSize = 40;
constexpr uint32_t kMaskBytes = 12; // bit-field masks after a 40-byte header
constexpr uint32_t kMaxColours = 256;

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsAllowedBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The information headers that writers of this format use: 40 bytes, 52 and 56 (with masks inside), 108
// and 124 (the newest two).
bool IsKnownInfoSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The largest pixel offset a header may give: 1078 as ever, or more where one of the known headers,
// bit-field masks and the colour table it declares really take the room. Gaps are not allowed beyond
// that, and a header of another size (an OS/2 one, say) gains nothing.
uint32_t PixelOffsetLimit(const AwBitmapInfoHeader& info) {
    if (!IsKnownInfoSize(info.biSize))
        return kMaxPixelOffset;
    uint32_t colours = info.biClrUsed < kMaxColours ? info.biClrUsed : kMaxColours;
    if (info.biBitCount <= 8 && (colours == 0 || colours > (1u << info.biBitCount)))
        colours = 1u << info.biBitCount;
    const uint32_t masks = info.biSize == kMinInfoSize && info.biCompression == 3 ? kMaskBytes : 0;
    return std::max<uint32_t>(kMaxPixelOffset,
                              static_cast<uint32_t>(kFileHeaderSize) + info.biSize + masks + 4 * colours);
}

// The bytes the rows of an uncompressed bitmap take, the last row unpadded as some writers leave it.
uint64_t UncompressedBytes(const AwBitmapInfoHeader& info, int64_t height) {
    const uint64_t bits = static_cast<uint64_t>(info.biWidth) * info.biBitCount;
    return (bits + 31) / 32 * 4 * static_cast<uint64_t>(height - 1) + (bits + 7) / 8;
}

} // namespace

FailureCause SplitBitmapFile(const uint8_t* bytes, std::size_t size, BitmapParts& parts) {
    parts = BitmapParts{};
    if (bytes == nullptr || size < kMinPixelOffset)
        return FailureCause::NotAPicture;
    if (bytes[0] != 'B' || bytes[1] != 'M' || Read16(bytes + 6) != 0 || Read16(bytes + 8) != 0)
        return FailureCause::NotAPicture;
    AwBitmapInfoHeader info;
    std::memcpy(&info, bytes + kFileHeaderSize, sizeof info);
    const uint32_t pixelOffset = Read32(bytes + 10);
    if (pixelOffset < kMinPixelOffset || pixelOffset > PixelOffsetLimit(info) || pixelOffset >= size)
        return FailureCause::NotAPicture; // a file that ends at or before its pixels is truncated
    if (info.biSize < kMinInfoSize || info.biSize > pixelOffset - kFileHeaderSize)
        return FailureCause::NotAPicture;
    if (info.biPlanes != 1 || !IsAllowedBitCount(info.biBitCount) || info.biCompression > 3)
        return FailureCause::NotAPicture;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN)
        return FailureCause::NotAPicture;
    const int64_t height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
    if (info.biWidth > AW_MAX_DIMENSION || height > AW_MAX_DIMENSION ||
        static_cast<int64_t>(info.biWidth) * height > AW_MAX_PIXELS)
        return FailureCause::TooLarge;

    // Modules index the colour table by pixel value, so palette bitmaps get room for every value; what
    // the file lacks reads black.
    const std::size_t storedSize = pixelOffset - kFileHeaderSize;
    const std::size_t descriptionSize = std::max<std::size_t>(storedSize, AwDescriptionRoom(&info));
    const std::size_t pixelsSize = size - pixelOffset;
    if (pixelsSize > UINT32_MAX)
        return FailureCause::TooLarge; // biSizeImage could not state it
    // Judged from the declared size and the bytes held, before anything is sized for the pixels.
    const bool runLength = info.biCompression == 1 || info.biCompression == 2;
    if (runLength ? !AwRunLengthPlausible(info.biWidth, height, pixelsSize)
                  : pixelsSize < UncompressedBytes(info, height))
        return FailureCause::NotAPicture;

    MallocBuffer description = AllocateZeroed(descriptionSize);
    MallocBuffer pixels = AllocateZeroed(pixelsSize);
    if (!description || !pixels)
        return FailureCause::TooLarge;
    std::memcpy(description.get(), bytes + kFileHeaderSize, storedSize);
    info.biSizeImage = static_cast<uint32_t>(pixelsSize);
    std::memcpy(description.get(), &info, sizeof info);
    std::memcpy(pixels.get(), bytes + pixelOffset, pixelsSize);

    parts.description = std::move(description);
    parts.descriptionSize = descriptionSize;
    parts.pixels = std::move(pixels);
    parts.pixelsSize = pixelsSize;
    return FailureCause::None;
}

} // namespace aw
