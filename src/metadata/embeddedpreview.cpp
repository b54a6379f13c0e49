// SPDX-License-Identifier: MIT
#include "metadata/embeddedpreview.h"

#include "metadata/jpegsegments.h"
#include "metadata/multipictureindex.h"

namespace aw {
namespace {

constexpr uint8_t kApp2 = 0xE2;
// Image types of the index (low 24 bits of an entry's attribute): large thumbnails of VGA and full-HD size.
constexpr uint32_t kLargeThumbnailVga = 0x010001;
constexpr uint32_t kLargeThumbnailHd = 0x010002;
constexpr uint32_t kFormatMask = 0x07000000; // 0: JPEG

} // namespace

std::optional<ByteSpan> FindEmbeddedPreview(const uint8_t* jpeg, std::size_t size) {
    std::optional<ByteSpan> found;
    VisitJpegSegments(jpeg, size, [&](uint8_t marker, const uint8_t* payload, std::size_t length) {
        if (marker != kApp2)
            return false;
        const std::optional<MultiPictureIndex> index = ReadMultiPictureIndex(payload, length);
        if (!index)
            return false;
        // Offsets of the images count from the index's own byte-order mark.
        const uint8_t* base = payload + index->base;
        const std::size_t available = static_cast<std::size_t>(jpeg + size - base);
        for (const MultiPictureEntry& entry : index->entries) {
            const uint32_t type = entry.attribute & 0xFFFFFF;
            const std::size_t imageSize = entry.size;
            const std::size_t offset = entry.offset;
            if ((type != kLargeThumbnailVga && type != kLargeThumbnailHd) ||
                (entry.attribute & kFormatMask) != 0 || offset == 0 || imageSize < 4 || offset > available ||
                available - offset < imageSize)
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
