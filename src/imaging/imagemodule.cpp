// SPDX-License-Identifier: MIT
// The exported entry points of the image module (see imagingabi.h for the contract of each).
#include <cstring>

#include "areascaler.h"
#include "bitmapdecoder.h"
#include "displaypicture.h"
#include "imagingabi.h"
#include "jpegdecoder.h"
#include "jpegencoder.h"
#include "moduleseam.h"
#include "stilldecoder.h"

using namespace aw::imaging;

namespace {

// Shared by the decode entry points: the description gets the (scaled) size, the pixels are handed over.
template <typename Decoded>
void* HandOverDecoded(Decoded decoded, void* descriptionOut, int* fullWidth, int* fullHeight) {
    WriteDescription24(descriptionOut, decoded.image.width, decoded.image.height);
    if (fullWidth)
        *fullWidth = decoded.fullWidth;
    if (fullHeight)
        *fullHeight = decoded.fullHeight;
    return decoded.image.pixels.release();
}

int Resize(const void* description, const void* pixels, int width, int height, void* descriptionOut,
           void* pixelsOut) {
    CheckDimensions(width, height);
    BgrImage storage;
    const BgrView source = BitmapDecoder::Decode(description, pixels, storage);
    AreaScaler::Scale(source, width, height, static_cast<uint8_t*>(pixelsOut));
    WriteDescription24(descriptionOut, width, height);
    return 1;
}

} // namespace

AW_IMAGING_EXPORT void* DllEncodeJPEG(const void* description, const void* pixels, int quality,
                                      uint32_t* size) {
    return Guarded("DllEncodeJPEG", static_cast<void*>(nullptr), [&]() -> void* {
        if (!description || !pixels || !size)
            throw ImagingError("missing argument");
        BgrImage storage;
        EncodedJpeg encoded =
            JpegEncoder::Encode(BitmapDecoder::Decode(description, pixels, storage), quality);
        *size = encoded.size;
        return encoded.bytes.release();
    });
}

AW_IMAGING_EXPORT void* DllDecodeJPEG(const void* bytes, uint32_t count, void* descriptionOut) {
    return Guarded("DllDecodeJPEG", static_cast<void*>(nullptr), [&]() -> void* {
        if (!bytes || !descriptionOut)
            throw ImagingError("missing argument");
        return HandOverDecoded(JpegDecoder::Decode(static_cast<const uint8_t*>(bytes), count), descriptionOut,
                               nullptr, nullptr);
    });
}

AW_IMAGING_EXPORT void* DllDecodeJPEGScaled(const void* bytes, uint32_t count, int minWidth, int minHeight,
                                            void* descriptionOut, int* fullWidth, int* fullHeight) {
    return Guarded("DllDecodeJPEGScaled", static_cast<void*>(nullptr), [&]() -> void* {
        if (!bytes || !descriptionOut)
            throw ImagingError("missing argument");
        return HandOverDecoded(
            JpegDecoder::Decode(static_cast<const uint8_t*>(bytes), count, {minWidth, minHeight}),
            descriptionOut, fullWidth, fullHeight);
    });
}

AW_IMAGING_EXPORT void* DllDecodePicture(const void* bytes, uint32_t count, int minWidth, int minHeight,
                                         void* descriptionOut, int* fullWidth, int* fullHeight) {
    return Guarded("DllDecodePicture", static_cast<void*>(nullptr), [&]() -> void* {
        if (!bytes || !descriptionOut)
            throw ImagingError("missing argument");
        return HandOverDecoded(
            StillDecoder::Decode(static_cast<const uint8_t*>(bytes), count, {minWidth, minHeight}),
            descriptionOut, fullWidth, fullHeight);
    });
}

AW_IMAGING_EXPORT void* DllMakeDisplayPicture(const void* bytes, uint32_t count, int maxSide, int quality,
                                              uint32_t* size, int* width, int* height) {
    return Guarded("DllMakeDisplayPicture", static_cast<void*>(nullptr), [&]() -> void* {
        if (!bytes || !size || !width || !height)
            throw ImagingError("missing argument");
        DisplayCopy copy = DisplayPicture::Make(static_cast<const uint8_t*>(bytes), count, maxSide, quality);
        *size = copy.file.size;
        *width = copy.width;
        *height = copy.height;
        return copy.file.bytes.release();
    });
}

AW_IMAGING_EXPORT int DllConvertTo24BitDIB(const void* description, const void* pixels, void* descriptionOut,
                                           void* pixelsOut) {
    return Guarded("DllConvertTo24BitDIB", 0, [&]() {
        if (!description || !pixels || !descriptionOut || !pixelsOut)
            throw ImagingError("missing argument");
        // Straight into the caller's rows: no picture-sized buffer of our own.
        const BitmapLayout layout = BitmapLayout::Parse(description);
        BitmapDecoder::DecodeInto(layout, pixels,
                                  BgrCanvas{static_cast<uint8_t*>(pixelsOut), layout.width, layout.height});
        WriteDescription24(descriptionOut, layout.width, layout.height);
        return 1;
    });
}

AW_IMAGING_EXPORT int DllResizeBySizeDIB(const void* description, const void* pixels, int width, int height,
                                         void* descriptionOut, void* pixelsOut) {
    return Guarded("DllResizeBySizeDIB", 0, [&]() {
        if (!description || !pixels || !descriptionOut || !pixelsOut)
            throw ImagingError("missing argument");
        return Resize(description, pixels, width, height, descriptionOut, pixelsOut);
    });
}

AW_IMAGING_EXPORT int DllResizeByPercentDIB(const void* description, const void* pixels, int percent,
                                            void* descriptionOut, void* pixelsOut) {
    return Guarded("DllResizeByPercentDIB", 0, [&]() {
        if (!description || !pixels || !descriptionOut || !pixelsOut)
            throw ImagingError("missing argument");
        if (percent < 1 || percent > 1000)
            throw ImagingError("percentage out of range");
        AwBitmapInfoHeader header;
        std::memcpy(&header, description, sizeof header);
        const int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
        const auto scaled = [percent](int64_t side) {
            return side * percent / 100 < 1 ? 1 : side * percent / 100;
        };
        const int64_t newWidth = scaled(header.biWidth), newHeight = scaled(height);
        CheckDimensions(newWidth, newHeight);
        return Resize(description, pixels, static_cast<int>(newWidth), static_cast<int>(newHeight),
                      descriptionOut, pixelsOut);
    });
}

AW_IMAGING_EXPORT int DllPictureNeeds(const void* bytes, uint32_t count, uint64_t fileSize, int minWidth,
                                      int minHeight, uint64_t* needed) {
    return Guarded("DllPictureNeeds", 0, [&]() {
        if (!bytes || !needed)
            throw ImagingError("missing argument");
        *needed =
            StillDecoder::Needs(static_cast<const uint8_t*>(bytes), count, fileSize, {minWidth, minHeight});
        return 1;
    });
}

AW_IMAGING_EXPORT int DllLastFailure() {
    return LastFailure();
}
