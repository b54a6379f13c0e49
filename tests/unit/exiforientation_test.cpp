#include "album/exiforientation.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/exifblock.h"

namespace aw {
namespace {

using test::ExifPayload;
using test::Segment;

// Start of image, `segments`, a scan and the end of image.
std::string Jpeg(const std::string& segments) {
    return "\xFF\xD8" + segments + std::string("\xFF\xDA\x00\x02\x12\x34\xFF\xD9", 8);
}

// Read from a buffer of exactly the file's size, so that a sanitizer sees any read past its end.
int Orientation(const std::string& file) {
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    return ReadExifOrientation(bytes.data(), bytes.size());
}

TEST(ExifOrientation, ReadsTheValueInEitherByteOrderElseUpright) {
    const std::string app0 = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    for (unsigned value = 1; value <= 8; ++value) {
        SCOPED_TRACE(value);
        EXPECT_EQ(Orientation(Jpeg(Segment(0xE1, ExifPayload(value)))), static_cast<int>(value));
        EXPECT_EQ(Orientation(Jpeg(app0 + Segment(0xE1, ExifPayload(value, true)))), static_cast<int>(value));
    }
    const std::string six = Jpeg(Segment(0xE1, ExifPayload(6)));
    std::string cutLength = six;
    cutLength[5] = '\xF0'; // the segment claims more bytes than the file has
    std::string late = Jpeg("");
    late.insert(late.size() - 2, Segment(0xE1, ExifPayload(6)));
    const std::pair<const char*, std::string> cases[] = {
        {"no EXIF", Jpeg("")},
        {"value 0", Jpeg(Segment(0xE1, ExifPayload(0)))},
        {"value 9", Jpeg(Segment(0xE1, ExifPayload(9)))},
        {"type LONG", Jpeg(Segment(0xE1, ExifPayload(6, false, 4)))},
        {"IFD outside the block", Jpeg(Segment(0xE1, ExifPayload(6, false, 3, 0xFFFFFF)))},
        {"other APP1", Jpeg(Segment(0xE1, "http://"))},
        {"segment length past the end", cutLength},
        {"file cut inside the block", six.substr(0, 20)},
        {"not a JPEG", std::string("BM\0\0\0\0", 6)},
        {"empty", ""},
        {"after the scan", late},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Orientation(bytes), 1);
    }
    EXPECT_EQ(ReadExifOrientation(nullptr, 10), 1);
}

// A 3 x 2 picture (rows of 9 bytes padded to 12, so that padding mistakes show): each stored corner must
// show where a browser shows it. Corners as digits: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
TEST(ReorientRgb24, MovesEachCornerWhereABrowserShowsIt) {
    const char* const where[9] = {"", "0123", "1032", "3210", "2301", "0213", "1302", "3120", "2031"};
    const uint8_t cornerValue[4] = {0, 2, 16, 18}; // grey 16 * y + x, y from the top
    std::vector<uint8_t> in(24, 0xEE);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            std::memset(&in[(1 - y) * 12 + 3 * x], 16 * y + x, 3);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const bool swap = OrientationSwapsAxes(orientation);
        const int width = swap ? 2 : 3;
        const int height = swap ? 3 : 2;
        const int row = (3 * width + 3) / 4 * 4;
        std::vector<uint8_t> out(row * height, 0xAB);
        ReorientRgb24(in.data(), 3, 2, orientation, out.data());
        for (int corner = 0; corner < 4; ++corner) {
            const int shown = where[orientation][corner] - '0';
            const int x = shown & 1 ? width - 1 : 0;
            const int y = shown & 2 ? height - 1 : 0;
            EXPECT_EQ(out[(height - 1 - y) * row + 3 * x], cornerValue[corner]) << "corner " << corner;
        }
        for (int y = 0; y < height; ++y)
            for (int i = 3 * width; i < row; ++i)
                EXPECT_EQ(out[y * row + i], 0) << "padding";
    }
}

} // namespace
} // namespace aw
