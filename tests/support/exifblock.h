// EXIF blocks written by hand for tests: ImageMagick does not record an orientation in the JPEGs it
// writes, and no EXIF tool is installed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aw::test {

// The payload of an APP1 segment ("Exif\0\0" and a TIFF structure) whose IFD0 holds one entry: tag 0x0112
// (orientation) of the given type (3 = SHORT) and value; ifdOffset points at IFD0 (8 = right after the
// TIFF header).
std::vector<uint8_t> ExifOrientationBlock(unsigned value, bool bigEndian = false, unsigned type = 3,
                                          uint32_t ifdOffset = 8);

// `jpeg` with an APP1 segment holding `block` right after its start-of-image marker.
std::string InsertApp1(const std::string& jpeg, const std::vector<uint8_t>& block);

} // namespace aw::test
