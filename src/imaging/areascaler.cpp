// SPDX-License-Identifier: MIT
#include "areascaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imagingerror.h"

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

// Rows first: one full-width line of sums per target row, then the columns of that line. Every source row is
// visited about once while shrinking, and only one line is held in memory. `Channels` samples a pixel; with
// `Alpha` the last is alpha and the others are summed weighted by it.
template <int Channels, bool Alpha, typename SourceRow, typename TargetRow>
void ScaleLines(int sourceWidth, int sourceHeight, int width, int height, SourceRow sourceRow,
                TargetRow targetRow) {
    CheckDimensions(width, height);
    const AxisWeights columns = WeightsFor(sourceWidth, width);
    const AxisWeights rows = WeightsFor(sourceHeight, height);
    std::vector<float> line(static_cast<std::size_t>(sourceWidth) * Channels);
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0.0f);
        const float* rowWeights = rows.WeightsOf(y);
        for (int k = 0; k < rows.count[y]; ++k) {
            const float w = rowWeights[k];
            if (w == 0.0f)
                continue;
            const uint8_t* in = sourceRow(rows.first[y] + k);
            if constexpr (Alpha) {
                for (std::size_t i = 0; i < line.size(); i += Channels) {
                    const float weighted = w * in[i + Channels - 1];
                    for (int c = 0; c < Channels - 1; ++c)
                        line[i + c] += weighted * in[i + c];
                    line[i + Channels - 1] += weighted;
                }
            } else {
                for (std::size_t i = 0; i < line.size(); ++i)
                    line[i] += w * in[i];
            }
        }
        uint8_t* out = targetRow(y);
        for (int x = 0; x < width; ++x) {
            const float* columnWeights = columns.WeightsOf(x);
            float sum[Channels] = {};
            for (int k = 0; k < columns.count[x]; ++k) {
                const float* p = line.data() + static_cast<std::size_t>(columns.first[x] + k) * Channels;
                for (int c = 0; c < Channels; ++c)
                    sum[c] += columnWeights[k] * p[c];
            }
            if constexpr (Alpha) {
                const float alpha = sum[Channels - 1];
                for (int c = 0; c < Channels - 1; ++c)
                    out[Channels * x + c] = alpha > 0.0f ? ToByte(sum[c] / alpha) : 0;
                out[Channels * x + Channels - 1] = ToByte(alpha);
            } else {
                for (int c = 0; c < Channels; ++c)
                    out[Channels * x + c] = ToByte(sum[c]);
            }
        }
    }
}

} // namespace

void AreaScaler::Scale(const BgrView& source, int width, int height, uint8_t* target) {
    CheckDimensions(width, height);
    const std::size_t targetRowSize = AwRowSize24(static_cast<std::size_t>(width));
    ScaleLines<3, false>(
        source.width, source.height, width, height, [&](int y) { return source.RowFromTop(y); },
        [&](int y) { return target + static_cast<std::size_t>(height - 1 - y) * targetRowSize; });
}

void AreaScaler::ScaleRgba(const RgbRows& source, int width, int height, uint8_t* target) {
    if (source.channels != 4)
        throw ImagingError("not RGBA rows");
    CheckDimensions(width, height);
    ScaleLines<4, true>(
        source.width, source.height, width, height, [&](int y) { return source.Row(y); },
        [&](int y) { return target + static_cast<std::size_t>(y) * 4 * static_cast<std::size_t>(width); });
}

} // namespace aw::imaging
