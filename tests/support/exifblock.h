// SPDX-License-Identifier: MIT
// EXIF written by hand: ImageMagick records no orientation in its JPEGs, and no EXIF tool is installed.
#pragma once

#include <cstdint>
#include <string>

namespace aw::test {

inline const std::string kSoi("\xFF\xD8", 2);

// Start of image, `segments`, a scan and the end of image.
inline std::string Jpeg(const std::string& segments) {
    return kSoi + segments + std::string("\xFF\xDA\x00\x02\x12\x34\xFF\xD9", 8);
}

// A JPEG marker segment: 0xFF, `marker`, the big-endian length, then `payload`.
inline std::string Segment(uint8_t marker, const std::string& payload) {
    const auto length = static_cast<uint16_t>(payload.size() + 2);
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           payload;
}

// An APP1 payload ("Exif\0\0" and a TIFF structure) whose IFD0, at `ifdOffset` (8: right after the TIFF
// header), holds one entry: the orientation tag 0x0112 of `type` (3 = SHORT) with `value`.
inline std::string ExifPayload(unsigned value, bool bigEndian = false, unsigned type = 3,
                               uint32_t ifdOffset = 8) {
    const uint32_t order = bigEndian ? 0x4D4D : 0x4949; // "MM" or "II"
    const uint32_t fields[][2] = {{order, 2}, {42, 2}, {ifdOffset, 4}, {1, 2}, {0x0112, 2},
                                  {type, 2},  {1, 4},  {value, 2},     {0, 2}, {0, 4}};
    std::string b("Exif\0\0", 6);
    for (const auto& [v, bytes] : fields)
        for (uint32_t i = 0; i < bytes; ++i)
            b += static_cast<char>(v >> 8 * (bigEndian ? bytes - 1 - i : i) & 0xFF);
    return b;
}

} // namespace aw::test
