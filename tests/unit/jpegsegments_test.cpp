// SPDX-License-Identifier: MIT
#include "metadata/jpegsegments.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/exifblock.h"

namespace aw {
namespace {

using test::ExifPayload;
using test::kSoi;
using test::Segment;

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

} // namespace
} // namespace aw
