// SPDX-License-Identifier: MIT
#include "album/embeddedpreview.h"

#include <cstring>

#include "album/jpegsegments.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr uint8_t kApp2 = 0xE2;
constexpr char kIndexHeader[] = {'M', 'P', 'F', 0};
constexpr uint16_t kEntryTag = 0xB002;
constexpr std::size_t kIfdEntrySize = 12;
constexpr std::size_t kImageEntrySize = 16;
// Image types of the index (low 24 bits of an entry's attribute): large thumbnails of VGA and full-HD size.
constexpr uint32_t kLargeThumbnailVga = 0x010001;
constexpr uint32_t kLargeThumbnailHd = 0x010002;
constexpr uint32_t kFormatMask = 0x07000000; // 0: JPEG

// Reads the TIFF-ordered fields of the index; every offset is checked by the caller.
struct Fields {
    const uint8_t* base;
    bool bigEndian;
    uint32_t U16(std::size_t at) const { return bigEndian ? ReadBe16(base + at) : ReadLe16(base + at); }
    uint32_t U32(std::size_t at) const { return bigEndian ? ReadBe32(base + at) : ReadLe32(base + at); }
};

// The span of the image entries in the index (a TIFF structure of `size` bytes), or nothing.
std::optional<ByteSpan> ImageEntries(const Fields& index, std::size_t size) {
    if (size < 8)
        return std::nullopt;
    const std::size_t ifd = index.U32(4);
    if (ifd > size || size - ifd < 2)
        return std::nullopt;
    const std::size_t count = index.U16(ifd);
    if ((size - ifd - 2) / kIfdEntrySize < count)
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * kIfdEntrySize;
        if (index.U16(entry) != kEntryTag)
            continue;
        const std::size_t length = index.U32(entry + 4); // bytes of type UNDEFINED
        const std::size_t offset = index.U32(entry + 8);
        if (length < kImageEntrySize || offset > size || size - offset < length)
            return std::nullopt;
        return ByteSpan{index.base + offset, length};
    }
    return std::nullopt;
}

} // namespace

std::optional<ByteSpan> FindEmbeddedPreview(const uint8_t* jpeg, std::size_t size) {
    std::optional<ByteSpan> found;
    VisitJpegSegments(jpeg, size, [&](uint8_t marker, const uint8_t* payload, std::size_t length) {
        if (marker != kApp2 || length < sizeof kIndexHeader ||
            std::memcmp(payload, kIndexHeader, sizeof kIndexHeader) != 0)
            return false;
        // Offsets of the images count from the index's own byte-order mark.
        const uint8_t* base = payload + sizeof kIndexHeader;
        const std::size_t indexSize = length - sizeof kIndexHeader;
        if (indexSize < 8 || !(std::memcmp(base, "II*\0", 4) == 0 || std::memcmp(base, "MM\0*", 4) == 0))
            return true;
        const Fields index{base, base[0] == 'M'};
        const std::optional<ByteSpan> entries = ImageEntries(index, indexSize);
        if (!entries)
            return true;
        const std::size_t available = static_cast<std::size_t>(jpeg + size - base);
        const Fields entry{entries->data, index.bigEndian};
        for (std::size_t at = 0; at + kImageEntrySize <= entries->size; at += kImageEntrySize) {
            const uint32_t attribute = entry.U32(at);
            const uint32_t type = attribute & 0xFFFFFF;
            const std::size_t imageSize = entry.U32(at + 4);
            const std::size_t offset = entry.U32(at + 8);
            if ((type != kLargeThumbnailVga && type != kLargeThumbnailHd) || (attribute & kFormatMask) != 0 ||
                offset == 0 || imageSize < 4 || offset > available || available - offset < imageSize)
                continue;
            const uint8_t* image = base + offset;
            if (image[0] != 0xFF || image[1] != 0xD8 || (found && found->size >= imageSize))
                continue;
            found = ByteSpan{image, imageSize};
        }
        return true;
    });
    return found;
}

} // namespace aw
