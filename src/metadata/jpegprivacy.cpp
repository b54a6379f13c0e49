// SPDX-License-Identifier: MIT
#include "metadata/jpegprivacy.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "metadata/blockcleaner.h"
#include "metadata/filewindow.h"
#include "metadata/jpegblocks.h"
#include "metadata/multipictureindex.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr std::size_t kLargestSegment = 65535;     // what a segment's length field can say, itself included
constexpr std::size_t kExtensionHead = 32 + 4 + 4; // GUID, full length, offset
constexpr std::size_t kMostPictures = 64;
// The copy's bytes after an edit keep their place within the kernel's copy unit (filecopy.cpp) when the
// edits before them change the length by whole units: that keeps the copy as fast as a plain one.
constexpr std::size_t kCopyUnit = 64 * 1024;

using Bytes = std::vector<std::uint8_t>;

// A segment of `marker` holding `header` then `body`; nothing when it does not fit in one.
std::optional<Bytes> MakeSegment(std::uint8_t marker, const std::uint8_t* header, std::size_t headerSize,
                                 const std::uint8_t* body, std::size_t bodySize) {
    const std::size_t length = 2 + headerSize + bodySize;
    if (length > kLargestSegment)
        return std::nullopt;
    Bytes segment{0xFF, marker, static_cast<std::uint8_t>(length >> 8),
                  static_cast<std::uint8_t>(length & 0xFF)};
    segment.insert(segment.end(), header, header + headerSize);
    segment.insert(segment.end(), body, body + bodySize);
    return segment;
}

// Whether the extended XMP packet spread over `parts` must go: it carries private fields, or it cannot be
// put together and read, so nobody can tell.
bool ExtensionMustGo(const JpegHead& head, const std::vector<const JpegSegment*>& parts) {
    Bytes packet;
    std::string guid;
    for (const JpegSegment* part : parts) {
        const JpegSegmentBlock found = BlockOfSegment(head, *part);
        if (found.size < kExtensionHead)
            return true;
        const std::uint8_t* chunk = found.block;
        const std::string id(reinterpret_cast<const char*>(chunk), 32);
        const std::size_t full = ReadBe32(chunk + 32);
        const std::size_t offset = ReadBe32(chunk + 36);
        const std::size_t size = found.size - kExtensionHead;
        if (guid.empty()) {
            guid = id;
            if (full > kJpegHeadLimit)
                return true;
            packet.assign(full, ' ');
        }
        if (id != guid || full != packet.size() || offset > full || full - offset < size)
            return true;
        std::memcpy(packet.data() + offset, chunk + kExtensionHead, size);
    }
    std::string cleaned;
    return CleanXmpBlock({reinterpret_cast<const char*>(packet.data()), packet.size()}, false, cleaned) !=
           CleanedBlock::Unchanged;
}

// Lengthens the rewritten segment `segment` by `pad` bytes that no reader looks at: zeros after the TIFF
// structure of EXIF, blanks at the end of an XMP packet (before its trailer, as packets are padded).
bool Pad(Bytes& segment, bool xmp, std::size_t pad) {
    const std::size_t length = segment.size() - 2 + pad;
    if (length > kLargestSegment)
        return false;
    auto at = segment.end();
    if (xmp) {
        static constexpr std::string_view kTrailer = "<?xpacket end";
        const auto trailer = std::search(segment.begin(), segment.end(), kTrailer.begin(), kTrailer.end());
        if (trailer != segment.end())
            at = trailer;
    }
    segment.insert(at, pad, xmp ? ' ' : 0);
    segment[2] = static_cast<std::uint8_t>(length >> 8);
    segment[3] = static_cast<std::uint8_t>(length & 0xFF);
    return true;
}

// Pads one of the rewritten segments among `edits` so that they shorten the picture by whole copy units.
void KeepPagePlaces(std::vector<ByteSplice>& edits,
                    const std::vector<std::pair<std::size_t, bool>>& rewritten) {
    std::int64_t change = 0;
    for (const ByteSplice& edit : edits)
        change += static_cast<std::int64_t>(edit.bytes.size()) - static_cast<std::int64_t>(edit.length);
    if (change >= 0)
        return;
    const std::size_t pad = static_cast<std::size_t>(-change) % kCopyUnit;
    // XMP packets are made to be padded; EXIF takes zeros after its structure when there is no packet.
    for (const bool xmp : {true, false})
        for (const auto& [index, isXmp] : rewritten)
            if (pad == 0 || (isXmp == xmp && Pad(edits[index].bytes, xmp, pad)))
                return;
}

// The edits of one picture whose head begins at `at` in the file; false when it cannot be cleaned.
bool PlanPicture(const JpegHead& head, std::uint64_t at, std::vector<ByteSplice>& splices) {
    std::vector<ByteSplice> edits;
    std::vector<std::pair<std::size_t, bool>> rewritten; // which edits may be padded, and whether XMP
    std::vector<const JpegSegment*> extension;
    for (const JpegSegment& segment : head.segments)
        if (BlockOfSegment(head, segment).kind == JpegBlockKind::XmpExtension)
            extension.push_back(&segment);
    const bool dropExtension = !extension.empty() && ExtensionMustGo(head, extension);
    for (const JpegSegment& segment : head.segments) {
        const auto [kind, payload, headerSize, block, blockSize] = BlockOfSegment(head, segment);
        CleanedBlock outcome = CleanedBlock::Unchanged;
        Bytes exif;
        std::string xmp;
        if (kind == JpegBlockKind::Exif)
            outcome = CleanExifBlock(block, blockSize, exif);
        else if (kind == JpegBlockKind::Xmp)
            outcome = CleanXmpBlock({reinterpret_cast<const char*>(block), blockSize}, dropExtension, xmp);
        else if (kind == JpegBlockKind::XmpExtension && dropExtension)
            outcome = CleanedBlock::Emptied;
        ByteSplice splice{static_cast<std::size_t>(at + segment.start), segment.length, {}};
        switch (outcome) {
        case CleanedBlock::Unchanged:
            continue;
        case CleanedBlock::Failed:
            return false;
        case CleanedBlock::Emptied:
        case CleanedBlock::Unreadable:
            break;
        case CleanedBlock::Rewritten: {
            const auto* body =
                kind == JpegBlockKind::Exif ? exif.data() : reinterpret_cast<const std::uint8_t*>(xmp.data());
            const std::optional<Bytes> made =
                MakeSegment(segment.marker, payload, headerSize, body,
                            kind == JpegBlockKind::Exif ? exif.size() : xmp.size());
            if (!made)
                return false;
            splice.bytes = *made;
            rewritten.emplace_back(edits.size(), kind == JpegBlockKind::Xmp);
            break;
        }
        }
        edits.push_back(std::move(splice));
    }
    KeepPagePlaces(edits, rewritten);
    splices.insert(splices.end(), std::make_move_iterator(edits.begin()),
                   std::make_move_iterator(edits.end()));
    return true;
}

// Where a position of the source lands in the copy.
std::uint64_t Moved(std::uint64_t position, const std::vector<ByteSplice>& splices) {
    std::int64_t shift = 0;
    for (const ByteSplice& splice : splices)
        if (splice.offset + splice.length <= position)
            shift +=
                static_cast<std::int64_t>(splice.bytes.size()) - static_cast<std::int64_t>(splice.length);
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(position) + shift);
}

} // namespace

bool PlanJpegPrivacyEdits(FileWindow& file, std::vector<ByteSplice>& splices) {
    JpegHead head;
    if (!ReadJpegHead(file, 0, head) || !PlanPicture(head, 0, splices))
        return false;
    const JpegSegment* indexSegment = nullptr;
    std::optional<MultiPictureIndex> index;
    for (const JpegSegment& segment : head.segments) {
        std::size_t headerSize = 0;
        const std::uint8_t* payload = head.bytes.data() + segment.payload();
        if (KindOfSegment(segment.marker, payload, segment.payloadSize(), headerSize) ==
                JpegBlockKind::MultiPicture &&
            (index = ReadMultiPictureIndex(payload, segment.payloadSize()))) {
            indexSegment = &segment;
            break;
        }
    }
    if (!indexSegment)
        return true;
    const std::uint64_t base = indexSegment->payload() + index->base;
    // The pictures after the main one, in file order, each wholly after the one before.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pictures;
    for (const MultiPictureEntry& entry : index->entries)
        if (entry.offset != 0 && pictures.size() < kMostPictures)
            pictures.emplace_back(base + entry.offset, base + entry.offset + entry.size);
    std::sort(pictures.begin(), pictures.end());
    std::uint64_t nextFree = head.bytes.size();
    for (const auto& [start, end] : pictures) {
        JpegHead picture;
        if (start < nextFree || end > file.size() || !ReadJpegHead(file, start, picture))
            continue;
        if (!PlanPicture(picture, start, splices))
            return false;
        nextFree = start + picture.bytes.size();
    }
    std::sort(splices.begin(), splices.end(),
              [](const ByteSplice& a, const ByteSplice& b) { return a.offset < b.offset; });
    for (std::size_t i = 1; i < splices.size(); ++i)
        if (splices[i].offset < splices[i - 1].offset + splices[i - 1].length)
            return false;
    // The index counts its pictures' places from its byte-order mark: each moves with the edits before it.
    Bytes patched(head.bytes.begin() + static_cast<std::ptrdiff_t>(indexSegment->start),
                  head.bytes.begin() +
                      static_cast<std::ptrdiff_t>(indexSegment->start + indexSegment->length));
    const std::uint64_t movedBase = Moved(base, splices);
    for (const MultiPictureEntry& entry : index->entries) {
        const std::uint64_t start = entry.offset == 0 ? 0 : base + entry.offset;
        const std::uint64_t newStart = Moved(start, splices);
        const std::uint64_t newSize = Moved(start + entry.size, splices) - newStart;
        const std::uint64_t newOffset = entry.offset == 0 ? 0 : newStart - movedBase;
        if (newSize > UINT32_MAX || newOffset > UINT32_MAX)
            return false;
        std::uint8_t* field = patched.data() + 4 + entry.sizeAt;
        WriteIndexField(field, static_cast<std::uint32_t>(newSize), index->bigEndian);
        WriteIndexField(field + 4, static_cast<std::uint32_t>(newOffset), index->bigEndian);
    }
    if (std::equal(patched.begin(), patched.end(),
                   head.bytes.begin() + static_cast<std::ptrdiff_t>(indexSegment->start)))
        return true;
    ByteSplice fix{indexSegment->start, indexSegment->length, std::move(patched)};
    splices.insert(
        std::upper_bound(splices.begin(), splices.end(), fix,
                         [](const ByteSplice& a, const ByteSplice& b) { return a.offset < b.offset; }),
        std::move(fix));
    return true;
}

} // namespace aw
