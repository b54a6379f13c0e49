// SPDX-License-Identifier: MIT
#include "imagemodulelinkedin.h"

extern "C" {
void* DllEncodeJPEG(const void* description, const void* pixels, int quality, uint32_t* size);
void* DllDecodeJPEG(const void* bytes, uint32_t count, void* descriptionOut);
void* DllDecodeJPEGScaled(const void* bytes, uint32_t count, int minWidth, int minHeight,
                          void* descriptionOut, int* fullWidth, int* fullHeight);
void* DllDecodePicture(const void* bytes, uint32_t count, int minWidth, int minHeight, void* descriptionOut,
                       int* fullWidth, int* fullHeight);
void* DllMakeDisplayPicture(const void* bytes, uint32_t count, int maxSide, int quality, uint32_t* size,
                            int* width, int* height);
int DllPictureNeeds(const void* bytes, uint32_t count, uint64_t fileSize, int minWidth, int minHeight,
                    uint64_t* needed);
int DllLastFailure();
int DllConvertTo24BitDIB(const void* description, const void* pixels, void* descriptionOut, void* pixelsOut);
int DllResizeByPercentDIB(const void* description, const void* pixels, int percent, void* descriptionOut,
                          void* pixelsOut);
int DllResizeBySizeDIB(const void* description, const void* pixels, int width, int height,
                       void* descriptionOut, void* pixelsOut);
}

namespace aw::fuzz {

const ImagingLibrary& LinkedInImageModule() {
    static const ImagingLibrary library = [] {
        ImagingLibrary table;
        table.DllEncodeJPEG = DllEncodeJPEG;
        table.DllDecodeJPEG = DllDecodeJPEG;
        table.DllConvertTo24BitDIB = DllConvertTo24BitDIB;
        table.DllResizeByPercentDIB = DllResizeByPercentDIB;
        table.DllResizeBySizeDIB = DllResizeBySizeDIB;
        table.DllDecodeJPEGScaled = DllDecodeJPEGScaled;
        table.DllDecodePicture = DllDecodePicture;
        table.DllMakeDisplayPicture = DllMakeDisplayPicture;
        table.DllPictureNeeds = DllPictureNeeds;
        table.DllLastFailure = DllLastFailure;
        return table;
    }();
    return library;
}

} // namespace aw::fuzz
