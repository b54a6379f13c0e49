// SPDX-License-Identifier: MIT
#include "album/picture.h"

#include <cstring>
#include <limits>

namespace aw {

MallocBuffer AllocateZeroed(std::size_t size) {
    return MallocBuffer(static_cast<uint8_t*>(std::calloc(size == 0 ? 1 : size, 1)));
}

MallocBuffer AdoptMalloced(void* block) {
    return MallocBuffer(static_cast<uint8_t*>(block));
}

bool Rgb24RowSize(int width, std::size_t& rowSize) {
    if (width < 1 || width > AW_MAX_DIMENSION)
        return false;
    rowSize = AwRowSize24(static_cast<std::size_t>(width));
    return true;
}

bool Rgb24BufferSize(int width, int height, std::size_t& bufferSize) {
    std::size_t row = 0;
    if (!Rgb24RowSize(width, row) || height < 1 || height > AW_MAX_DIMENSION)
        return false;
    if (static_cast<long long>(width) * height > AW_MAX_PIXELS)
        return false;
    // Both factors are bounded above, so the product cannot wrap on a 64-bit size_t; keep the check for
    // narrower ones.
    if (row > std::numeric_limits<std::size_t>::max() / static_cast<std::size_t>(height))
        return false;
    bufferSize = row * static_cast<std::size_t>(height);
    return true;
}

AwBitmapInfoHeader Picture::header() const {
    AwBitmapInfoHeader info{};
    if (description_ && descriptionSize_ >= sizeof info)
        std::memcpy(&info, description_.get(), sizeof info);
    return info;
}

int Picture::width() const {
    return header().biWidth;
}

int Picture::height() const {
    const int32_t h = header().biHeight;
    return h == std::numeric_limits<int32_t>::min() ? 0 : (h < 0 ? -h : h);
}

void Picture::ReplaceImage(MallocBuffer description, std::size_t descriptionSize, MallocBuffer pixels,
                           std::size_t pixelsSize) {
    description_ = std::move(description);
    descriptionSize_ = description_ ? descriptionSize : 0;
    pixels_ = std::move(pixels);
    pixelsSize_ = pixels_ ? pixelsSize : 0;
}

void Picture::SetEncoded(MallocBuffer bytes, std::size_t size) {
    encoded_ = std::move(bytes);
    encodedSize_ = encoded_ ? size : 0;
}

void Picture::ReleaseImage() {
    ReplaceImage(nullptr, 0, nullptr, 0);
}

void Picture::ReleaseEncoded() {
    SetEncoded(nullptr, 0);
}

void Picture::Release() {
    ReleaseImage();
    ReleaseEncoded();
}

} // namespace aw
