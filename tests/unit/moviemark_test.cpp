// SPDX-License-Identifier: MIT
#include "album/moviemark.h"

#include <cstdint>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "album/mediakind.h"

namespace aw {
namespace {

using enum MediaKind;

// The kind's mark covers columns W-28..W-5 and rows 4..27 from the bottom, clipped to the picture; every
// other byte, row padding included, stays as it was.
TEST(MovieMark, StampsTheKindsMarkFourPixelsInAndClips) {
    constexpr int kStrip = MovieMark::kFilmStrip;
    constexpr int kMarked = MovieMark::kFilmStripMarked;
    // Width, height, kind and the mark it gets; the last just holds the mark and its margins.
    const std::tuple<int, int, MediaKind, int> cases[] = {
        {160, 120, MovieAvi, kStrip}, {20, 20, MovieAsfMarked, kMarked}, {2, 120, MovieMov, kStrip},
        {160, 1, MovieMpeg, kStrip},  {30, 5, MovieAsf, kStrip},         {28, 28, MovieAvi, kStrip}};
    constexpr uint8_t kFill = 0x5A;
    for (const auto& [width, height, kind, mark] : cases) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const int row = (3 * width + 3) / 4 * 4;
        std::vector<uint8_t> pixels(static_cast<std::size_t>(row) * height, kFill);
        MovieMark::Stamp(pixels.data(), width, height, kind);
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < row; ++i) {
                const int mx = i / 3 - (width - 28);
                const int my = y - 4;
                const bool inMark = i < 3 * width && mx >= 0 && mx < 24 && my >= 0 && my < 24;
                const uint8_t expected =
                    inMark ? MovieMark::Pixels(mark)[my * MovieMark::kRowSize + 3 * mx + i % 3] : kFill;
                ASSERT_EQ(pixels[y * row + i], expected) << "byte " << i << ", row " << y;
            }
    }
}

} // namespace
} // namespace aw
