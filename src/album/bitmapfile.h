// SPDX-License-Identifier: MIT
// Splits the bytes of a .bmp file into the description and the pixels that the imaging modules take.
// Pure; thread-safe. Every offset is checked against the bytes given.
//
// Accepted: "BM", both reserved words 0, an information header of 40 bytes or more that ends at or before
// the pixel offset, a pixel offset from 54 to 1078 (or, for the 40-, 52-, 56-, 108- and 124-byte headers,
// up to the end of the header, masks and declared colour table, so that the newer headers editors write
// are read),
// 1 plane, 1/4/8/16/24/32 bits per pixel, compression 0..3, a width and height within the modules'
// limits, and pixel bytes that can hold them: every row of an uncompressed bitmap, or enough bytes for
// a run-length one (AwRunLengthPlausible).
#pragma once

#include <cstddef>
#include <cstdint>

#include "album/picture.h"
#include "album/runfailure.h"

namespace aw {

struct BitmapParts {
    // File bytes 14 up to the pixel offset (header and colour table), extended with zero bytes so that it
    // holds 2^bits colour entries for palette bitmaps and at least 44 bytes; biSizeImage is set to
    // pixelsSize so that a module never reads past the pixels held.
    MallocBuffer description;
    std::size_t descriptionSize = 0;
    MallocBuffer pixels; // file bytes from the pixel offset to the end
    std::size_t pixelsSize = 0;
};

// FailureCause::None on success; NotAPicture for a broken rule, TooLarge beyond the size limits or
// when memory cannot be had. On failure `parts` is left empty.
FailureCause SplitBitmapFile(const uint8_t* bytes, std::size_t size, BitmapParts& parts);

} // namespace aw
