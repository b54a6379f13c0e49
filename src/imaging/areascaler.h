// SPDX-License-Identifier: MIT
// Scales 24-bit pictures to an exact size. Shrinking averages the source area under every target pixel,
// counting partly covered source pixels by the fraction covered (a box filter), so fine patterns turn
// into their mean instead of aliasing; enlarging interpolates linearly. Stateless and thread-safe.
#pragma once

#include <cstdint>

#include "pixelbuffer.h"

namespace aw::imaging {

class AreaScaler {
public:
    // Writes a `width` x `height` picture into `target`, which holds AwRowSize24(width) * height bytes,
    // bottom-up. Dimensions are checked (ImagingError).
    static void Scale(const BgrView& source, int width, int height, uint8_t* target);
};

} // namespace aw::imaging
