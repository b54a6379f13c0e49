// SPDX-License-Identifier: MIT
// The metadata chunks of a PNG file: eXIf (EXIF), iTXt "XML:com.adobe.xmp" (XMP, compressed or not), the
// hexadecimal "Raw profile type exif/APP1/xmp" text chunks that older writers used, and "Artist" text. Chunks
// are walked by their headers (the picture data is skipped, never read); metadata chunks are read whole up to
// kPngBlockLimit, compressed text inflated up to the same bound. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "metadata/metadatablocks.h"

namespace aw {

class FileWindow;

constexpr std::size_t kPngBlockLimit = 8 * 1024 * 1024;

// Artist: a text chunk of that keyword, where writers put EXIF's Artist for PNG's own readers.
enum class PngBlockKind { Exif, Xmp, RawExif, RawXmp, Artist };

struct PngBlock {
    PngBlockKind kind = PngBlockKind::Exif;
    std::uint64_t start = 0;        // the chunk's length field in the file
    std::uint64_t length = 0;       // the whole chunk: length, type, data and CRC
    bool exifPrefix = false;        // an eXIf chunk whose data begins with "Exif\0\0"
    std::vector<std::uint8_t> data; // TIFF structure or XMP packet, decoded
};

// Calls `visit` for each metadata chunk in file order; false when the file is no PNG or its chunks are
// damaged before the end (the blocks seen until then were visited).
bool VisitPngBlocks(FileWindow& file, const std::function<void(PngBlock&&)>& visit);

void CutPngBlocks(FileWindow& file, MetadataBlocks& blocks);

// A chunk of `type` (four letters) around `data`, with its CRC.
std::vector<std::uint8_t> MakePngChunk(const char* type, const std::vector<std::uint8_t>& data);

} // namespace aw
