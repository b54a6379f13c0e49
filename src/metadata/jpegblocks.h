// SPDX-License-Identifier: MIT
// The segments of a JPEG picture before its first scan, read from a file in bounded steps (the picture
// data after them is never read), and the metadata blocks among them. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "metadata/metadatablocks.h"

namespace aw {

class FileWindow;

// The longest run of segments read before a scan: every real camera's fit in a small part of it.
constexpr std::size_t kJpegHeadLimit = 16 * 1024 * 1024;

struct JpegSegment {
    std::uint8_t marker = 0;
    std::size_t start = 0;  // of its 0xFF in the head
    std::size_t length = 0; // the whole segment: marker, length field and payload
    std::size_t payload() const { return start + 4; }
    std::size_t payloadSize() const { return length - 4; }
};

enum class JpegBlockKind { Other, Exif, Xmp, XmpExtension, Photoshop, MultiPicture };

// What an APP segment's payload holds, and how many bytes of it are the header naming that.
JpegBlockKind KindOfSegment(std::uint8_t marker, const std::uint8_t* payload, std::size_t size,
                            std::size_t& headerSize);

struct JpegHead {
    std::vector<std::uint8_t> bytes;   // from the start of image
    std::vector<JpegSegment> segments; // in file order, up to the first scan or the first damage
};

// A segment of a head as what it holds: its kind, its payload, and the block after the header naming it.
struct JpegSegmentBlock {
    JpegBlockKind kind = JpegBlockKind::Other;
    const std::uint8_t* payload = nullptr;
    std::size_t headerSize = 0;
    const std::uint8_t* block = nullptr;
    std::size_t size = 0; // of the block
};
JpegSegmentBlock BlockOfSegment(const JpegHead& head, const JpegSegment& segment);

// Reads the head of the JPEG that begins at `offset`; false when no JPEG begins there.
bool ReadJpegHead(FileWindow& file, std::uint64_t offset, JpegHead& head);

// Adds the EXIF, XMP and Photoshop blocks of `head` to `blocks`.
void CutJpegBlocks(const JpegHead& head, MetadataBlocks& blocks);

} // namespace aw
