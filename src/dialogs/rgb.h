// SPDX-License-Identifier: MIT
// A colour of the page as the colour pickers and Create pass it around: three 8-bit channels.
#pragma once

#include <cstdint>

namespace aw {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

} // namespace aw
