// SPDX-License-Identifier: MIT
#include "rowreducer.h"

#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace aw::imaging {
namespace {

// Blocks at the right and bottom edges hold fewer pixels and are averaged over those alone; colours are
// weighted by alpha, a wholly transparent block stays transparent black. Rows past the height are ignored.
TEST(RowReducer, EdgeBlocksAverageOnlyWhatTheyHold) {
    // 5 x 3 by 2: a 3 x 2 result. Column 4 and row 2 form the short edge blocks.
    std::vector<std::vector<uint8_t>> rows(4, std::vector<uint8_t>(5 * 4));
    const auto set = [&](int x, int y, uint8_t r, uint8_t a) {
        uint8_t* p = &rows[y][4 * x];
        p[0] = r, p[1] = 10, p[2] = 20, p[3] = a;
    };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            set(x, y, 200, 255);
    set(0, 0, 0, 255);  // block (0,0): reds 0, 200, 200, 200
    set(2, 0, 100, 85); // block (1,0): one faint pixel pulls the red a little
    set(4, 0, 40, 255); // edge column: two pixels only
    set(4, 1, 80, 255);
    set(4, 2, 0, 0);     // the corner block: one transparent pixel
    set(0, 3, 255, 255); // a fourth row: ignored
    RowReducer reducer(5, 3, 2);
    for (const auto& row : rows)
        reducer.Add(row.data());
    const RgbRows out = reducer.Take();
    ASSERT_EQ(std::pair(out.width, out.height), std::pair(3, 2));
    const std::tuple<int, int, int, int> expected[] = {// x, y, red, alpha
                                                       {0, 0, 150, 255},
                                                       {1, 0, 190, 213},
                                                       {2, 0, 60, 255},
                                                       {0, 1, 200, 255},
                                                       {2, 1, 0, 0}};
    for (const auto& [x, y, red, alpha] : expected) {
        const uint8_t* p = out.Row(y) + 4 * x;
        EXPECT_EQ(std::pair(int{p[0]}, int{p[3]}), std::pair(red, alpha)) << x << "," << y;
    }
}

} // namespace
} // namespace aw::imaging
