// SPDX-License-Identifier: MIT
// Copies of PNG, GIF and WebP files that keep only what showing the picture needs, byte for byte: the
// picture data of every frame, its colour profile and transparency, an animation's timing and loop count;
// everything else (text, dates, EXIF, XMP, comments, application blocks, private chunks) is left out.
// The containers are walked by their chunk and block headers, every length checked against what is left;
// the picture data itself is never decoded. Stateless and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace aw::imaging {

class ContainerStrip {
public:
    // The copy of `bytes` (recognised by their signature). Throws ImagingError for anything that is not a
    // whole PNG, GIF or WebP container: a chunk running past the end, a block of an unknown kind, no end.
    static std::vector<uint8_t> Strip(const uint8_t* bytes, std::size_t count);

private:
    static std::vector<uint8_t> StripPng(const uint8_t* bytes, std::size_t count);
    static std::vector<uint8_t> StripGif(const uint8_t* bytes, std::size_t count);
    static std::vector<uint8_t> StripWebp(const uint8_t* bytes, std::size_t count);
};

} // namespace aw::imaging
