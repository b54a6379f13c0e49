// SPDX-License-Identifier: MIT
// Arbitrary bytes as a picture file (JPEG, PNG, WebP, HEIF by their first bytes): the blocks cut out of it
// and decoded, and the edits of a copy without private fields. The edits must be in order, apart, and
// inside the file; the copy they make must show no private field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "metadata/blockdecoder.h"
#include "metadata/filewindow.h"
#include "metadata/metadatablocks.h"
#include "metadata/privacyedits.h"
#include "platform/filebytes.h"
#include "platform/uniquefd.h"

namespace {

aw::UniqueFd InMemory(const std::uint8_t* data, std::size_t size) {
    aw::UniqueFd fd(::memfd_create("picture", 0));
    if (!fd.valid() || aw::WriteAll(fd.get(), data, size) != 0)
        std::abort();
    return fd;
}

aw::PrivateFields Decode(int fd) {
    aw::FileWindow file(fd);
    const aw::MetadataBlocks blocks = aw::CutMetadataBlocks(file, aw::SniffContainer(file));
    aw::DecodedBlocks decoded;
    for (const auto& exif : blocks.exif)
        aw::DecodeExifBlock(exif.data(), exif.size(), decoded);
    for (const auto& xmp : blocks.xmp)
        aw::DecodeXmpBlock(xmp, decoded);
    aw::DecodePhotoshopBlock(blocks.photoshop.data(), blocks.photoshop.size(), decoded);
    decoded.fields |= blocks.containerFields;
    return decoded.fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const aw::UniqueFd fd = InMemory(data, size);
    Decode(fd.get());

    const auto edits = aw::PlanPrivacyEdits(fd.get());
    if (!edits || edits->empty())
        return 0;
    std::size_t end = 0;
    std::string copy;
    for (const aw::ByteSplice& splice : *edits) {
        if (splice.offset < end || splice.offset > size || size - splice.offset < splice.length)
            std::abort();
        copy.append(reinterpret_cast<const char*>(data) + end, splice.offset - end);
        copy.append(splice.bytes.begin(), splice.bytes.end());
        end = splice.offset + splice.length;
    }
    copy.append(reinterpret_cast<const char*>(data) + end, size - end);
    const aw::UniqueFd cleaned = InMemory(reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size());
    if (Decode(cleaned.get()).any())
        std::abort();
    return 0;
}
