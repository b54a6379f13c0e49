// Bitmap files of any content through conversion, encoding and scaling.
#include <cstddef>
#include <cstdint>

#include "imagemodulelinkedin.h"
#include "support/imagingharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    aw::test::ExerciseBitmapBytes(aw::fuzz::LinkedInImageModule(), data, size);
    return 0;
}
