// SPDX-License-Identifier: MIT
// The colour picker's fixed table of 40 colours and where its cells lie: 8 cells to a row, 5 rows, each cell
// 22 x 22 pixels with a 1-pixel gap, the first at (20, 20) of the picker's client area. Plain arithmetic,
// no state; thread-safe.
#pragma once

#include <cstdint>

namespace aw {

struct GridColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A rectangle in client pixels; right and bottom lie just outside it.
struct GridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class ColourGrid {
public:
    static constexpr int kCells = 40;
    static constexpr int kColumns = 8;
    static constexpr int kFirstCellId = 1037; // control id of cell 0; cell i is 1037 + i

    // Table entry `cell` (0..39); black for an index outside the table.
    static GridColour Colour(int cell);

    // Where cell `cell` (0..39) is placed: (20 + 23c, 20 + 23r, 42 + 23c, 42 + 23r).
    static GridRect CellRect(int cell);

    // The cell that a click at (x, y) picks, or -1 outside 20 <= x <= 203, 20 <= y <= 134. A click on the
    // gap to the right of a cell or below it counts for that cell.
    static int CellAt(int x, int y);
};

} // namespace aw
