#include "album/moviemark.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "album/mediakind.h"

namespace aw {
namespace {

constexpr uint8_t kFill = 0x5A;

struct Canvas {
    int width;
    int height;
    std::size_t row;
    std::vector<uint8_t> pixels;
    Canvas(int w, int h)
        : width(w), height(h), row((3 * static_cast<std::size_t>(w) + 3) / 4 * 4), pixels(row * h, kFill) {}
    // x from the left, y from the bottom.
    const uint8_t* at(int x, int y) const { return &pixels[static_cast<std::size_t>(y) * row + 3 * x]; }
};

const uint8_t* MarkAt(int mark, int x, int y) {
    return MovieMark::Pixels(mark) + y * MovieMark::kRowSize + 3 * x;
}

TEST(MovieMark, KindsAndTheirMarks) {
    for (int kind : {MovieAsf, MovieAvi, MovieMov, MovieMpeg})
        EXPECT_EQ(MovieMark::MarkFor(kind), MovieMark::kFilmStrip);
    EXPECT_EQ(MovieMark::MarkFor(MovieAsfMarked), MovieMark::kFilmStripMarked);
    EXPECT_NE(std::memcmp(MovieMark::Pixels(MovieMark::kFilmStrip),
                          MovieMark::Pixels(MovieMark::kFilmStripMarked),
                          MovieMark::kRowSize * MovieMark::kSize),
              0);
}

TEST(MovieMark, StampsFourPixelsInFromTheBottomRight) {
    Canvas canvas(160, 120);
    MovieMark::Stamp(canvas.pixels.data(), canvas.width, canvas.height, MovieAvi);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const bool inside = x >= 160 - 28 && x <= 160 - 5 && y >= 4 && y <= 27;
            if (inside)
                ASSERT_EQ(std::memcmp(canvas.at(x, y), MarkAt(MovieMark::kFilmStrip, x - 132, y - 4), 3), 0)
                    << x << "," << y;
            else
                ASSERT_EQ(canvas.at(x, y)[0], kFill) << x << "," << y;
        }
    }
}

TEST(MovieMark, ClipsOnSmallPicturesAndKeepsPadding) {
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{20, 20}, Case{2, 120}, Case{160, 1}, Case{30, 5}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Canvas canvas(c.width, c.height);
        MovieMark::Stamp(canvas.pixels.data(), c.width, c.height, MovieAsfMarked);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const int mx = x - (c.width - 28);
                const int my = y - 4;
                if (mx >= 0 && mx < 24 && my >= 0 && my < 24)
                    ASSERT_EQ(std::memcmp(canvas.at(x, y), MarkAt(MovieMark::kFilmStripMarked, mx, my), 3),
                              0);
                else
                    ASSERT_EQ(canvas.at(x, y)[1], kFill);
            }
            for (std::size_t i = 3 * static_cast<std::size_t>(c.width); i < canvas.row; ++i)
                ASSERT_EQ(canvas.pixels[y * canvas.row + i], kFill) << "padding";
        }
    }
}

} // namespace
} // namespace aw
