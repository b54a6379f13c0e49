#include "album/exiforientation.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/exifblock.h"

namespace aw {
namespace {

using Bytes = std::vector<uint8_t>;

void Append16(Bytes& b, unsigned v) {
    b.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
    b.push_back(static_cast<uint8_t>(v & 0xFF));
}

Bytes ExifBlock(unsigned value, bool bigEndian = false, unsigned type = 3, uint32_t ifdOffset = 8) {
    return test::ExifOrientationBlock(value, bigEndian, type, ifdOffset);
}

Bytes Segment(uint8_t marker, const Bytes& payload) {
    Bytes s = {0xFF, marker};
    Append16(s, static_cast<unsigned>(payload.size() + 2));
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

Bytes Jpeg(std::initializer_list<Bytes> segments) {
    Bytes j = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        j.insert(j.end(), s.begin(), s.end());
    const Bytes scan = {0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9};
    j.insert(j.end(), scan.begin(), scan.end());
    return j;
}

int Orientation(const Bytes& b) {
    return ReadExifOrientation(b.data(), b.size());
}

TEST(ExifOrientation, ReadsTheValueInEitherByteOrder) {
    const Bytes app0 = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    for (unsigned value = 1; value <= 8; ++value) {
        SCOPED_TRACE(value);
        EXPECT_EQ(Orientation(Jpeg({Segment(0xE1, ExifBlock(value))})), static_cast<int>(value));
        EXPECT_EQ(Orientation(Jpeg({app0, Segment(0xE1, ExifBlock(value, true))})), static_cast<int>(value));
    }
}

TEST(ExifOrientation, AnythingMalformedOrMissingIsUpright) {
    Bytes cutLength = Jpeg({Segment(0xE1, ExifBlock(6))});
    cutLength[5] = 0xF0; // segment claims more bytes than the file has
    Bytes cutFile = Jpeg({Segment(0xE1, ExifBlock(6))});
    cutFile.resize(20);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"no EXIF", Jpeg({})},
        {"value 0", Jpeg({Segment(0xE1, ExifBlock(0))})},
        {"value 9", Jpeg({Segment(0xE1, ExifBlock(9))})},
        {"type LONG", Jpeg({Segment(0xE1, ExifBlock(6, false, 4))})},
        {"IFD outside the block", Jpeg({Segment(0xE1, ExifBlock(6, false, 3, 0xFFFFFF))})},
        {"other APP1", Jpeg({Segment(0xE1, {'h', 't', 't', 'p', ':', '/', '/'})})},
        {"segment length past the end", cutLength},
        {"file cut inside the block", cutFile},
        {"not a JPEG", Bytes{'B', 'M', 0, 0, 0, 0}},
        {"empty", Bytes{}},
        {"after the scan",
         [] {
             Bytes j = Jpeg({});
             const Bytes late = Segment(0xE1, ExifBlock(6));
             j.insert(j.end() - 2, late.begin(), late.end());
             return j;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Orientation(c.bytes), 1);
    }
    EXPECT_EQ(ReadExifOrientation(nullptr, 10), 1);
}

// Where the four stored corners end up on screen, for each orientation.
enum Corner { TL, TR, BL, BR };

TEST(ReorientRgb24, MovesEachCornerWhereABrowserShowsIt) {
    const int width = 3; // rows of 9 bytes padded to 12, so padding mistakes show
    const int height = 2;
    std::vector<uint8_t> in(12 * height, 0xEE);
    auto stored = [&](int x, int y) { return &in[static_cast<std::size_t>(height - 1 - y) * 12 + 3 * x]; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                stored(x, y)[k] = static_cast<uint8_t>(16 * y + x);
    const uint8_t cornerValue[4] = {0, 2, 16, 18}; // TL, TR, BL, BR as stored

    const std::array<std::array<Corner, 4>, 9> where = {{
        {},
        {TL, TR, BL, BR},
        {TR, TL, BR, BL},
        {BR, BL, TR, TL},
        {BL, BR, TL, TR},
        {TL, BL, TR, BR},
        {TR, BR, TL, BL},
        {BR, TR, BL, TL},
        {BL, TL, BR, TR},
    }};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const bool swap = OrientationSwapsAxes(orientation);
        const int outWidth = swap ? height : width;
        const int outHeight = swap ? width : height;
        const std::size_t outRow = (3 * static_cast<std::size_t>(outWidth) + 3) / 4 * 4;
        std::vector<uint8_t> out(outRow * outHeight, 0xAB);
        ReorientRgb24(in.data(), width, height, orientation, out.data());
        auto shown = [&](Corner c) {
            const int x = (c == TR || c == BR) ? outWidth - 1 : 0;
            const int y = (c == BL || c == BR) ? outHeight - 1 : 0;
            return out[static_cast<std::size_t>(outHeight - 1 - y) * outRow + 3 * x];
        };
        for (int corner = TL; corner <= BR; ++corner)
            EXPECT_EQ(shown(where[orientation][corner]), cornerValue[corner]) << "corner " << corner;
        for (std::size_t row = 0; row < static_cast<std::size_t>(outHeight); ++row)
            for (std::size_t i = 3 * outWidth; i < outRow; ++i)
                EXPECT_EQ(out[row * outRow + i], 0) << "padding";
    }
}

} // namespace
} // namespace aw
