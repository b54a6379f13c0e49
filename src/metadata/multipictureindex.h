// SPDX-License-Identifier: MIT
// The multi-picture index that cameras and phones put in a JPEG's APP2 segment ("MPF\0" and a TIFF
// structure): where the pictures stored after the main one (a large preview, a depth or gain map) lie.
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace aw {

struct MultiPictureEntry {
    std::uint32_t attribute = 0; // type (low 24 bits) and format (bits 24-26, 0: JPEG)
    std::uint32_t size = 0;      // bytes of the picture
    std::uint32_t offset = 0;    // from the index's byte-order mark; 0 for the main picture
    std::size_t sizeAt = 0;      // where the size field lies in the payload (the offset field follows it)
};

struct MultiPictureIndex {
    std::size_t base = 0; // where the byte-order mark lies in the payload: offsets count from it
    bool bigEndian = false;
    std::vector<MultiPictureEntry> entries;
};

// The index in an APP2 segment's payload; nothing when it is not one or any field lies outside it.
std::optional<MultiPictureIndex> ReadMultiPictureIndex(const std::uint8_t* payload, std::size_t size);

// Writes a 32-bit field of the index in its byte order.
void WriteIndexField(std::uint8_t* at, std::uint32_t value, bool bigEndian);

} // namespace aw
