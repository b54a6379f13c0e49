// SPDX-License-Identifier: MIT
#include "album/boxfit.h"

#include <tuple>

#include <gtest/gtest.h>

namespace aw {
namespace {

// The percentage step loses the last unit (119); never below 1, also for a zero side.
TEST(FitSize, ThumbnailAndPreviewBoxesInTheFixedOrder) {
    EXPECT_EQ(ScaleDimension(0, 160, 480) + ScaleDimension(5, 160, 0), 2);
    const std::tuple<int, int, int, int, PixelSize> cases[] = {
        {480, 360, 160, 120, {160, 119}}, {100, 80, 160, 120, {100, 80}},   {10, 500, 160, 120, {2, 120}},
        {161, 1, 160, 120, {160, 1}},     {200, 150, 141, 271, {141, 105}}, {500, 500, 160, 120, {120, 120}}};
    for (const auto& [width, height, boxWidth, boxHeight, fitted] : cases)
        EXPECT_EQ(FitSize(width, height, boxWidth, boxHeight), fitted) << width << " x " << height;
}

} // namespace
} // namespace aw
