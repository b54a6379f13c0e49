// SPDX-License-Identifier: MIT
// The table of the seven imaging entry points (and optional further ones), resolved from the two modules at
// start-up. Owned by the application (or a test) for the whole process; read-only after loading, so any
// thread may call through it.
#pragma once

#include "imaging/imagingabi.h"

namespace aw {

struct ImagingLibrary {
    AwEncodeJpegFn DllEncodeJPEG = nullptr;
    AwDecodeJpegFn DllDecodeJPEG = nullptr;
    AwConvertTo24BitFn DllConvertTo24BitDIB = nullptr;
    AwResizeByPercentFn DllResizeByPercentDIB = nullptr;
    AwResizeBySizeFn DllResizeBySizeDIB = nullptr;
    AwGetFrameSizeFn GetFrameSize = nullptr;
    AwGetFirstFrameFn GetFirstFrameDIB_RGB24 = nullptr;
    // Optional, not one of the seven: null when the image module lacks it; callers then decode at full
    // size with DllDecodeJPEG.
    AwDecodeJpegScaledFn DllDecodeJPEGScaled = nullptr;
    // Optional: null when a module lacks them. Without the first, PNG, GIF, WebP and HEIF pictures fail
    // as pictures that cannot be decoded; without the second, no movie counts as playable in a browser.
    AwDecodePictureFn DllDecodePicture = nullptr;
    // Optional: without it, the Gallery cannot take PNG, GIF or WebP pictures (their copies would carry
    // their metadata).
    AwMakeDisplayPictureFn DllMakeDisplayPicture = nullptr;
    AwGetMovieFactsFn GetMovieFacts = nullptr;
    // Optional: without it a failed decode gives no reason beyond "not a picture".
    AwLastFailureFn DllLastFailure = nullptr;
    // Optional: without it a PNG, GIF, WebP or HEIF picture in the making is counted as needing all of a
    // shared memory budget.
    AwPictureNeedsFn DllPictureNeeds = nullptr;
    // Optional: without the first, sounds count as not playable and movies are judged by GetMovieFacts
    // alone; without the second, no playable copy is made (the page links the original).
    AwGetMovieDetailsFn GetMovieDetails = nullptr;
    AwMakePlayableCopyFn MakePlayableCopy = nullptr;
};

} // namespace aw
