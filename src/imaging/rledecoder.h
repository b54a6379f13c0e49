// SPDX-License-Identifier: MIT
// Decoder of the two run-length bitmap encodings (8 bits and 4 bits per pixel). Reads at most `size`
// bytes; runs that leave the picture are clipped; pixels the data skips stay black; data that ends
// early leaves the rest black. Stateless and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bitmaplayout.h"
#include "pixelbuffer.h"

namespace aw::imaging {

class RleDecoder {
public:
    // `target` has the layout's size and is zero-filled.
    static void Decode(const BitmapLayout& layout, const uint8_t* data, std::size_t size,
                       const BgrCanvas& target);
};

} // namespace aw::imaging
