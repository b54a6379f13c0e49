// Drives the image module's entry points with arbitrary bytes, for the fuzz targets (tests/fuzz) and for
// the unit tests that run the same code over the BMP Suite. The table may come from the loaded module
// or, in a fuzz target, from the module's code linked in directly.
//
// The harness keeps the callers' side of the contract in imagingabi.h exactly (description room,
// biSizeImage = the pixel bytes held, output buffers sized from the description) and nothing more, so
// that a module reading past what it was given shows up under a sanitizer. Invariants that a module
// breaks (a success with an inconsistent description) abort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "album/imaginglibrary.h"

namespace aw::test {

// A .bmp file split as the program hands a bitmap "as stored" to the image module: the description is
// the bytes from 14 to the pixel offset, extended with zeros to the room the header needs; the pixels
// are the bytes from the pixel offset on; biSizeImage states their count. Deliberately lax about the
// file header (no pixel offset rule) so that fuzzing reaches the module. Nothing when the bytes do not
// hold a file header, a 40-byte information header and at least one pixel byte.
struct BitmapForModule {
    std::vector<uint8_t> description;
    std::vector<uint8_t> pixels;

    const AwBitmapInfoHeader& header() const {
        return *reinterpret_cast<const AwBitmapInfoHeader*>(description.data());
    }
};
std::optional<BitmapForModule> SplitBitmapForModule(const uint8_t* bytes, std::size_t size);

// Which calls succeeded.
enum HarnessOutcome : int { Converted = 1, Encoded = 2, Resized = 4, Decoded = 8, DecodedScaled = 16 };

// Converts, encodes and scales a bitmap file's bytes; a bit set of HarnessOutcome.
int ExerciseBitmapBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size);

// Decodes JPEG bytes, at full size and scaled (when the table has the scaled decoder).
int ExerciseJpegBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size);

} // namespace aw::test
