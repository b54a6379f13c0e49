// SPDX-License-Identifier: MIT
#include "rledecoder.h"

#include <algorithm>
#include <cstring>

namespace aw::imaging {
namespace {

class RleWriter {
public:
    RleWriter(const BitmapLayout& layout, const BgrCanvas& target) : layout_(layout), target_(target) {}

    // Stored rows of a run-length bitmap go from the bottom up, like the exchange format.
    void Put(unsigned index) {
        if (x_ < layout_.width && y_ < layout_.height)
            std::memcpy(target_.RowFromBottom(y_) + 3 * x_, layout_.palette[index & 0xFF].data(), 3);
        // Clamped so that endless runs cannot overflow the counters.
        if (x_ < layout_.width)
            ++x_;
    }
    void EndOfLine() {
        x_ = 0;
        ++y_;
    }
    void Move(int dx, int dy) {
        x_ = std::min(x_ + dx, layout_.width);
        y_ = std::min(y_ + dy, layout_.height);
    }
    // Past the last row nothing more can be drawn (x and y only grow).
    bool Finished() const { return y_ >= layout_.height; }
    // Past the row's end the rest of a run is clipped: no need to walk it.
    bool RowFull() const { return x_ >= layout_.width; }

private:
    const BitmapLayout& layout_;
    const BgrCanvas& target_;
    int x_ = 0;
    int y_ = 0;
};

} // namespace

void RleDecoder::Decode(const BitmapLayout& layout, const uint8_t* data, std::size_t size,
                        const BgrCanvas& target) {
    const bool four = layout.compression == BitmapLayout::Rle4;
    RleWriter writer(layout, target);
    std::size_t pos = 0;
    while (pos + 2 <= size && !writer.Finished()) {
        const unsigned count = data[pos];
        const unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && !writer.RowFull(); ++i)
                writer.Put(four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) {
            writer.EndOfLine();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (pos + 2 > size)
                return;
            writer.Move(data[pos], data[pos + 1]);
            pos += 2;
        } else {
            // A literal run, padded to a whole number of 16-bit words.
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t{1};
            if (pos + bytes > size)
                return;
            for (unsigned i = 0; i < value && !writer.RowFull(); ++i)
                writer.Put(four ? (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 0x0F)
                                : data[pos + i]);
            pos += padded;
        }
    }
}

} // namespace aw::imaging
