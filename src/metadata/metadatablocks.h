// SPDX-License-Identifier: MIT
// The metadata blocks of a picture file, cut out of it by this layer with every length checked and every
// block bounded, for exiv2 to decode: it is never given a whole file. JPEG (APP1 EXIF and XMP, APP13
// Photoshop resources), PNG (eXIf, XMP in iTXt, the raw profiles of older writers), WebP (EXIF and XMP
// chunks) and HEIF (its Exif and XMP items, through libheif). Thread-safe (no shared state).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "metadata/privatefields.h"

namespace aw {

class FileWindow;

enum class ContainerFormat { Other, Jpeg, Png, Webp, Heif };

struct MetadataBlocks {
    std::vector<std::vector<std::uint8_t>> exif; // TIFF structures
    std::vector<std::string> xmp;                // XMP packets
    std::vector<std::uint8_t> photoshop;         // image resource blocks (the IPTC record among them)
    PrivateFields containerFields;               // told by the container itself (PNG's Artist text)
};

// What the file's first bytes say it is; movies and anything else are Other.
ContainerFormat SniffContainer(FileWindow& file);

// The blocks of a file of `format`; nothing for Other or a file too damaged to walk.
MetadataBlocks CutMetadataBlocks(FileWindow& file, ContainerFormat format);

} // namespace aw
