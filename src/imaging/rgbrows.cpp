// SPDX-License-Identifier: MIT
#include "rgbrows.h"

namespace aw::imaging {

BgrImage RgbRows::ToBgrOnWhite() const {
    BgrImage image = BgrImage::Make(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = Row(y);
        uint8_t* out = image.RowFromTop(y);
        for (int x = 0; x < width; ++x, in += channels, out += 3) {
            const unsigned alpha = channels == 4 ? in[3] : 255u;
            if (alpha == 255u) { // most pixels of most pictures: no blend to compute
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                continue;
            }
            // out = alpha * colour + (1 - alpha) * white, rounded.
            for (int c = 0; c < 3; ++c)
                out[2 - c] = static_cast<uint8_t>((in[c] * alpha + 255u * (255u - alpha) + 127u) / 255u);
        }
    }
    return image;
}

} // namespace aw::imaging
