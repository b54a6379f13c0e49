#include "album/bitmapfile.h"

#include <algorithm>
#include <cstring>

namespace aw {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kMinPixelOffset = 54;
constexpr uint32_t kMaxPixelOffset = 1078;
constexpr uint32_t kMinInfoSize = 40;

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

} // namespace

FailureCause SplitBitmapFile(const uint8_t* bytes, std::size_t size, BitmapParts& parts) {
    parts = BitmapParts{};
    if (bytes == nullptr || size < kMinPixelOffset)
        return FailureCause::NotAPicture;
    if (bytes[0] != 'B' || bytes[1] != 'M' || Read16(bytes + 6) != 0 || Read16(bytes + 8) != 0)
        return FailureCause::NotAPicture;
    const uint32_t pixelOffset = Read32(bytes + 10);
    if (pixelOffset < kMinPixelOffset || pixelOffset > kMaxPixelOffset || pixelOffset >= size)
        return FailureCause::NotAPicture; // a file that ends at or before its pixels is truncated

    AwBitmapInfoHeader info;
    std::memcpy(&info, bytes + kFileHeaderSize, sizeof info);
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
