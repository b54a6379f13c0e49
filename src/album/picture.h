// SPDX-License-Identifier: MIT
// The picture the generation thread works on: a description (bitmap information header plus colour
// entries), its pixel rows, and the JPEG bytes made from it. Each is an owned malloc'd block, released
// with free(), so that blocks returned by the imaging modules can be adopted as they are.
//
// One picture is held at a time: replacing the image releases the previous pair, and the holder releases
// everything after each item. Not thread-safe; owned by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "imaging/imagingabi.h"

namespace aw {

struct FreeDeleter {
    void operator()(void* block) const noexcept { std::free(block); }
};
using MallocBuffer = std::unique_ptr<uint8_t, FreeDeleter>;

// A zero-filled block of `size` bytes (at least 1); null when it cannot be had.
MallocBuffer AllocateZeroed(std::size_t size);
// Takes ownership of a block that a module returned with malloc.
MallocBuffer AdoptMalloced(void* block);

// Row size of a 24-bit picture, padded to 4 bytes, and the whole buffer size; false for widths or heights
// outside 1..AW_MAX_DIMENSION or above AW_MAX_PIXELS, so callers never allocate for absurd sizes.
bool Rgb24RowSize(int width, std::size_t& rowSize);
bool Rgb24BufferSize(int width, int height, std::size_t& bufferSize);

class Picture {
public:
    bool hasImage() const { return description_ != nullptr && pixels_ != nullptr; }
    bool hasEncoded() const { return encoded_ != nullptr; }

    // The information header of the description (copied out: the block need not be aligned). Only with
    // an image held. Height is the absolute value; negative heights mean top-down rows.
    AwBitmapInfoHeader header() const;
    int width() const;
    int height() const;

    const uint8_t* description() const { return description_.get(); }
    std::size_t descriptionSize() const { return descriptionSize_; }
    uint8_t* pixels() { return pixels_.get(); }
    const uint8_t* pixels() const { return pixels_.get(); }
    std::size_t pixelsSize() const { return pixelsSize_; }
    const uint8_t* encoded() const { return encoded_.get(); }
    std::size_t encodedSize() const { return encodedSize_; }

    // Releases the held pair and keeps the new one.
    void ReplaceImage(MallocBuffer description, std::size_t descriptionSize, MallocBuffer pixels,
                      std::size_t pixelsSize);
    void SetEncoded(MallocBuffer bytes, std::size_t size);

    void ReleaseImage();
    void ReleaseEncoded();
    void Release(); // all three

private:
    MallocBuffer description_;
    std::size_t descriptionSize_ = 0;
    MallocBuffer pixels_;
    std::size_t pixelsSize_ = 0;
    MallocBuffer encoded_;
    std::size_t encodedSize_ = 0;
};

} // namespace aw
