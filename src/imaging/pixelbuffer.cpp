// SPDX-License-Identifier: MIT
#include "pixelbuffer.h"

#include <cstring>
#include <string>

#include "imagingabi.h"
#include "imagingerror.h"

namespace aw::imaging {

MallocBuffer AllocateZeroed(std::size_t size) {
    MallocBuffer block(static_cast<uint8_t*>(std::calloc(size == 0 ? 1 : size, 1)));
    if (!block)
        throw ImagingError("out of memory for " + std::to_string(size) + " bytes");
    return block;
}

namespace {

bool WithinLimits(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= AW_MAX_DIMENSION && height <= AW_MAX_DIMENSION &&
           width * height <= AW_MAX_PIXELS;
}

} // namespace

uint64_t PictureNeeds(int64_t width, int64_t height, uint64_t bytesPerPixel) {
    return WithinLimits(width, height) ? static_cast<uint64_t>(width * height) * bytesPerPixel : 0;
}

void CheckDimensions(int64_t width, int64_t height) {
    if (!WithinLimits(width, height))
        throw ImagingError("picture size " + std::to_string(width) + "x" + std::to_string(height) +
                               " is out of range",
                           Failure::TooLarge);
}

std::size_t BufferSize24(int width, int height) {
    // Within the dimension limits this stays far below SIZE_MAX on 64-bit systems.
    CheckDimensions(width, height);
    return AwRowSize24(static_cast<std::size_t>(width)) * static_cast<std::size_t>(height);
}

BgrImage BgrImage::Make(int width, int height) {
    BgrImage image;
    image.pixels = AllocateZeroed(BufferSize24(width, height));
    image.width = width;
    image.height = height;
    return image;
}

void BgrCanvas::Clear() const {
    std::memset(data, 0, BufferSize24(width, height));
}

void BgrCanvas::ClearPadding(int y) const {
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    std::memset(RowFromBottom(y) + used, 0, RowSize() - used);
}

void WriteDescription24(void* description, int width, int height) {
    AwPictureDescription out{};
    out.header.biSize = sizeof(AwBitmapInfoHeader);
    out.header.biWidth = width;
    out.header.biHeight = height;
    out.header.biPlanes = 1;
    out.header.biBitCount = 24;
    out.header.biCompression = 0;
    out.header.biSizeImage = static_cast<uint32_t>(BufferSize24(width, height));
    std::memcpy(description, &out, sizeof out);
}

} // namespace aw::imaging
