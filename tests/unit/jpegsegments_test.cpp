// SPDX-License-Identifier: MIT
#include "metadata/jpegsegments.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "album/exiforientation.h"
#include "metadata/embeddedpreview.h"
#include "support/embeddedpreview.h"
#include "support/exifblock.h"

namespace aw {
namespace {

using test::ExifPayload;
using test::Segment;

const std::string kSoi("\xFF\xD8", 2);

// Start of image, `segments`, a scan and the end of image.
std::string Jpeg(const std::string& segments) {
    return kSoi + segments + std::string("\xFF\xDA\x00\x02\x12\x34\xFF\xD9", 8);
}

std::string FrameHeader(uint8_t marker, int width, int height) { // one component
    const char payload[] = {
        8, char(height >> 8), char(height & 0xFF), char(width >> 8), char(width & 0xFF), 1, 1, 0x11, 0};
    return Segment(marker, std::string(payload, sizeof payload));
}

// The first frame header before the scan, past other segments and fill bytes.
TEST(JpegSegments, FrameSizeIsReadFromTheHeaderBeforeTheScan) {
    const std::string app = Segment(0xE1, ExifPayload(6)), scan = Segment(0xDA, std::string(8, '\0'));
    const std::tuple<const char*, std::string, int, int> cases[] = {
        // width 0: no size
        {"baseline", kSoi + FrameHeader(0xC0, 6000, 4000) + scan, 6000, 4000},
        {"progressive after APP1, fill", kSoi + app + "\xFF" + FrameHeader(0xC2, 640, 65535), 640, 65535},
        {"huffman table is no frame", kSoi + FrameHeader(0xC4, 3, 2), 0, 0},
        {"cut short", (kSoi + FrameHeader(0xC0, 300, 200)).substr(0, 9), 0, 0},
        {"zero height", kSoi + FrameHeader(0xC0, 300, 0), 0, 0},
        {"scan first", kSoi + scan + FrameHeader(0xC0, 300, 200), 0, 0},
        {"no JPEG", "BM" + FrameHeader(0xC0, 300, 200), 0, 0}};
    for (const auto& [what, file, w, h] : cases) {
        int width = 0, height = 0;
        const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
        EXPECT_EQ(ReadJpegFrameSize(bytes, file.size(), width, height), w > 0) << what;
        EXPECT_TRUE(w == 0 || std::pair(width, height) == std::pair(w, h)) << what;
    }
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

// Found in either byte order; nothing for another type (gain map), past the end, not a JPEG, bad index.
TEST(EmbeddedPreview, OnlyAWholeLargeThumbnailIsFound) {
    const std::string main = kSoi + std::string(100, 'm') + "\xFF\xD9";
    const std::string preview = kSoi + std::string(50, 'p') + "\xFF\xD9";
    const auto with = [&](const test::IndexOptions& options) {
        return test::WithEmbeddedPreview(main, preview, options);
    };
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"little-endian", with({}), true},
        {"big-endian", with({.bigEndian = true}), true},
        {"VGA class", with({.previewType = 0x010001}), true},
        {"gain map", with({.previewType = 0}), false},
        {"past the end", with({.offsetShift = 1}), false},
        {"not a JPEG", test::WithEmbeddedPreview(main, "xx" + preview.substr(2)), false},
        {"fields beyond the index", with({.ifdCount = 9}), false},
        {"no index", main + preview, false}};
    for (const auto& [what, file, found] : cases) {
        const auto span = FindEmbeddedPreview(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        EXPECT_EQ(span ? std::string(reinterpret_cast<const char*>(span->data), span->size) : "",
                  found ? preview : "")
            << what;
    }
}

} // namespace
} // namespace aw
