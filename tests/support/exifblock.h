// JPEG segments and EXIF blocks written by hand for tests: ImageMagick records no orientation in the
// JPEGs it writes, and no EXIF tool is installed.
#pragma once

#include <cstdint>
#include <string>

namespace aw::test {

// A JPEG marker segment: 0xFF, `marker`, the big-endian length, then `payload`.
std::string Segment(uint8_t marker, const std::string& payload);

// An APP1 payload ("Exif\0\0" and a TIFF structure) whose IFD0, at `ifdOffset` (8: right after the TIFF
// header), holds one entry: the orientation tag 0x0112 of `type` (3 = SHORT) with `value`.
std::string ExifPayload(unsigned value, bool bigEndian = false, unsigned type = 3, uint32_t ifdOffset = 8);

} // namespace aw::test
