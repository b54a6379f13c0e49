// SPDX-License-Identifier: MIT
#include "metadata/jpegsegments.h"

#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kEoi = 0xD9;

// Start-of-frame markers of every coding process: C0..CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

bool VisitJpegSegments(const uint8_t* jpeg, std::size_t size,
                       const std::function<bool(uint8_t, const uint8_t*, std::size_t)>& visit) {
    if (jpeg == nullptr || size < 4 || jpeg[0] != kMarker || jpeg[1] != kSoi)
        return false;
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (jpeg[pos] != kMarker)
            return false;
        const uint8_t marker = jpeg[pos + 1];
        if (marker == kMarker) { // fill byte
            ++pos;
            continue;
        }
        if (marker == kSos || marker == kEoi)
            return false;
        const std::size_t length = static_cast<std::size_t>(ReadBe16(jpeg + pos + 2));
        if (length < 2 || pos + 2 + length > size)
            return false;
        if (visit(marker, jpeg + pos + 4, length - 2))
            return true;
        pos += 2 + length;
    }
    return false;
}

bool ReadJpegFrameSize(const uint8_t* jpeg, std::size_t size, int& width, int& height) {
    return VisitJpegSegments(jpeg, size,
                             [&](uint8_t marker, const uint8_t* payload, std::size_t length) {
                                 if (!IsFrameHeader(marker))
                                     return false;
                                 // Precision, then the height and the width.
                                 if (length < 5 || ReadBe16(payload + 1) == 0 || ReadBe16(payload + 3) == 0)
                                     return true; // malformed: the decoder will say so
                                 height = ReadBe16(payload + 1);
                                 width = ReadBe16(payload + 3);
                                 return true;
                             }) &&
           width > 0 && height > 0;
}

} // namespace aw
