// SPDX-License-Identifier: MIT
#include "album/exiforientation.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/exifblock.h"

namespace aw {
namespace {

using test::ExifPayload;
using test::Jpeg;
using test::Segment;

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
    std::string cutLength = six, late = Jpeg("");
    cutLength[5] = '\xF0'; // the segment claims more bytes than the file has
    late.insert(late.size() - 2, Segment(0xE1, ExifPayload(6)));
    const std::pair<const char*, std::string> cases[] = {
        {"no EXIF", Jpeg("")},
        {"value 9", Jpeg(Segment(0xE1, ExifPayload(9)))},
        {"type LONG", Jpeg(Segment(0xE1, ExifPayload(6, false, 4)))},
        {"IFD outside the block", Jpeg(Segment(0xE1, ExifPayload(6, false, 3, 0xFFFFFF)))},
        {"other APP1", Jpeg(Segment(0xE1, "http://"))},
        {"segment length past the end", cutLength},
        {"file cut inside the block", six.substr(0, 20)},
        {"empty", ""},
        {"after the scan", late}};
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(Orientation(bytes), 1) << name;
    EXPECT_EQ(ReadExifOrientation(nullptr, 10), 1);
}

} // namespace
} // namespace aw
