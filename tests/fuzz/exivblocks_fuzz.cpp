// SPDX-License-Identifier: MIT
// Arbitrary bytes as each kind of metadata block exiv2 is given (EXIF's TIFF structure, an XMP packet,
// Photoshop's resources): decoded, and written again without private fields. A block written again must
// read back without them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/blockcleaner.h"
#include "metadata/blockdecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    aw::DecodedBlocks decoded;
    aw::DecodeExifBlock(data, size, decoded);
    aw::DecodeXmpBlock(text, decoded);
    aw::DecodePhotoshopBlock(data, size, decoded);

    std::vector<std::uint8_t> exif;
    if (aw::CleanExifBlock(data, size, exif) == aw::CleanedBlock::Rewritten) {
        aw::DecodedBlocks again;
        aw::DecodeExifBlock(exif.data(), exif.size(), again);
        if (again.fields.any())
            std::abort();
    }
    std::string xmp;
    if (aw::CleanXmpBlock(text, false, xmp) == aw::CleanedBlock::Rewritten) {
        aw::DecodedBlocks again;
        aw::DecodeXmpBlock(xmp, again);
        if (again.fields.any())
            std::abort();
    }
    return 0;
}
