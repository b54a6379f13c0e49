// SPDX-License-Identifier: MIT
#include "jpegencoder.h"

#include <string>

extern "C" {
#include <turbojpeg.h>
}

#include "imagingerror.h"
#include "turbojpeghandle.h"

namespace aw::imaging {

EncodedJpeg JpegEncoder::Encode(const BgrView& picture, int quality) {
    if (quality < 1 || quality > 100)
        throw ImagingError("JPEG quality " + std::to_string(quality) + " is out of range");
    CheckDimensions(picture.width, picture.height);
    const TurboJpegHandle handle = MakeTurboJpegHandle(TurboJpegRole::Compress);

    // The worst case size up front, so the codec never reallocates a block we must hand out with malloc.
    const unsigned long capacity = tjBufSize(picture.width, picture.height, TJSAMP_420);
    if (capacity == static_cast<unsigned long>(-1))
        throw ImagingError("JPEG buffer size overflows");
    MallocBuffer buffer = AllocateZeroed(capacity);
    unsigned char* out = buffer.get();
    unsigned long size = capacity;
    const int flags = TJFLAG_NOREALLOC | TJFLAG_ACCURATEDCT | (picture.bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (tjCompress2(handle.get(), picture.data, picture.width, static_cast<int>(picture.rowSize),
                    picture.height, TJPF_BGR, &out, &size, TJSAMP_420, quality, flags) != 0)
        throw ImagingError("JPEG encoding failed: " + TurboJpegErrorText(handle));
    if (size > UINT32_MAX)
        throw ImagingError("JPEG larger than 4 GiB");

    EncodedJpeg encoded;
    // Give back the unused worst-case tail; keep the original block if the system will not shrink it.
    if (auto* shrunk = static_cast<uint8_t*>(std::realloc(buffer.get(), size == 0 ? 1 : size))) {
        (void)buffer.release();
        buffer.reset(shrunk);
    }
    encoded.bytes = std::move(buffer);
    encoded.size = static_cast<uint32_t>(size);
    return encoded;
}

} // namespace aw::imaging
