#include "support/exifblock.h"

namespace aw::test {

std::string Segment(uint8_t marker, const std::string& payload) {
    const std::size_t length = payload.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length)} +
           payload;
}

std::string ExifPayload(unsigned value, bool bigEndian, unsigned type, uint32_t ifdOffset) {
    // "MM" or "II", 42, the offset of IFD0; one entry (tag, type, one value, the value padded); no next IFD.
    const uint32_t order = bigEndian ? 0x4D4D : 0x4949;
    const uint32_t fields[][2] = {{order, 2}, {42, 2}, {ifdOffset, 4}, {1, 2}, {0x0112, 2},
                                  {type, 2},  {1, 4},  {value, 2},     {0, 2}, {0, 4}};
    std::string b("Exif\0\0", 6);
    for (const auto& [v, bytes] : fields)
        for (uint32_t i = 0; i < bytes; ++i)
            b += static_cast<char>(v >> 8 * (bigEndian ? bytes - 1 - i : i) & 0xFF);
    return b;
}

} // namespace aw::test
