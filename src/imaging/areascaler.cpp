// SPDX-License-Identifier: MIT
#include "areascaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace aw::imaging {
namespace {

// For every target position along one axis: the first source position it reads and the weights of the
// source positions from there on (summing to 1).
struct AxisWeights {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights; // `taps` per target position
    int taps = 0;

    const float* WeightsOf(int i) const { return weights.data() + static_cast<std::size_t>(i) * taps; }
};

AxisWeights BoxWeights(int from, int to) {
    AxisWeights axis;
    const double scale = static_cast<double>(from) / to;
    axis.taps = static_cast<int>(std::ceil(scale)) + 1;
    axis.first.resize(to);
    axis.count.resize(to);
    axis.weights.assign(static_cast<std::size_t>(to) * axis.taps, 0.0f);
    for (int i = 0; i < to; ++i) {
        const double start = i * scale;
        const double end = std::min<double>((i + 1) * scale, from);
        const int first = std::min(static_cast<int>(std::floor(start)), from - 1);
        int n = 0;
        for (int j = first; j < from && j < end && n < axis.taps; ++j, ++n) {
            const double covered = std::min<double>(j + 1, end) - std::max<double>(j, start);
            axis.weights[static_cast<std::size_t>(i) * axis.taps + n] = static_cast<float>(covered / scale);
        }
        axis.first[i] = first;
        axis.count[i] = std::max(n, 1);
    }
    return axis;
}

AxisWeights LinearWeights(int from, int to) {
    AxisWeights axis;
    axis.taps = 2;
    axis.first.resize(to);
    axis.count.assign(to, 2);
    axis.weights.resize(static_cast<std::size_t>(to) * 2);
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
        const int first = std::min(static_cast<int>(centre), std::max(from - 2, 0));
        const double fraction = from == 1 ? 0.0 : centre - first;
        axis.first[i] = first;
        axis.count[i] = from == 1 ? 1 : 2;
        axis.weights[2 * static_cast<std::size_t>(i)] = static_cast<float>(1.0 - fraction);
        axis.weights[2 * static_cast<std::size_t>(i) + 1] = static_cast<float>(fraction);
    }
    return axis;
}

AxisWeights WeightsFor(int from, int to) {
    return to < from ? BoxWeights(from, to) : LinearWeights(from, to);
}

uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

void AreaScaler::Scale(const BgrView& source, int width, int height, uint8_t* target) {
    CheckDimensions(width, height);
    const AxisWeights columns = WeightsFor(source.width, width);
    const AxisWeights rows = WeightsFor(source.height, height);
    const std::size_t targetRowSize = AwRowSize24(static_cast<std::size_t>(width));

    // Rows first: one full-width line of sums per target row, then the columns of that line. Every
    // source row is visited about once while shrinking, and only one line is held in memory.
    std::vector<float> line(static_cast<std::size_t>(source.width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0.0f);
        const float* rowWeights = rows.WeightsOf(y);
        for (int k = 0; k < rows.count[y]; ++k) {
            const float w = rowWeights[k];
            if (w == 0.0f)
                continue;
            const uint8_t* in = source.RowFromTop(rows.first[y] + k);
            for (std::size_t i = 0; i < line.size(); ++i)
                line[i] += w * in[i];
        }
        uint8_t* out = target + static_cast<std::size_t>(height - 1 - y) * targetRowSize;
        for (int x = 0; x < width; ++x) {
            const float* columnWeights = columns.WeightsOf(x);
            float b = 0, g = 0, r = 0;
            for (int k = 0; k < columns.count[x]; ++k) {
                const float* p = line.data() + static_cast<std::size_t>(columns.first[x] + k) * 3;
                b += columnWeights[k] * p[0];
                g += columnWeights[k] * p[1];
                r += columnWeights[k] * p[2];
            }
            out[3 * x] = ToByte(b);
            out[3 * x + 1] = ToByte(g);
            out[3 * x + 2] = ToByte(r);
        }
    }
}

} // namespace aw::imaging
