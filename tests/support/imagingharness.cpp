#include "support/imagingharness.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace aw::test {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoEnd = kFileHeaderSize + sizeof(AwBitmapInfoHeader);
constexpr uint32_t kLargestHeader = 1064;
// Pictures above this are still handed over, but not converted (the fuzzer should stay fast).
constexpr int64_t kHarnessPixelBudget = 4 << 20;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

AwBitmapInfoHeader HeaderOf(const void* description) {
    AwBitmapInfoHeader header;
    std::memcpy(&header, description, sizeof header);
    return header;
}

std::size_t BufferSize(int width, int height) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * static_cast<std::size_t>(height);
}

} // namespace

std::optional<BitmapForModule> SplitBitmapForModule(const uint8_t* bytes, std::size_t size) {
    if (size <= kInfoEnd)
        return std::nullopt;
    uint32_t offset;
    std::memcpy(&offset, bytes + 10, sizeof offset);
    const std::size_t pixelStart = std::clamp<std::size_t>(offset, kInfoEnd, size - 1);
    AwBitmapInfoHeader header = HeaderOf(bytes + kFileHeaderSize);

    BitmapForModule bitmap;
    const std::size_t stored = pixelStart - kFileHeaderSize;
    // A header size the modules refuse is refused after its first 40 bytes: give only what is stored.
    const std::size_t room =
        header.biSize <= kLargestHeader ? AwDescriptionRoom(&header) : sizeof(AwPictureDescription);
    bitmap.description.assign(std::max(stored, room), 0);
    std::memcpy(bitmap.description.data(), bytes + kFileHeaderSize, stored);
    bitmap.pixels.assign(bytes + pixelStart, bytes + size);
    header.biSizeImage = static_cast<uint32_t>(bitmap.pixels.size());
    std::memcpy(bitmap.description.data(), &header, sizeof header);
    return bitmap;
}

int ExerciseBitmapBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    const std::optional<BitmapForModule> bitmap = SplitBitmapForModule(data, size);
    if (!bitmap)
        return 0;
    int outcome = 0;
    const AwBitmapInfoHeader header = bitmap->header();
    const int64_t width = header.biWidth;
    const int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    const bool affordable = width > 0 && height > 0 && width * height <= kHarnessPixelBudget;

    if (affordable) {
        std::vector<uint8_t> pixelsOut(BufferSize(static_cast<int>(width), static_cast<int>(height)));
        AwPictureDescription descriptionOut{};
        if (library.DllConvertTo24BitDIB(bitmap->description.data(), bitmap->pixels.data(), &descriptionOut,
                                         pixelsOut.data())) {
            Require(descriptionOut.header.biWidth == width && descriptionOut.header.biHeight == height &&
                    descriptionOut.header.biBitCount == 24);
            outcome |= Converted;
        }
        uint32_t jpegSize = 0;
        if (void* jpeg =
                library.DllEncodeJPEG(bitmap->description.data(), bitmap->pixels.data(), 80, &jpegSize)) {
            Require(jpegSize > 4 && static_cast<const uint8_t*>(jpeg)[0] == 0xFF);
            std::free(jpeg);
            outcome |= Encoded;
        }
    }
    std::vector<uint8_t> small(BufferSize(16, 12));
    AwPictureDescription smallDescription{};
    if (library.DllResizeBySizeDIB(bitmap->description.data(), bitmap->pixels.data(), 16, 12,
                                   &smallDescription, small.data())) {
        Require(smallDescription.header.biWidth == 16 && smallDescription.header.biHeight == 12);
        outcome |= Resized;
    }
    return outcome;
}

int ExerciseJpegBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    if (size > UINT32_MAX)
        return 0;
    int outcome = 0;
    AwPictureDescription description{};
    if (void* pixels = library.DllDecodeJPEG(data, static_cast<uint32_t>(size), &description)) {
        Require(description.header.biWidth > 0 && description.header.biHeight > 0 &&
                description.header.biSizeImage ==
                    BufferSize(description.header.biWidth, description.header.biHeight));
        std::free(pixels);
        outcome |= Decoded;
    }
    if (library.DllDecodeJPEGScaled) {
        AwPictureDescription scaled{};
        int fullWidth = 0, fullHeight = 0;
        if (void* pixels = library.DllDecodeJPEGScaled(data, static_cast<uint32_t>(size), 32, 32, &scaled,
                                                       &fullWidth, &fullHeight)) {
            Require(scaled.header.biWidth <= fullWidth && scaled.header.biHeight <= fullHeight);
            std::free(pixels);
            outcome |= DecodedScaled;
        }
    }
    return outcome;
}

} // namespace aw::test
