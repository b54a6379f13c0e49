// SPDX-License-Identifier: MIT
#include "metadata/jpegblocks.h"

#include <algorithm>
#include <cstring>

#include "metadata/filewindow.h"
#include "metadata/jpegsegments.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kApp2 = 0xE2;
constexpr std::uint8_t kApp13 = 0xED;
constexpr std::size_t kFirstRead = 64 * 1024;

constexpr std::string_view kExifHeader("Exif\0\0", 6);
constexpr std::string_view kXmpHeader("http://ns.adobe.com/xap/1.0/\0", 29);
constexpr std::string_view kXmpExtensionHeader("http://ns.adobe.com/xmp/extension/\0", 35);
constexpr std::string_view kPhotoshopHeader("Photoshop 3.0\0", 14);
constexpr std::string_view kMultiPictureHeader("MPF\0", 4);

bool StartsWith(const std::uint8_t* payload, std::size_t size, std::string_view header) {
    return size >= header.size() && std::memcmp(payload, header.data(), header.size()) == 0;
}

// Whether the walk that ended at `end` stopped for want of bytes rather than at a scan or at damage.
bool NeedsMore(const std::vector<std::uint8_t>& bytes, std::size_t end) {
    while (end + 1 < bytes.size() && bytes[end] == 0xFF && bytes[end + 1] == 0xFF)
        ++end; // fill bytes
    if (end + 4 > bytes.size())
        return true;
    const std::uint8_t marker = bytes[end + 1];
    if (bytes[end] != 0xFF || marker == 0xDA || marker == 0xD9)
        return false;
    return end + 2 + ReadBe16(bytes.data() + end + 2) > bytes.size();
}

} // namespace

JpegBlockKind KindOfSegment(std::uint8_t marker, const std::uint8_t* payload, std::size_t size,
                            std::size_t& headerSize) {
    const std::pair<std::uint8_t, std::string_view> headers[] = {{kApp1, kExifHeader},
                                                                 {kApp1, kXmpHeader},
                                                                 {kApp1, kXmpExtensionHeader},
                                                                 {kApp13, kPhotoshopHeader},
                                                                 {kApp2, kMultiPictureHeader}};
    constexpr JpegBlockKind kinds[] = {JpegBlockKind::Exif, JpegBlockKind::Xmp, JpegBlockKind::XmpExtension,
                                       JpegBlockKind::Photoshop, JpegBlockKind::MultiPicture};
    for (std::size_t i = 0; i < std::size(headers); ++i) {
        if (marker == headers[i].first && StartsWith(payload, size, headers[i].second)) {
            headerSize = headers[i].second.size();
            return kinds[i];
        }
    }
    headerSize = 0;
    return JpegBlockKind::Other;
}

bool ReadJpegHead(FileWindow& file, std::uint64_t offset, JpegHead& head) {
    head = {};
    if (offset >= file.size())
        return false;
    const std::uint64_t available = std::min<std::uint64_t>(file.size() - offset, kJpegHeadLimit);
    std::size_t want = kFirstRead;
    for (;;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(want, available));
        if (!file.Read(offset, count, head.bytes) || count < 4 || head.bytes[0] != 0xFF ||
            head.bytes[1] != 0xD8)
            return false;
        head.segments.clear();
        std::size_t end = 2;
        const std::uint8_t* start = head.bytes.data();
        VisitJpegSegments(start, head.bytes.size(),
                          [&](std::uint8_t marker, const std::uint8_t* payload, std::size_t size) {
                              const auto at = static_cast<std::size_t>(payload - start) - 4;
                              head.segments.push_back({marker, at, size + 4});
                              end = at + size + 4;
                              return false;
                          });
        // Cut at the limit or at the file's end: what was read is all there is.
        if (count == available || !NeedsMore(head.bytes, end)) {
            head.bytes.resize(end);
            return true;
        }
        want = count * 4;
    }
}

JpegSegmentBlock BlockOfSegment(const JpegHead& head, const JpegSegment& segment) {
    JpegSegmentBlock found;
    found.payload = head.bytes.data() + segment.payload();
    found.kind = KindOfSegment(segment.marker, found.payload, segment.payloadSize(), found.headerSize);
    found.block = found.payload + found.headerSize;
    found.size = segment.payloadSize() - found.headerSize;
    return found;
}

void CutJpegBlocks(const JpegHead& head, MetadataBlocks& blocks) {
    for (const JpegSegment& segment : head.segments) {
        const auto [kind, payload, headerSize, block, size] = BlockOfSegment(head, segment);
        switch (kind) {
        case JpegBlockKind::Exif:
            blocks.exif.emplace_back(block, block + size);
            break;
        case JpegBlockKind::Xmp:
            blocks.xmp.emplace_back(reinterpret_cast<const char*>(block), size);
            break;
        case JpegBlockKind::Photoshop:
            // Resources too large for one segment continue in the next.
            blocks.photoshop.insert(blocks.photoshop.end(), block, block + size);
            break;
        default:
            break;
        }
    }
}

} // namespace aw
