// SPDX-License-Identifier: MIT
// JPEG data of any content through the full-size and the scaled decoder, with their limits.
#include <cstddef>
#include <cstdint>

#include "imagemodulelinkedin.h"
#include "support/imagingharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    aw::test::ExerciseJpegBytes(aw::fuzz::LinkedInImageModule(), data, size);
    return 0;
}
