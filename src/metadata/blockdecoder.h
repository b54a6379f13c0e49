// SPDX-License-Identifier: MIT
// Decodes the metadata blocks cut out of a file (never a whole file) with exiv2, into what the album uses:
// the texts that may be a caption, the dates taken, and the private fields present. Every block is
// decoded from bytes this layer bounded itself; a block exiv2 cannot read tells nothing. Thread-safe
// (XMP decoding is serialised; see exivsetup.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "metadata/privatefields.h"
#include "metadata/takentime.h"

namespace aw {

struct DecodedBlocks {
    std::string xmpDescription;         // dc:description, its default language else its first
    std::string iptcCaption;            // IPTC Caption-Abstract
    std::string exifDescription;        // EXIF ImageDescription
    std::string make, model;            // the camera's, to tell its boilerplate from a caption
    std::optional<TakenTime> exifTaken; // DateTimeOriginal with OffsetTimeOriginal and sub-seconds
    std::optional<TakenTime>
        xmpTaken; // exif:DateTimeOriginal, else photoshop:DateCreated, else xmp:CreateDate
    PrivateFields fields;
};

// A TIFF structure (EXIF without the "Exif\0\0" of its JPEG segment).
void DecodeExifBlock(const std::uint8_t* tiff, std::size_t size, DecodedBlocks& into);
// An XMP packet.
void DecodeXmpBlock(std::string_view packet, DecodedBlocks& into);
// Photoshop's image resource blocks (a JPEG's APP13 after its "Photoshop 3.0\0"); only the IPTC one is read.
void DecodePhotoshopBlock(const std::uint8_t* resources, std::size_t size, DecodedBlocks& into);

} // namespace aw
