#include "album/moviemark.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "album/mediakind.h"

namespace aw {
namespace {

// The kind's mark covers columns W-28..W-5 and rows 4..27 from the bottom, clipped to the picture; every
// other byte, row padding included, stays as it was.
TEST(MovieMark, StampsTheKindsMarkFourPixelsInAndClips) {
    struct Case {
        int width, height, kind, mark;
    };
    const Case cases[] = {
        {160, 120, MovieAvi, MovieMark::kFilmStrip}, {20, 20, MovieAsfMarked, MovieMark::kFilmStripMarked},
        {2, 120, MovieMov, MovieMark::kFilmStrip},   {160, 1, MovieMpeg, MovieMark::kFilmStrip},
        {30, 5, MovieAsf, MovieMark::kFilmStrip},
    };
    constexpr uint8_t kFill = 0x5A;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const int row = (3 * c.width + 3) / 4 * 4;
        std::vector<uint8_t> pixels(static_cast<std::size_t>(row) * c.height, kFill);
        MovieMark::Stamp(pixels.data(), c.width, c.height, c.kind);
        for (int y = 0; y < c.height; ++y)
            for (int i = 0; i < row; ++i) {
                const int mx = i / 3 - (c.width - 28);
                const int my = y - 4;
                const bool inMark = i < 3 * c.width && mx >= 0 && mx < 24 && my >= 0 && my < 24;
                const uint8_t expected =
                    inMark ? MovieMark::Pixels(c.mark)[my * MovieMark::kRowSize + 3 * mx + i % 3] : kFill;
                ASSERT_EQ(pixels[y * row + i], expected) << "byte " << i << ", row " << y;
            }
    }
}

} // namespace
} // namespace aw
