// SPDX-License-Identifier: MIT
// Drives the image module with any bytes (fuzz targets, unit tests) keeping the callers' side of imagingabi.h
// exactly: reading past what it was given shows under a sanitizer; an inconsistent success aborts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "album/imaginglibrary.h"

namespace aw::test {

// Bytes of a 24-bit picture in the exchange format (rows padded to four bytes).
inline std::size_t PixelBytes(int width, int height) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * static_cast<std::size_t>(height);
}

// A .bmp file split as the program hands it "as stored" to the module (biSizeImage = the pixel bytes held),
// but lax about the file header; nothing without a 40-byte information header and one pixel byte.
struct BitmapForModule {
    std::vector<uint8_t> description, pixels;

    const AwBitmapInfoHeader& header() const {
        return *reinterpret_cast<const AwBitmapInfoHeader*>(description.data());
    }
};
std::optional<BitmapForModule> SplitBitmapForModule(const uint8_t* bytes, std::size_t size);

// Bitmap file bytes: the 14-byte file header, an `infoSize`-byte information header (zeros past its first 40
// bytes, three zero bit-field masks after a 40-byte one with compression 3), the colour table, the pixels.
std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, uint32_t bits, uint32_t compression,
                                const std::vector<uint32_t>& colours, const std::vector<uint8_t>& pixels,
                                uint32_t infoSize = 40);

// A flat grey JPEG spending one bit per code (baseline, or progressive with one DC scan): a huge picture in a
// small file, as hostile files declare; with fewer than all `scanBytes`, cut there without its end marker.
std::vector<uint8_t> FlatGreyJpeg(int width, int height, bool progressive,
                                  std::size_t scanBytes = static_cast<std::size_t>(-1));

enum HarnessOutcome : int {
    Converted = 1,
    Encoded = 2,
    Resized = 4,
    Decoded = 8,
    DecodedScaled = 16,
    DecodedPicture = 32,
    MadeDisplayPicture = 64,
};

// Converts, encodes and scales a bitmap file's bytes, or decodes JPEG bytes at full size and (when the
// table has it) scaled; the calls that succeeded as HarnessOutcome bits.
int ExerciseBitmapBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size);
int ExerciseJpegBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size);
// Decodes PNG, GIF, WebP or HEIF bytes through the picture entry point, at full size and with a preview
// allowed, makes the page's copy of them at two sizes, and asks what a decode would hold (from all of them,
// and from a head); DecodedPicture when the full-size call succeeded, MadeDisplayPicture when a copy was
// made.
int ExercisePictureBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size);

} // namespace aw::test
