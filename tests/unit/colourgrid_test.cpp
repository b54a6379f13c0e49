#include "dialogs/colourgrid.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(ColourGrid, ClicksPickTheCellLeftOfOrAboveTheGap) {
    const struct {
        int x, y, cell;
    } clicks[] = {{20, 20, 0},  {203, 134, 39}, {42, 20, 0},  {43, 20, 1},
                  {19, 50, -1}, {100, 135, -1}, {204, 20, -1}};
    for (const auto& c : clicks)
        EXPECT_EQ(ColourGrid::CellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    for (int i = 0; i < ColourGrid::kCells; ++i) {
        const GridRect r = ColourGrid::CellRect(i);
        EXPECT_TRUE(ColourGrid::CellAt(r.left, r.top) == i && ColourGrid::CellAt(r.right, r.bottom) == i)
            << i;
    }
    const GridColour odd = ColourGrid::Colour(18), outside = ColourGrid::Colour(40); // 254 is kept as it was
    EXPECT_TRUE(odd.red == 153 && odd.green == 254 && odd.blue == 0);
    EXPECT_TRUE(outside.red == 0 && outside.green == 0 && outside.blue == 0);
}

} // namespace
} // namespace aw
