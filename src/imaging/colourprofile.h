// SPDX-License-Identifier: MIT
// Converts decoded rows from the colour space of an embedded ICC profile to sRGB (the space the
// thumbnails, the Data JPEGs and the page are shown in), so that a wide-gamut picture (Display P3 from
// a phone) keeps its colours. Profiles that are not RGB, or that the colour engine cannot read, leave the
// rows as they are: a picture is never refused for its profile. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rgbrows.h"

namespace aw::imaging {

class ColourProfile {
public:
    // In place; alpha is kept. True when the rows were converted.
    static bool ConvertToSrgb(RgbRows& rows);
    // The same for 24-bit blue-green-red rows of a picture in the exchange format.
    static bool ConvertToSrgb(const std::vector<uint8_t>& icc, BgrCanvas canvas);
};

} // namespace aw::imaging
