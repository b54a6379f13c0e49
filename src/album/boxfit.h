// SPDX-License-Identifier: MIT
// The fitting arithmetic of thumbnails (box 160 x 120) and of the preview (box 141 x 271). Pure functions;
// thread-safe.
#pragma once

namespace aw {

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// x scaled by y / z, computed in double precision in exactly this order: p = y / z * 100, then
// x * p * 0.01, truncated toward zero; never below 1. The order is part of the result (360, 160, 480
// gives 119, not 120), so do not simplify it. A non-positive z gives 1.
int ScaleDimension(int x, int y, int z);

// The size a width x height picture gets in a boxWidth x boxHeight box: unchanged when it fits, else the
// longer side (relative to the box) fills the box and the other is scaled with ScaleDimension.
PixelSize FitSize(int width, int height, int boxWidth, int boxHeight);

} // namespace aw
