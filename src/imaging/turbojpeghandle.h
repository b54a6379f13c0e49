// SPDX-License-Identifier: MIT
// TurboJPEG handles owned by std::unique_ptr, made in one place; the codec's error text is taken at this
// seam. A handle serves one thread at a time; every call of the modules makes its own.
#pragma once

#include <memory>
#include <string>

namespace aw::imaging {

struct TurboJpegDeleter {
    void operator()(void* handle) const;
};
using TurboJpegHandle = std::unique_ptr<void, TurboJpegDeleter>;

enum class TurboJpegRole { Compress, Decompress };

// Throws ImagingError when the codec cannot make a handle.
TurboJpegHandle MakeTurboJpegHandle(TurboJpegRole role);

// The codec's text for the last error on `handle`.
std::string TurboJpegErrorText(const TurboJpegHandle& handle);

} // namespace aw::imaging
