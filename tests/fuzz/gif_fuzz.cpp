// SPDX-License-Identifier: MIT
// GIF data of any content (screens, frames, extensions, interlacing) through the image module's picture entry
// point, with its limits; the seeds keep the format's signature, so the fuzzer stays in this format's
// decoder.
#include <cstddef>
#include <cstdint>

#include "imagemodulelinkedin.h"
#include "support/imagingharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    aw::test::ExercisePictureBytes(aw::fuzz::LinkedInImageModule(), data, size);
    return 0;
}
