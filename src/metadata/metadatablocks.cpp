// SPDX-License-Identifier: MIT
#include "metadata/metadatablocks.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "metadata/filewindow.h"
#include "metadata/heifblocks.h"
#include "metadata/jpegblocks.h"
#include "metadata/pngblocks.h"
#include "metadata/webpblocks.h"

namespace aw {
namespace {

// Brands of HEIF still pictures and sequences (movies in the same box format carry others).
constexpr std::string_view kHeifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"};

bool IsHeifBrand(const std::uint8_t* brand) {
    for (const std::string_view known : kHeifBrands)
        if (std::memcmp(brand, known.data(), 4) == 0)
            return true;
    return false;
}

bool IsHeif(FileWindow& file) {
    const std::uint8_t* box = file.At(0, 16);
    if (box == nullptr || std::memcmp(box + 4, "ftyp", 4) != 0)
        return false;
    // The major brand, then the compatible ones after the minor version, within the box's own size.
    const std::size_t size = std::min<std::size_t>(
        (std::size_t{box[0]} << 24) | (std::size_t{box[1]} << 16) | (std::size_t{box[2]} << 8) | box[3], 256);
    const std::uint8_t* brands = file.At(0, size);
    if (brands == nullptr || size < 16)
        return false;
    if (IsHeifBrand(brands + 8))
        return true;
    for (std::size_t at = 16; at + 4 <= size; at += 4)
        if (IsHeifBrand(brands + at))
            return true;
    return false;
}

} // namespace

ContainerFormat SniffContainer(FileWindow& file) {
    const std::uint8_t* start = file.At(0, 12);
    if (start == nullptr)
        return ContainerFormat::Other;
    if (start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF)
        return ContainerFormat::Jpeg;
    if (std::memcmp(start, "\x89PNG\r\n\x1A\n", 8) == 0)
        return ContainerFormat::Png;
    if (std::memcmp(start, "RIFF", 4) == 0 && std::memcmp(start + 8, "WEBP", 4) == 0)
        return ContainerFormat::Webp;
    return IsHeif(file) ? ContainerFormat::Heif : ContainerFormat::Other;
}

MetadataBlocks CutMetadataBlocks(FileWindow& file, ContainerFormat format) {
    MetadataBlocks blocks;
    switch (format) {
    case ContainerFormat::Jpeg: {
        JpegHead head;
        if (ReadJpegHead(file, 0, head))
            CutJpegBlocks(head, blocks);
        break;
    }
    case ContainerFormat::Png:
        CutPngBlocks(file, blocks);
        break;
    case ContainerFormat::Webp:
        CutWebpBlocks(file, blocks);
        break;
    case ContainerFormat::Heif:
        CutHeifBlocks(file, blocks);
        break;
    case ContainerFormat::Other:
        break;
    }
    return blocks;
}

} // namespace aw
