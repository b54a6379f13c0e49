// SPDX-License-Identifier: MIT
#include "rowreducer.h"

#include <algorithm>

#include "imagingerror.h"
#include "pixelbuffer.h"

namespace aw::imaging {

RowReducer::RowReducer(int width, int height, int factor)
    : width_(width), height_(height), factor_(std::max(factor, 1)) {
    out_.width = (width + factor_ - 1) / factor_;
    out_.height = (height + factor_ - 1) / factor_;
    out_.channels = 4;
    out_.stride = std::size_t{4} * static_cast<std::size_t>(out_.width);
    pixels_ = std::shared_ptr<uint8_t>(
        AllocateZeroed(out_.stride * static_cast<std::size_t>(out_.height)).release(), FreeDeleter());
    if (!pixels_)
        throw ImagingError("out of memory for a shrunk picture");
    out_.data = pixels_.get();
    sums_.assign(std::size_t{4} * static_cast<std::size_t>(out_.width), 0);
}

void RowReducer::Add(const uint8_t* rgba) {
    if (rowsIn_ >= height_)
        return;
    uint64_t* sum = sums_.data();
    for (int x = 0; x < width_; x += factor_, sum += 4) {
        const int end = std::min(x + factor_, width_);
        uint64_t r = 0, g = 0, b = 0, a = 0;
        for (const uint8_t* p = rgba + 4 * x; p < rgba + 4 * end; p += 4) {
            const unsigned alpha = p[3];
            r += p[0] * alpha;
            g += p[1] * alpha;
            b += p[2] * alpha;
            a += alpha;
        }
        sum[0] += r;
        sum[1] += g;
        sum[2] += b;
        sum[3] += a;
    }
    ++rowsIn_;
    if (++rowsInBlock_ == factor_ || rowsIn_ == height_)
        Emit();
}

void RowReducer::Emit() {
    uint8_t* out = out_.Row((rowsIn_ - 1) / factor_);
    const uint64_t* sum = sums_.data();
    for (int x = 0; x < out_.width; ++x, sum += 4, out += 4) {
        const uint64_t pixels = static_cast<uint64_t>(std::min(factor_, width_ - x * factor_)) *
                                static_cast<uint64_t>(rowsInBlock_);
        const uint64_t alpha = sum[3];
        for (int c = 0; c < 3; ++c)
            out[c] = alpha == 0 ? 0 : static_cast<uint8_t>((sum[c] + alpha / 2) / alpha);
        out[3] = static_cast<uint8_t>((alpha + pixels / 2) / pixels);
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    rowsInBlock_ = 0;
}

RgbRows RowReducer::Take() {
    out_.owner = std::move(pixels_);
    return std::move(out_);
}

} // namespace aw::imaging
