// SPDX-License-Identifier: MIT
#include "album/boxfit.h"

namespace aw {

int ScaleDimension(int x, int y, int z) {
    if (z <= 0)
        return 1;
    const double percent = static_cast<double>(y) / static_cast<double>(z) * 100.0;
    const double scaled = static_cast<double>(x) * percent * 0.01;
    if (!(scaled >= 1.0)) // also NaN
        return 1;
    if (scaled >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(scaled);
}

PixelSize FitSize(int width, int height, int boxWidth, int boxHeight) {
    if (width <= boxWidth && height <= boxHeight)
        return {width, height};
    PixelSize size;
    if (width >= height) {
        size = {boxWidth, ScaleDimension(height, boxWidth, width)};
        if (size.height > boxHeight)
            size = {ScaleDimension(width, boxHeight, height), boxHeight};
    } else {
        size = {ScaleDimension(width, boxHeight, height), boxHeight};
        if (size.width > boxWidth)
            size = {boxWidth, ScaleDimension(height, boxWidth, width)};
    }
    return size;
}

} // namespace aw
