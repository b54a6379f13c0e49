// SPDX-License-Identifier: MIT
#include "metadata/multipictureindex.h"

#include <cstring>

#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr char kHeader[] = {'M', 'P', 'F', 0};
constexpr std::uint16_t kEntryTag = 0xB002;
constexpr std::size_t kIfdEntrySize = 12;
constexpr std::size_t kImageEntrySize = 16;

// Reads the TIFF-ordered fields of the index; every offset is checked by the caller.
struct Fields {
    const std::uint8_t* base;
    bool bigEndian;
    std::uint32_t U16(std::size_t at) const { return bigEndian ? ReadBe16(base + at) : ReadLe16(base + at); }
    std::uint32_t U32(std::size_t at) const { return bigEndian ? ReadBe32(base + at) : ReadLe32(base + at); }
};

} // namespace

std::optional<MultiPictureIndex> ReadMultiPictureIndex(const std::uint8_t* payload, std::size_t size) {
    if (payload == nullptr || size < sizeof kHeader + 8 || std::memcmp(payload, kHeader, sizeof kHeader) != 0)
        return std::nullopt;
    const std::uint8_t* base = payload + sizeof kHeader;
    const std::size_t tiffSize = size - sizeof kHeader;
    if (std::memcmp(base, "II*\0", 4) != 0 && std::memcmp(base, "MM\0*", 4) != 0)
        return std::nullopt;
    const Fields index{base, base[0] == 'M'};
    const std::size_t ifd = index.U32(4);
    if (ifd > tiffSize || tiffSize - ifd < 2)
        return std::nullopt;
    const std::size_t count = index.U16(ifd);
    if ((tiffSize - ifd - 2) / kIfdEntrySize < count)
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t field = ifd + 2 + i * kIfdEntrySize;
        if (index.U16(field) != kEntryTag)
            continue;
        const std::size_t length = index.U32(field + 4); // bytes of type UNDEFINED
        const std::size_t offset = index.U32(field + 8);
        if (length < kImageEntrySize || offset > tiffSize || tiffSize - offset < length)
            return std::nullopt;
        MultiPictureIndex result{sizeof kHeader, index.bigEndian, {}};
        for (std::size_t at = offset; at + kImageEntrySize <= offset + length; at += kImageEntrySize)
            result.entries.push_back(
                {index.U32(at), index.U32(at + 4), index.U32(at + 8), sizeof kHeader + at + 4});
        return result;
    }
    return std::nullopt;
}

void WriteIndexField(std::uint8_t* at, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
}

} // namespace aw
