// SPDX-License-Identifier: MIT
// Camera-like JPEGs written by hand (ImageMagick writes no multi-picture index): the index in an APP2 segment
// right after the start marker, the preview after the main picture.
#pragma once

#include <cstdint>
#include <string>

#include "support/exifblock.h"

namespace aw::test {

struct IndexOptions {
    uint32_t previewType = 0x010002; // large thumbnail, full-HD class
    bool bigEndian = false;
    int offsetShift = 0;   // added to the preview's recorded offset
    uint16_t ifdCount = 2; // entries the index claims
};

inline std::string WithEmbeddedPreview(const std::string& main, const std::string& preview,
                                       const IndexOptions& options = {}) {
    std::string index = options.bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            index += static_cast<char>(value >> 8 * (options.bigEndian ? bytes - 1 - i : i) & 0xFF);
    };
    constexpr uint32_t kEntries = 38; // header 8, count 2, two fields of 12, next-IFD 4
    constexpr uint32_t kSegment = 2 + 2 + 4 + kEntries + 32; // marker, length, "MPF\0", index
    constexpr uint32_t kBase = 2 + 4 + 4;                    // where the index starts in the file
    put(8, 4);
    put(options.ifdCount, 2);
    put(0xB000, 2), put(7, 2), put(4, 4), index += "0100";
    put(0xB002, 2), put(7, 2), put(32, 4), put(kEntries, 4);
    put(0, 4);
    put(0x20030000, 4), put(static_cast<uint32_t>(main.size() + kSegment), 4), put(0, 4), put(0, 4);
    put(options.previewType, 4), put(static_cast<uint32_t>(preview.size()), 4);
    put(static_cast<uint32_t>(main.size() + kSegment - kBase + options.offsetShift), 4), put(0, 4);
    return main.substr(0, 2) + Segment(0xE2, std::string("MPF\0", 4) + index) + main.substr(2) + preview;
}

} // namespace aw::test
