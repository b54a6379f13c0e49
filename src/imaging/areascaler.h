// SPDX-License-Identifier: MIT
// Scales 24-bit pictures to an exact size. Shrinking averages the source area under every target pixel,
// counting partly covered source pixels by the fraction covered (a box filter), so fine patterns turn
// into their mean instead of aliasing; enlarging interpolates linearly. Stateless and thread-safe.
#pragma once

#include <cstdint>

#include "pixelbuffer.h"
#include "rgbrows.h"

namespace aw::imaging {

class AreaScaler {
public:
    // Writes a `width` x `height` picture into `target`, which holds AwRowSize24(width) * height bytes,
    // bottom-up. Dimensions are checked (ImagingError).
    static void Scale(const BgrView& source, int width, int height, uint8_t* target);
    // The same for 8-bit RGBA rows (not premultiplied): colours averaged weighted by their alpha, so that
    // transparent pixels lend no colour to their neighbours. `target` holds 4 * width * height bytes, top
    // down.
    static void ScaleRgba(const RgbRows& source, int width, int height, uint8_t* target);
};

} // namespace aw::imaging
