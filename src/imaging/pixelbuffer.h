// SPDX-License-Identifier: MIT
// Pixel buffers in the modules' exchange format: 24 bits per pixel (blue, green, red), rows padded to a
// multiple of 4 bytes, bottom-up. Buffers are malloc'd because the callers release them with free().
// Size arithmetic is checked here once, so that no caller multiplies untrusted numbers itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "imagingabi.h"

namespace aw::imaging {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using MallocBuffer = std::unique_ptr<uint8_t[], FreeDeleter>;

// A zero-filled block of `size` bytes (at least one); throws ImagingError when memory cannot be had.
MallocBuffer AllocateZeroed(std::size_t size);

// Throws ImagingError unless 1 <= width, height <= AW_MAX_DIMENSION and width * height <= AW_MAX_PIXELS.
void CheckDimensions(int64_t width, int64_t height);
// What a decoder holds at once for a picture declared `width` x `height`, at `bytesPerPixel`: 0 for a size
// CheckDimensions refuses (nothing is sized for it).
uint64_t PictureNeeds(int64_t width, int64_t height, uint64_t bytesPerPixel);

// The whole buffer size of a 24-bit picture of checked dimensions (rows of AwRowSize24 bytes).
std::size_t BufferSize24(int width, int height);

// Read-only rows of 24-bit pixels; `rowSize` bytes apart, stored bottom-up or top-down.
struct BgrView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t rowSize = 0;
    bool bottomUp = true;

    // Row `y` as seen on screen, 0 being the top row.
    const uint8_t* RowFromTop(int y) const {
        const int stored = bottomUp ? height - 1 - y : y;
        return data + static_cast<std::size_t>(stored) * rowSize;
    }
};

// Writable rows of a 24-bit picture in the exchange format (bottom-up, padded), held by someone else: the
// caller's buffer of an entry point, or a BgrImage. Copies refer to the same rows.
struct BgrCanvas {
    uint8_t* data = nullptr;
    int width = 0;
    int height = 0;

    std::size_t RowSize() const { return AwRowSize24(static_cast<std::size_t>(width)); }
    // Row `y` as stored, 0 being the bottom row.
    uint8_t* RowFromBottom(int y) const { return data + static_cast<std::size_t>(y) * RowSize(); }
    uint8_t* RowFromTop(int y) const { return RowFromBottom(height - 1 - y); }
    // Zero-fills every row, padding included.
    void Clear() const;
    // Zero-fills the padding after the pixels of row `y` (from the bottom).
    void ClearPadding(int y) const;
    BgrView View() const { return BgrView{data, width, height, RowSize(), true}; }
};

// An owned picture in the exchange format.
struct BgrImage {
    int width = 0;
    int height = 0;
    MallocBuffer pixels;

    // Allocates zero-filled rows for checked dimensions.
    static BgrImage Make(int width, int height);
    std::size_t RowSize() const { return AwRowSize24(static_cast<std::size_t>(width)); }
    uint8_t* RowFromTop(int y) { return pixels.get() + static_cast<std::size_t>(height - 1 - y) * RowSize(); }
    BgrView View() const { return BgrView{pixels.get(), width, height, RowSize(), true}; }
    BgrCanvas Canvas() { return BgrCanvas{pixels.get(), width, height}; }
};

// Writes the 44-byte description of a 24-bit bottom-up picture (biSizeImage = its buffer size).
void WriteDescription24(void* description, int width, int height);

} // namespace aw::imaging
