// SPDX-License-Identifier: MIT
// Picture data of any content through the image module's picture entry point, with its limits. Built once
// per format of today's stills (png_fuzz, gif_fuzz, webp_fuzz, heif_fuzz), each from its own seeds: they keep
// their format's signature, so that each fuzzer stays in its format's decoder.
#include <cstddef>
#include <cstdint>

#include "imagemodulelinkedin.h"
#include "support/imagingharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    aw::test::ExercisePictureBytes(aw::fuzz::LinkedInImageModule(), data, size);
    return 0;
}
