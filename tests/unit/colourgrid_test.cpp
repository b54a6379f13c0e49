#include "dialogs/colourgrid.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(ColourGrid, ClicksPickTheCellOrTheCellLeftOfOrAboveTheGap) {
    const struct {
        int x, y, cell;
    } cases[] = {{20, 20, 0},  {203, 134, 39}, {42, 20, 0},  {43, 20, 1},
                 {19, 50, -1}, {100, 135, -1}, {204, 20, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ColourGrid::CellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    for (int i = 0; i < ColourGrid::kCells; ++i) {
        const GridRect r = ColourGrid::CellRect(i);
        EXPECT_EQ(r.right - r.left, 22);
        EXPECT_EQ(r.bottom - r.top, 22);
        EXPECT_EQ(ColourGrid::CellAt(r.left, r.top), i);
        EXPECT_EQ(ColourGrid::CellAt(r.right, r.bottom), i);
    }
}

TEST(ColourGrid, TableKeepsItsOddEntries) {
    const struct {
        int cell, red, green, blue;
    } cases[] = {{0, 0, 0, 0},       {7, 41, 41, 41},     {18, 153, 254, 0},
                 {21, 51, 102, 255}, {39, 255, 255, 255}, {40, 0, 0, 0} /* outside */};
    for (const auto& c : cases) {
        const GridColour colour = ColourGrid::Colour(c.cell);
        EXPECT_EQ(colour.red, c.red) << c.cell;
        EXPECT_EQ(colour.green, c.green) << c.cell;
        EXPECT_EQ(colour.blue, c.blue) << c.cell;
    }
}

} // namespace
} // namespace aw
