// SPDX-License-Identifier: MIT
// Bitmap files of any content: the program's header rules (the split into description and pixels), then
// every pixel path of the image module on what they accept, with buffers sized as the program sizes them:
// conversion to 24 bits, scaling, and encoding of the bitmap as stored. What the rules refuse reaches the
// module split laxly, so that its own checks meet headers the program would never hand over.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "album/bitmapfile.h"
#include "imagemodulelinkedin.h"
#include "support/imagingharness.h"

namespace {

// Pictures above this are left alone: the fuzzer stays fast (the size checks have tests of their own).
constexpr long long kFuzzPixelBudget = 1 << 14;

// False when the program's rules refuse the bytes.
bool ThroughTheProgramsRules(const aw::ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    aw::BitmapParts parts;
    if (aw::SplitBitmapFile(data, size, parts) != aw::FailureCause::None)
        return false;
    AwBitmapInfoHeader header;
    std::memcpy(&header, parts.description.get(), sizeof header);
    const long long width = header.biWidth;
    const long long height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (width * height > kFuzzPixelBudget)
        return true;
    std::vector<uint8_t> pixels(aw::test::PixelBytes(static_cast<int>(width), static_cast<int>(height)));
    AwPictureDescription out{};
    if (library.DllConvertTo24BitDIB(parts.description.get(), parts.pixels.get(), &out, pixels.data()) &&
        (out.header.biWidth != width || out.header.biHeight != height))
        std::abort();
    std::vector<uint8_t> thumbnail(aw::test::PixelBytes(20, 15));
    library.DllResizeBySizeDIB(parts.description.get(), parts.pixels.get(), 20, 15, &out, thumbnail.data());
    uint32_t jpegSize = 0;
    std::free(library.DllEncodeJPEG(parts.description.get(), parts.pixels.get(), 80, &jpegSize));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const aw::ImagingLibrary& library = aw::fuzz::LinkedInImageModule();
    if (!ThroughTheProgramsRules(library, data, size))
        aw::test::ExerciseBitmapBytes(library, data, size);
    return 0;
}
