// SPDX-License-Identifier: MIT
// Decoded rows of a still picture before they become the modules' exchange format: 8-bit red, green,
// blue (and alpha) samples, top-down, each row `stride` bytes apart, plus the picture's ICC colour
// profile when it carries one. The rows live as long as `owner`, which holds whatever library object or
// buffer they belong to. Move-only; used by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixelbuffer.h"

namespace aw::imaging {

struct RgbRows {
    uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    int channels = 3; // 3: RGB, 4: RGBA (not premultiplied)
    std::vector<uint8_t> icc;
    std::shared_ptr<void> owner;

    uint8_t* Row(int y) const { return data + static_cast<std::size_t>(y) * stride; }

    // The rows as a 24-bit picture, alpha laid over white (as a page shows a transparent picture).
    BgrImage ToBgrOnWhite() const;
};

// Rows that may be a shrunk version of the picture (a stored preview, or shrunk while decoding).
struct StillRows {
    RgbRows rows;
    int fullWidth = 0; // the picture's own size, as shown
    int fullHeight = 0;
};

} // namespace aw::imaging
