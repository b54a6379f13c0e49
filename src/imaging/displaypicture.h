// SPDX-License-Identifier: MIT
// The copy of a PNG, GIF or WebP picture that a page shows (see DllMakeDisplayPicture in imagingabi.h):
// the file's own picture data without its metadata when it fits the largest side, else the picture shrunk
// and encoded anew in its format. Sizes are judged from the headers before anything is decoded. Stateless
// and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpegencoder.h"

namespace aw::imaging {

struct DisplayCopy {
    EncodedJpeg file; // malloc'd bytes in the source's format
    int width = 0;    // its size as shown
    int height = 0;
};

class DisplayPicture {
public:
    // Throws ImagingError for anything but a whole PNG, GIF or WebP within the limits, and for maxSide or
    // quality out of range.
    static DisplayCopy Make(const uint8_t* bytes, std::size_t count, int maxSide, int quality);
};

} // namespace aw::imaging
