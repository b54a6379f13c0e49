// SPDX-License-Identifier: MIT
// Decodes JPEG files (baseline or progressive; grey, YCbCr, RGB, CMYK or YCCK) into 24-bit rows, optionally
// shrunk in the codec by the smallest factor n/8 that still leaves a requested size. Declared dimensions,
// and whether the bytes can hold that many blocks, are checked before anything is sized; a scan cut short
// is refused, a missing end marker is not. Rows go straight into the returned picture, converted to sRGB
// when the file carries an RGB colour profile. Stateless and thread-safe.
#pragma once

#include <cstdint>

#include "pixelbuffer.h"

namespace aw::imaging {

struct JpegDecodeRequest {
    int minWidth = 0;  // 0: no shrinking
    int minHeight = 0; // 0: no shrinking
};

struct DecodedJpeg {
    BgrImage image;    // at the chosen scale
    int fullWidth = 0; // as stored in the file
    int fullHeight = 0;
};

class JpegDecoder {
public:
    // Throws ImagingError for data that is not a JPEG, has a scan cut short, or breaks the size limits.
    static DecodedJpeg Decode(const uint8_t* bytes, std::size_t count, const JpegDecodeRequest& request = {});

    // The scaling factor (numerator, denominator) the decoder uses for a stored size and a request.
    static void ChooseScale(int width, int height, const JpegDecodeRequest& request, int& num, int& denom);
    // A side scaled by num/denom, rounded up, as the codec scales it.
    static int Scaled(int side, int num, int denom);
};

} // namespace aw::imaging
