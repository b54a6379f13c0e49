// SPDX-License-Identifier: MIT
#include "metadata/privacyedits.h"

#include <string>

#include "metadata/blockcleaner.h"
#include "metadata/blockdecoder.h"
#include "metadata/filewindow.h"
#include "metadata/jpegprivacy.h"
#include "metadata/metadatablocks.h"
#include "metadata/pngblocks.h"
#include "metadata/webpblocks.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kExifPrefix{'E', 'x', 'i', 'f', 0, 0};

// The cleaned content of a block: nothing to do (Unchanged), a new body (Rewritten), or the block's
// removal (Emptied, Unreadable); Failed stops the plan.
CleanedBlock Clean(bool xmp, const Bytes& data, Bytes& body) {
    if (!xmp)
        return CleanExifBlock(data.data(), data.size(), body);
    std::string packet;
    const CleanedBlock outcome =
        CleanXmpBlock({reinterpret_cast<const char*>(data.data()), data.size()}, false, packet);
    body.assign(packet.begin(), packet.end());
    return outcome;
}

std::optional<std::vector<ByteSplice>> PlanPng(FileWindow& file) {
    std::vector<ByteSplice> splices;
    bool failed = false;
    VisitPngBlocks(file, [&](PngBlock&& block) {
        const bool xmp = block.kind == PngBlockKind::Xmp || block.kind == PngBlockKind::RawXmp;
        const bool raw = block.kind == PngBlockKind::RawExif || block.kind == PngBlockKind::RawXmp;
        Bytes body;
        const CleanedBlock outcome =
            block.kind == PngBlockKind::Artist ? CleanedBlock::Emptied : Clean(xmp, block.data, body);
        if (outcome == CleanedBlock::Unchanged)
            return;
        ByteSplice splice{static_cast<std::size_t>(block.start), static_cast<std::size_t>(block.length), {}};
        // The hexadecimal profiles of older writers go whole: readers of today look for the chunks below.
        if (outcome == CleanedBlock::Rewritten && !raw) {
            if (xmp) {
                static const std::string kHeader("XML:com.adobe.xmp\0\0\0\0\0", 22);
                body.insert(body.begin(), kHeader.begin(), kHeader.end());
                splice.bytes = MakePngChunk("iTXt", body);
            } else {
                if (block.exifPrefix)
                    body.insert(body.begin(), kExifPrefix.begin(), kExifPrefix.end());
                splice.bytes = MakePngChunk("eXIf", body);
            }
        } else if (outcome == CleanedBlock::Failed) {
            failed = true;
        }
        splices.push_back(std::move(splice));
    });
    if (failed)
        return std::nullopt;
    return splices;
}

std::optional<std::vector<ByteSplice>> PlanWebp(FileWindow& file) {
    std::vector<ByteSplice> splices;
    bool failed = false;
    bool extended = false;
    std::uint8_t dropped = 0; // flags of the kinds of chunk removed
    std::int64_t growth = 0;
    VisitWebpBlocks(file, extended, [&](WebpBlock&& block) {
        Bytes body;
        const CleanedBlock outcome = Clean(block.xmp, block.data, body);
        if (outcome == CleanedBlock::Unchanged)
            return;
        ByteSplice splice{static_cast<std::size_t>(block.start), static_cast<std::size_t>(block.length), {}};
        if (outcome == CleanedBlock::Failed) {
            failed = true;
        } else if (outcome == CleanedBlock::Rewritten) {
            if (block.exifPrefix)
                body.insert(body.begin(), kExifPrefix.begin(), kExifPrefix.end());
            splice.bytes = MakeWebpChunk(block.xmp ? "XMP " : "EXIF", body);
        } else {
            dropped |= block.xmp ? kWebpXmpFlag : kWebpExifFlag;
        }
        growth += static_cast<std::int64_t>(splice.bytes.size()) - static_cast<std::int64_t>(splice.length);
        splices.push_back(std::move(splice));
    });
    if (failed)
        return std::nullopt;
    if (splices.empty())
        return splices;
    // The container's size, and the extended header's flags for a kind of chunk no longer there.
    const std::uint8_t* header = file.At(0, 4 + 4);
    const std::uint64_t riffSize = header ? ReadLe32(header + 4) : 0;
    const std::int64_t newSize = static_cast<std::int64_t>(riffSize) + growth;
    if (!header || newSize < 4 || newSize > INT64_C(0xFFFFFFFF))
        return std::nullopt;
    ByteSplice size{4, 4, {}};
    AppendLe32(size.bytes, static_cast<std::uint32_t>(newSize));
    splices.insert(splices.begin(), std::move(size));
    if (extended && dropped != 0) {
        const std::uint8_t* flags = file.At(kWebpFlagsAt, 1);
        if (!flags)
            return std::nullopt;
        splices.insert(splices.begin() + 1,
                       ByteSplice{kWebpFlagsAt, 1, {static_cast<std::uint8_t>(*flags & ~dropped)}});
    }
    return splices;
}

// Formats whose blocks are read but not rewritten: fine while nothing private is in them.
std::optional<std::vector<ByteSplice>> RefuseIfPrivate(FileWindow& file, ContainerFormat format) {
    const MetadataBlocks blocks = CutMetadataBlocks(file, format);
    DecodedBlocks decoded;
    for (const Bytes& exif : blocks.exif)
        DecodeExifBlock(exif.data(), exif.size(), decoded);
    for (const std::string& xmp : blocks.xmp)
        DecodeXmpBlock(xmp, decoded);
    if (decoded.fields.any() || blocks.containerFields.any())
        return std::nullopt;
    return std::vector<ByteSplice>{};
}

} // namespace

std::optional<std::vector<ByteSplice>> PlanPrivacyEdits(int fd) {
    FileWindow file(fd);
    switch (const ContainerFormat format = SniffContainer(file)) {
    case ContainerFormat::Jpeg: {
        std::vector<ByteSplice> splices;
        if (!PlanJpegPrivacyEdits(file, splices))
            return std::nullopt;
        return splices;
    }
    case ContainerFormat::Png:
        return PlanPng(file);
    case ContainerFormat::Webp:
        return PlanWebp(file);
    default:
        return RefuseIfPrivate(file, format);
    }
}

} // namespace aw
