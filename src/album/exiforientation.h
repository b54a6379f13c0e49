// SPDX-License-Identifier: MIT
// The EXIF orientation of camera JPEGs, and the pixel transform that makes a picture stand as a browser
// shows it. Pure functions; thread-safe.
//
// Orientation values: 1 as stored, 2 mirrored left-right, 3 turned 180 degrees, 4 mirrored top-bottom,
// 5 transposed, 6 turned 90 degrees clockwise, 7 transversed, 8 turned 90 degrees anticlockwise (the turn
// that displays the stored picture upright).
#pragma once

#include <cstddef>
#include <cstdint>

namespace aw {

// The orientation (1..8) recorded in the first EXIF block of the JPEG bytes; 1 when there is none or it
// is malformed. Only the bytes before the first scan are looked at.
int ReadExifOrientation(const uint8_t* jpeg, std::size_t size);

// Orientations 5..8 exchange width and height.
constexpr bool OrientationSwapsAxes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Writes the width x height picture `in` (24 bits, bottom-up rows padded to 4 bytes) as displayed with
// `orientation` into `out`, which holds the padded rows of the resulting size (height x width for 5..8).
// The buffers must not overlap. Orientation 1 or an unknown value copies the picture unchanged.
void ReorientRgb24(const uint8_t* in, int width, int height, int orientation, uint8_t* out);

} // namespace aw
