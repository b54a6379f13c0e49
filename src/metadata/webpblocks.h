// SPDX-License-Identifier: MIT
// The metadata chunks of a WebP file (its RIFF container's "EXIF" and "XMP " chunks), found by walking the
// chunk headers; the picture data is never read. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "metadata/metadatablocks.h"

namespace aw {

class FileWindow;

constexpr std::size_t kWebpBlockLimit = 8 * 1024 * 1024;
// Where the extended format's flags lie (the first byte of a VP8X chunk right after the file header), and
// the flags that announce the two metadata chunks.
constexpr std::uint64_t kWebpFlagsAt = 20;
constexpr std::uint8_t kWebpExifFlag = 0x08;
constexpr std::uint8_t kWebpXmpFlag = 0x04;

struct WebpBlock {
    bool xmp = false;
    std::uint64_t start = 0;        // the chunk's four letters in the file
    std::uint64_t length = 0;       // the whole chunk with its header and padding byte
    bool exifPrefix = false;        // EXIF data that begins with "Exif\0\0", as some writers put it
    std::vector<std::uint8_t> data; // TIFF structure or XMP packet
};

// Calls `visit` for each metadata chunk in file order; false when the file is no WebP or its chunks are
// damaged. `extended` tells whether the file begins with a VP8X chunk (whose flags name the metadata).
bool VisitWebpBlocks(FileWindow& file, bool& extended, const std::function<void(WebpBlock&&)>& visit);

void CutWebpBlocks(FileWindow& file, MetadataBlocks& blocks);

// A chunk of `type` around `data`, padded to an even length.
std::vector<std::uint8_t> MakeWebpChunk(const char* type, const std::vector<std::uint8_t>& data);

} // namespace aw
