// SPDX-License-Identifier: MIT
#include "areascaler.h"

#include <vector>

#include <gtest/gtest.h>

namespace aw::imaging {
namespace {

// One row of grey levels scaled along its width: shrinking averages the area each target pixel covers,
// partly covered pixels by their share; enlarging interpolates between neighbours; the same size copies.
TEST(AreaScaler, AveragesCoveredAreasAndInterpolatesWhenEnlarging) {
    const struct {
        std::vector<uint8_t> from;
        std::vector<int> to;
    } cases[] = {
        {{0, 90, 180}, {30, 150}},     // each covers 1.5 pixels
        {{0, 90, 180, 30}, {75}},      // down to one: the mean
        {{10, 20, 30}, {10, 20, 30}},  // unchanged
        {{0, 200}, {0, 50, 150, 200}}, // enlarged: edges kept, linear between
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> source(AwRowSize24(c.from.size()));
        for (std::size_t x = 0; x < c.from.size(); ++x)
            source[3 * x] = source[3 * x + 1] = source[3 * x + 2] = c.from[x];
        const int width = static_cast<int>(c.to.size());
        std::vector<uint8_t> target(AwRowSize24(static_cast<std::size_t>(width)));
        AreaScaler::Scale(BgrView{source.data(), static_cast<int>(c.from.size()), 1, source.size(), true},
                          width, 1, target.data());
        std::vector<int> got;
        for (int x = 0; x < width; ++x)
            got.push_back(target[3 * static_cast<std::size_t>(x)]);
        EXPECT_EQ(got, c.to) << c.from.size() << " to " << width;
    }
}

} // namespace
} // namespace aw::imaging
