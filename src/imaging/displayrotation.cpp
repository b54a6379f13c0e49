// SPDX-License-Identifier: MIT
#include "displayrotation.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

namespace aw::imaging {

int QuarterTurnsOfMatrix(const int32_t matrix[9]) {
    // The matrix turns counterclockwise; the picture is shown turned the other way.
    const double clockwise = -av_display_rotation_get(matrix);
    if (!std::isfinite(clockwise))
        return 0;
    const double turns = clockwise / 90.0;
    const double whole = std::round(turns);
    if (std::fabs(turns - whole) > 1.0 / 90.0)
        return 0;
    return static_cast<int>(((static_cast<long long>(whole) % 4) + 4) % 4);
}

int QuarterTurnsOf(const AVStream* stream) {
    std::size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(int32_t))
        return 0;
    int32_t matrix[9];
    std::memcpy(matrix, data, sizeof matrix); // side data carries no alignment promise
    return QuarterTurnsOfMatrix(matrix);
}

} // namespace aw::imaging
