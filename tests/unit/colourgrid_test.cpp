// SPDX-License-Identifier: MIT
#include "dialogs/colourgrid.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(ColourGrid, ClicksPickTheCellLeftOfOrAboveTheGap) {
    // Clicks in the gaps and around the grid are the picker's table; here every cell's own corners.
    EXPECT_EQ(ColourGrid::CellAt(204, 20), -1);
    for (int i = 0; i < ColourGrid::kCells; ++i) {
        const GridRect r = ColourGrid::CellRect(i);
        EXPECT_TRUE(ColourGrid::CellAt(r.left, r.top) == i && ColourGrid::CellAt(r.right, r.bottom) == i)
            << i;
    }
    const GridColour outside = ColourGrid::Colour(40);
    EXPECT_TRUE(outside.red == 0 && outside.green == 0 && outside.blue == 0);
}

} // namespace
} // namespace aw
