// SPDX-License-Identifier: MIT
// The EXIF orientation of JPEG data of any content, and the turn it asks for on a small picture (every
// value must be one that the turn handles, and the turn must stay inside its buffers); the frame size read
// from the same segments must be a real one or none, and an embedded preview must lie inside the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "album/exiforientation.h"
#include "metadata/embeddedpreview.h"
#include "metadata/jpegsegments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const int orientation = aw::ReadExifOrientation(data, size);
    if (orientation < 1 || orientation > 8)
        __builtin_trap();
    int width = 0, height = 0;
    if (aw::ReadJpegFrameSize(data, size, width, height) && (width < 1 || height < 1))
        __builtin_trap();
    if (const auto preview = aw::FindEmbeddedPreview(data, size);
        preview &&
        (preview->data < data || preview->size > size || preview->data + preview->size > data + size))
        __builtin_trap();
    constexpr int kWidth = 5, kHeight = 3;
    const std::vector<uint8_t> in(16 * kHeight, 0x5A); // rows of 15 bytes padded to 16
    std::vector<uint8_t> out(aw::OrientationSwapsAxes(orientation) ? 16 * kWidth : 16 * kHeight);
    aw::ReorientRgb24(in.data(), kWidth, kHeight, orientation, out.data());
    return 0;
}
