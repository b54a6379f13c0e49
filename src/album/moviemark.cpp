// SPDX-License-Identifier: MIT
#include "album/moviemark.h"

#include <array>
#include <cstring>

#include "album/mediakind.h"
#include "imaging/imagingabi.h"

namespace aw {
namespace {

// Top row first, as the marks are seen. K black frame, H sprocket hole, W light field, and for the
// picture symbol: D its frame, B sky, Y sun, G hills.
constexpr const char* kFilmStripRows[MovieMark::kSize] = {
    "KKKKKKKKKKKKKKKKKKKKKKKK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK",
    "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
    "KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK",
    "KHHKKWWWWWWWWWWWWWWKKHHK", "KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWWWWWWWWWWWWWKKKKK",
    "KKKKKWWWWWWWWWWWWWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK", "KHHKKWWWWWWWWWWWWWWKKHHK",
    "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
    "KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK",
    "KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KKKKKKKKKKKKKKKKKKKKKKKK",
};

constexpr const char* kFilmStripMarkedRows[MovieMark::kSize] = {
    "KKKKKKKKKKKKKKKKKKKKKKKK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK",
    "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
    "KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWDDDDDDDDDDWWKKKKK", "KKKKKWWDBBBBBBYYDWWKKKKK",
    "KHHKKWWDBBBBBBYYDWWKKHHK", "KHHKKWWDBBBBBBBBDWWKKHHK", "KKKKKWWDBBBGBBBBDWWKKKKK",
    "KKKKKWWDBBGGGBBBDWWKKKKK", "KHHKKWWDBGGGGGBGDWWKKHHK", "KHHKKWWDGGGGGGGGDWWKKHHK",
    "KKKKKWWDGGGGGGGGDWWKKKKK", "KKKKKWWDDDDDDDDDDWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
    "KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK",
    "KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KKKKKKKKKKKKKKKKKKKKKKKK",
};

struct Bgr {
    uint8_t b, g, r;
};

constexpr Bgr ColourOf(char code) {
    switch (code) {
    case 'H':
        return {232, 232, 232};
    case 'W':
        return {224, 244, 248};
    case 'D':
        return {64, 64, 64};
    case 'B':
        return {224, 160, 96};
    case 'Y':
        return {0, 208, 255};
    case 'G':
        return {64, 160, 64};
    default:
        return {0, 0, 0};
    }
}

using MarkPixels = std::array<uint8_t, MovieMark::kRowSize * MovieMark::kSize>;

MarkPixels Render(const char* const (&rows)[MovieMark::kSize]) {
    MarkPixels pixels{};
    for (int y = 0; y < MovieMark::kSize; ++y) {
        uint8_t* row =
            pixels.data() + static_cast<std::size_t>(MovieMark::kSize - 1 - y) * MovieMark::kRowSize;
        for (int x = 0; x < MovieMark::kSize; ++x) {
            const Bgr c = ColourOf(rows[y][x]);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return pixels;
}

} // namespace

int MovieMark::MarkFor(MediaKind kind) {
    return kind == MediaKind::MovieAsfMarked ? kFilmStripMarked : kFilmStrip;
}

const uint8_t* MovieMark::Pixels(int mark) {
    static const MarkPixels filmStrip = Render(kFilmStripRows);
    static const MarkPixels filmStripMarked = Render(kFilmStripMarkedRows);
    return mark == kFilmStripMarked ? filmStripMarked.data() : filmStrip.data();
}

void MovieMark::Stamp(uint8_t* pixels, int width, int height, MediaKind kind) {
    if (pixels == nullptr || width <= 0 || height == 0)
        return;
    const bool topDown = height < 0;
    const int rows = topDown ? -height : height;
    const std::size_t rowSize = AwRowSize24(static_cast<std::size_t>(width));
    const uint8_t* mark = Pixels(MarkFor(kind));
    const int left = width - kMargin - kSize;
    for (int my = 0; my < kSize; ++my) { // my, y: rows counted from the bottom
        const int y = kMargin + my;
        if (y >= rows)
            break;
        const int bufferRow = topDown ? rows - 1 - y : y;
        uint8_t* dst = pixels + static_cast<std::size_t>(bufferRow) * rowSize;
        const uint8_t* src = mark + static_cast<std::size_t>(my) * kRowSize;
        for (int mx = 0; mx < kSize; ++mx) {
            const int x = left + mx;
            if (x >= 0 && x < width)
                std::memcpy(dst + 3 * static_cast<std::size_t>(x), src + 3 * mx, 3);
        }
    }
}

} // namespace aw
