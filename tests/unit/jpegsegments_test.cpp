#include "album/jpegsegments.h"

#include <string>

#include <gtest/gtest.h>

#include "support/exifblock.h"

namespace aw {
namespace {

const std::string kSoi("\xFF\xD8", 2);

// A frame header (baseline or progressive) of width x height with one component.
std::string FrameHeader(uint8_t marker, int width, int height) {
    const char payload[] = {8, static_cast<char>(height >> 8), static_cast<char>(height & 0xFF),
                            static_cast<char>(width >> 8), static_cast<char>(width & 0xFF), 1, 1, 0x11, 0};
    return test::Segment(marker, std::string(payload, sizeof payload));
}

// The size comes from the first frame header before the scan, past other segments and fill bytes; a
// header cut short, a size of 0, a scan or the end before any header, or bytes that are no JPEG give none.
TEST(JpegSegments, FrameSizeIsReadFromTheHeaderBeforeTheScan) {
    const std::string app = test::Segment(0xE1, test::ExifPayload(6));
    const std::string scan = test::Segment(0xDA, std::string(8, '\0'));
    const struct {
        const char* what;
        std::string bytes;
        int width, height; // 0: no size
    } cases[] = {
        {"baseline", kSoi + FrameHeader(0xC0, 6000, 4000) + scan, 6000, 4000},
        {"progressive after APP1 and fill", kSoi + app + "\xFF" + FrameHeader(0xC2, 640, 65535), 640, 65535},
        {"lossless", kSoi + FrameHeader(0xC3, 3, 2), 3, 2},
        {"huffman table is no frame", kSoi + FrameHeader(0xC4, 3, 2), 0, 0},
        {"cut short", (kSoi + FrameHeader(0xC0, 300, 200)).substr(0, 9), 0, 0},
        {"zero height", kSoi + FrameHeader(0xC0, 300, 0), 0, 0},
        {"scan first", kSoi + scan + FrameHeader(0xC0, 300, 200), 0, 0},
        {"end first", kSoi + "\xFF\xD9" + FrameHeader(0xC0, 300, 200), 0, 0},
        {"no JPEG", "BM" + FrameHeader(0xC0, 300, 200), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int width = 0, height = 0;
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.bytes.data());
        EXPECT_EQ(ReadJpegFrameSize(bytes, c.bytes.size(), width, height), c.width > 0);
        if (c.width > 0) {
            EXPECT_EQ(std::pair(width, height), std::pair(c.width, c.height));
        }
    }
}

} // namespace
} // namespace aw
