#include "support/exifblock.h"

namespace aw::test {
namespace {

void Append16(std::vector<uint8_t>& b, unsigned v, bool bigEndian) {
    const auto high = static_cast<uint8_t>(v >> 8 & 0xFF);
    const auto low = static_cast<uint8_t>(v & 0xFF);
    b.push_back(bigEndian ? high : low);
    b.push_back(bigEndian ? low : high);
}

void Append32(std::vector<uint8_t>& b, uint32_t v, bool bigEndian) {
    Append16(b, bigEndian ? v >> 16 : v & 0xFFFF, bigEndian);
    Append16(b, bigEndian ? v & 0xFFFF : v >> 16, bigEndian);
}

} // namespace

std::vector<uint8_t> ExifOrientationBlock(unsigned value, bool bigEndian, unsigned type, uint32_t ifdOffset) {
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    if (bigEndian)
        b.insert(b.end(), {'M', 'M', 0, 42});
    else
        b.insert(b.end(), {'I', 'I', 42, 0});
    Append32(b, ifdOffset, bigEndian);
    Append16(b, 1, bigEndian); // one entry
    Append16(b, 0x0112, bigEndian);
    Append16(b, type, bigEndian);
    Append32(b, 1, bigEndian);
    Append16(b, value, bigEndian);
    Append16(b, 0, bigEndian);
    Append32(b, 0, bigEndian); // no next IFD
    return b;
}

std::string InsertApp1(const std::string& jpeg, const std::vector<uint8_t>& block) {
    std::vector<uint8_t> segment = {0xFF, 0xE1};
    Append16(segment, static_cast<unsigned>(block.size() + 2), true);
    segment.insert(segment.end(), block.begin(), block.end());
    std::string out = jpeg.substr(0, 2);
    out.append(segment.begin(), segment.end());
    out.append(jpeg, 2, std::string::npos);
    return out;
}

} // namespace aw::test
