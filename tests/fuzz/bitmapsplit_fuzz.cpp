// libFuzzer target: the split of .bmp bytes into description and pixels, and the EXIF orientation reader,
// the two parsers of outside bytes on the program's side of the imaging modules.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "album/bitmapfile.h"
#include "album/exiforientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    aw::BitmapParts parts;
    if (aw::SplitBitmapFile(data, size, parts) == aw::FailureCause::None) {
        // Touch every byte claimed, so that a size that overstates the block shows under the sanitizer.
        volatile uint8_t sink = 0;
        for (std::size_t i = 0; i < parts.descriptionSize; ++i)
            sink = static_cast<uint8_t>(sink ^ parts.description.get()[i]);
        for (std::size_t i = 0; i < parts.pixelsSize; ++i)
            sink = static_cast<uint8_t>(sink ^ parts.pixels.get()[i]);
    }
    const int orientation = aw::ReadExifOrientation(data, size);
    if (orientation < 1 || orientation > 8)
        __builtin_trap();
    return 0;
}
