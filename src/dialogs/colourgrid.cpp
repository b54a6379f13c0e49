// SPDX-License-Identifier: MIT
#include "dialogs/colourgrid.h"

namespace aw {
namespace {

constexpr int kOrigin = 20; // first cell's top left, both axes
constexpr int kPitch = 23;  // cell size 22 plus the gap
constexpr int kCellSize = 22;
constexpr int kLastX = 203; // clicks beyond these count for no cell
constexpr int kLastY = 134;

// Row-major: the first row holds entries 0..7. Entry 18 has green 254, as the palette always had.
constexpr GridColour kTable[ColourGrid::kCells] = {
    {0, 0, 0},       {153, 51, 0},    {51, 51, 0},     {0, 51, 0},      {0, 51, 51},     {0, 0, 51},
    {0, 0, 153},     {41, 41, 41},    {128, 0, 0},     {255, 102, 0},   {102, 102, 0},   {0, 128, 0},
    {0, 102, 102},   {0, 0, 204},     {153, 153, 204}, {119, 119, 119}, {255, 0, 0},     {255, 153, 51},
    {153, 254, 0},   {51, 153, 102},  {0, 204, 204},   {51, 102, 255},  {102, 0, 102},   {153, 153, 153},
    {255, 0, 255},   {255, 204, 0},   {255, 255, 0},   {0, 255, 0},     {102, 255, 255}, {0, 204, 255},
    {153, 51, 153},  {192, 192, 192}, {255, 153, 204}, {255, 204, 153}, {255, 255, 153}, {204, 255, 204},
    {204, 255, 255}, {153, 204, 255}, {204, 153, 255}, {255, 255, 255},
};

} // namespace

GridColour ColourGrid::Colour(int cell) {
    if (cell < 0 || cell >= kCells)
        return {};
    return kTable[cell];
}

GridRect ColourGrid::CellRect(int cell) {
    const int left = kOrigin + kPitch * (cell % kColumns);
    const int top = kOrigin + kPitch * (cell / kColumns);
    return {left, top, left + kCellSize, top + kCellSize};
}

int ColourGrid::CellAt(int x, int y) {
    if (x < kOrigin || x > kLastX || y < kOrigin || y > kLastY)
        return -1;
    return (y - kOrigin) / kPitch * kColumns + (x - kOrigin) / kPitch;
}

} // namespace aw
