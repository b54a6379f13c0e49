// SPDX-License-Identifier: MIT
#include "areascaler.h"

#include <vector>

#include <gtest/gtest.h>

namespace aw::imaging {
namespace {

// A row of greys: shrinking averages what each pixel covers (partly covered ones by their share),
// enlarging interpolates, the same size copies.
TEST(AreaScaler, AveragesCoveredAreasAndInterpolatesWhenEnlarging) {
    const std::pair<std::vector<uint8_t>, std::vector<int>> cases[] = {{{0, 90, 180}, {30, 150}},
                                                                       {{0, 90, 180, 30}, {75}},
                                                                       {{10, 20, 30}, {10, 20, 30}},
                                                                       {{0, 200}, {0, 50, 150, 200}}};
    for (const auto& [from, to] : cases) {
        std::vector<uint8_t> source(AwRowSize24(from.size())), target(AwRowSize24(to.size()));
        for (std::size_t x = 0; x < from.size(); ++x)
            source[3 * x] = source[3 * x + 1] = source[3 * x + 2] = from[x];
        AreaScaler::Scale(BgrView{source.data(), static_cast<int>(from.size()), 1, source.size(), true},
                          static_cast<int>(to.size()), 1, target.data());
        for (std::size_t x = 0; x < to.size(); ++x)
            EXPECT_EQ(target[3 * x], to[x]) << from.size() << " to " << to.size() << " at " << x;
    }
}

} // namespace
} // namespace aw::imaging
