// SPDX-License-Identifier: MIT
#include "turbojpeghandle.h"

extern "C" {
#include <turbojpeg.h>
}

#include "imagingerror.h"

namespace aw::imaging {

void TurboJpegDeleter::operator()(void* handle) const {
    if (handle)
        tjDestroy(handle);
}

TurboJpegHandle MakeTurboJpegHandle(TurboJpegRole role) {
    TurboJpegHandle handle(role == TurboJpegRole::Compress ? tjInitCompress() : tjInitDecompress());
    if (!handle)
        throw ImagingError(std::string("cannot make a JPEG codec handle: ") + tjGetErrorStr2(nullptr));
    return handle;
}

std::string TurboJpegErrorText(const TurboJpegHandle& handle) {
    return tjGetErrorStr2(handle.get());
}

} // namespace aw::imaging
