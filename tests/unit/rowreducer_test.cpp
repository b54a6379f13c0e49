// SPDX-License-Identifier: MIT
#include "rowreducer.h"

#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace aw::imaging {
namespace {

// 5 x 3 by 2: the right column and bottom row are short edge blocks averaged over what they hold; red is
// weighted by alpha, a transparent block stays transparent black; a fourth row is ignored.
TEST(RowReducer, EdgeBlocksAverageOnlyWhatTheyHold) {
    std::vector<std::vector<uint8_t>> rows(4, std::vector<uint8_t>(5 * 4, 255));
    const std::tuple<int, int, uint8_t, uint8_t> pixels[] = {
        {0, 0, 0, 255}, {2, 0, 100, 85}, {4, 0, 40, 255}, {4, 1, 80, 255}, {4, 2, 0, 0}, {1, 2, 55, 255}};
    for (const auto& [x, y, red, alpha] : pixels)
        rows[y][4 * x] = red, rows[y][4 * x + 3] = alpha;
    RowReducer reducer(5, 3, 2);
    for (const auto& row : rows)
        reducer.Add(row.data());
    const RgbRows out = reducer.Take();
    ASSERT_EQ(std::pair(out.width, out.height), std::pair(3, 2));
    const std::tuple<int, int, int, int> expected[] = {
        {0, 0, 191, 255}, {1, 0, 240, 213}, {2, 0, 60, 255}, {0, 1, 155, 255}, {2, 1, 0, 0}};
    for (const auto& [x, y, red, alpha] : expected)
        EXPECT_EQ(std::pair(int{out.Row(y)[4 * x]}, int{out.Row(y)[4 * x + 3]}), std::pair(red, alpha))
            << x << "," << y;
}

} // namespace
} // namespace aw::imaging
