// SPDX-License-Identifier: MIT
// Shrinks 8-bit RGBA rows, handed over one at a time from the top, by a whole factor as they arrive:
// every block of factor x factor pixels (fewer at the right and bottom edges) becomes one pixel. Colours
// are averaged weighted by their alpha, so that laying the result on white gives the average of the block
// laid on white. Holds one row of sums, never the whole picture. Used by one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "rgbrows.h"

namespace aw::imaging {

class RowReducer {
public:
    // width and height as the rows come; factor 1 or more. Throws ImagingError when out of memory.
    RowReducer(int width, int height, int factor);

    // The next row from the top: width RGBA pixels.
    void Add(const uint8_t* rgba);
    // The shrunk picture (RGBA), complete once all height rows were added.
    RgbRows Take();

private:
    void Emit();

    int width_;
    int height_;
    int factor_;
    int rowsIn_ = 0; // rows added so far
    int rowsInBlock_ = 0;
    std::vector<uint64_t> sums_; // per shrunk column: alpha-weighted red, green, blue, then alpha
    RgbRows out_;
    std::shared_ptr<uint8_t> pixels_;
};

} // namespace aw::imaging
