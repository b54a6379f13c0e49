// SPDX-License-Identifier: MIT
#include "album/picturesteps.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <unistd.h>

#include "album/bitmapfile.h"
#include "album/exiforientation.h"
#include "album/imaginglibrary.h"
#include "album/moviemark.h"
#include "metadata/embeddedpreview.h"
#include "metadata/jpegsegments.h"
#include "platform/filebytes.h"

namespace aw {
namespace {

constexpr std::size_t kDescriptionSize = sizeof(AwPictureDescription);

AwBitmapInfoHeader HeaderOf(const uint8_t* description) {
    AwBitmapInfoHeader info;
    std::memcpy(&info, description, sizeof info);
    return info;
}

void StoreHeader(uint8_t* description, const AwBitmapInfoHeader& info) {
    std::memcpy(description, &info, sizeof info);
}

FailureCause CauseOfRead(int error) {
    return error == EFBIG ? FailureCause::TooLarge : FailureCause::Unreadable;
}

} // namespace

PictureSteps::PictureSteps(const ImagingLibrary& imaging, Picture& picture, RunFailure& failure)
    : imaging_(imaging), picture_(picture), failure_(failure) {}

FailureCause PictureSteps::ModuleFailure() const {
    switch (imaging_.DllLastFailure ? imaging_.DllLastFailure() : 0) {
    case AW_FAILURE_TOO_LARGE:
        return FailureCause::TooLarge;
    case AW_FAILURE_LARGER_THAN_DECLARED:
        return FailureCause::LargerThanDeclared;
    default:
        return FailureCause::NotAPicture;
    }
}

bool PictureSteps::Fail(const std::string& file, FailureCause cause) {
    failure_ = RunFailure{file, cause};
    return false;
}

// Adopts a 24-bit pair made by a module after checking that its header describes a buffer no larger than
// the one held (`held` is SIZE_MAX when the module sized the buffer itself).
bool PictureSteps::HoldRgb24(MallocBuffer description, MallocBuffer pixels, std::size_t held,
                             const std::string& file) {
    const AwBitmapInfoHeader info = HeaderOf(description.get());
    std::size_t size = 0;
    if (info.biBitCount != 24 || info.biHeight <= 0 || !Rgb24BufferSize(info.biWidth, info.biHeight, size) ||
        size > held)
        return Fail(file, FailureCause::NotAPicture);
    picture_.ReplaceImage(std::move(description), kDescriptionSize, std::move(pixels), size);
    return true;
}

bool PictureSteps::LoadBitmapFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (const int error = ReadFileBytes(path, bytes, kMaxSourceBytes)) {
        source_ = path;
        return Fail(path, CauseOfRead(error));
    }
    return LoadBitmapBytes(bytes, path);
}

bool PictureSteps::LoadBitmapBytes(const std::vector<uint8_t>& bytes, const std::string& path) {
    source_ = path;
    orientation_ = 1;
    BitmapParts parts;
    if (const FailureCause cause = SplitBitmapFile(bytes.data(), bytes.size(), parts);
        cause != FailureCause::None)
        return Fail(path, cause);
    picture_.ReplaceImage(std::move(parts.description), parts.descriptionSize, std::move(parts.pixels),
                          parts.pixelsSize);
    full_ = {picture_.width(), picture_.height()};
    return true;
}

bool PictureSteps::DecodeJpegFile(const std::string& path, PixelSize box) {
    return DecodeJpeg(path, box, false);
}

bool PictureSteps::DecodeJpegForPreview(const std::string& path, PixelSize box) {
    return DecodeJpeg(path, box, true);
}

bool PictureSteps::DecodeJpegBytes(const std::vector<uint8_t>& bytes, const std::string& path, PixelSize box,
                                   int oversample) {
    return DecodeJpeg(bytes, path, box, false, oversample);
}

bool PictureSteps::DecodeJpeg(const std::string& path, PixelSize box, bool preferEmbedded) {
    std::vector<uint8_t> bytes;
    if (const int error = ReadFileBytes(path, bytes, kMaxSourceBytes)) {
        source_ = path;
        orientation_ = 1;
        return Fail(path, CauseOfRead(error));
    }
    return DecodeJpeg(bytes, path, box, preferEmbedded);
}

bool PictureSteps::DecodeJpeg(const std::vector<uint8_t>& bytes, const std::string& path, PixelSize box,
                              bool preferEmbedded, int oversample) {
    source_ = path;
    orientation_ = 1;
    if (imaging_.DllDecodeJPEG == nullptr || bytes.size() > UINT32_MAX)
        return Fail(path, FailureCause::NotAPicture);
    const int orientation = ReadExifOrientation(bytes.data(), bytes.size());
    PixelSize stored; // as the header gives it; none when it gives none
    ReadJpegFrameSize(bytes.data(), bytes.size(), stored.width, stored.height);
    if (preferEmbedded && DecodeEmbeddedPreview(bytes, stored, orientation, box)) {
        full_ = stored;
        orientation_ = orientation;
        return true;
    }
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    if (!description)
        return Fail(path, FailureCause::TooLarge);
    const auto count = static_cast<uint32_t>(bytes.size());
    int fullWidth = 0;
    int fullHeight = 0;
    MallocBuffer pixels;
    if (imaging_.DllDecodeJPEGScaled != nullptr && box.width > 0 && box.height > 0) {
        const PixelSize minimum = DecodeMinimum(stored, orientation, box, oversample);
        pixels = AdoptMalloced(imaging_.DllDecodeJPEGScaled(
            bytes.data(), count, minimum.width, minimum.height, description.get(), &fullWidth, &fullHeight));
    } else {
        pixels = AdoptMalloced(imaging_.DllDecodeJPEG(bytes.data(), count, description.get()));
    }
    if (!pixels)
        return Fail(path, FailureCause::NotAPicture);
    if (!HoldRgb24(std::move(description), std::move(pixels), SIZE_MAX, path))
        return false;
    if (fullWidth < picture_.width() ||
        fullHeight < picture_.height()) { // not reported: decoded at full size
        fullWidth = picture_.width();
        fullHeight = picture_.height();
    }
    full_ = {fullWidth, fullHeight};
    orientation_ = orientation;
    return true;
}

bool PictureSteps::DecodePictureFile(const std::string& path, PixelSize box) {
    source_ = path;
    std::vector<uint8_t> bytes;
    if (const int error = ReadFileBytes(path, bytes, kMaxSourceBytes))
        return Fail(path, CauseOfRead(error));
    return DecodePictureBytes(bytes, path, box);
}

bool PictureSteps::DecodePictureBytes(const std::vector<uint8_t>& bytes, const std::string& path,
                                      PixelSize box) {
    source_ = path;
    orientation_ = 1; // the module turns the picture itself
    if (imaging_.DllDecodePicture == nullptr || bytes.size() > UINT32_MAX)
        return Fail(path, FailureCause::NotAPicture);
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    if (!description)
        return Fail(path, FailureCause::TooLarge);
    const PixelSize minimum = box.width > 0 && box.height > 0 ? DecodeMinimum({}, 1, box) : PixelSize{};
    int fullWidth = 0;
    int fullHeight = 0;
    MallocBuffer pixels = AdoptMalloced(
        imaging_.DllDecodePicture(bytes.data(), static_cast<uint32_t>(bytes.size()), minimum.width,
                                  minimum.height, description.get(), &fullWidth, &fullHeight));
    if (!pixels)
        return Fail(path, ModuleFailure());
    if (!HoldRgb24(std::move(description), std::move(pixels), SIZE_MAX, path))
        return false;
    full_ = {std::max(fullWidth, picture_.width()), std::max(fullHeight, picture_.height())};
    return true;
}

bool PictureSteps::DecodeEmbeddedPreview(const std::vector<uint8_t>& bytes, PixelSize stored, int orientation,
                                         PixelSize box) {
    if (stored.width <= 0 || stored.height <= 0 || box.width <= 0 || box.height <= 0 ||
        imaging_.DllDecodeJPEGScaled == nullptr)
        return false;
    const std::optional<ByteSpan> preview = FindEmbeddedPreview(bytes.data(), bytes.size());
    PixelSize own;
    if (!preview || !ReadJpegFrameSize(preview->data, preview->size, own.width, own.height))
        return false;
    // Only a preview of the same frame, large enough for two pixels per shown pixel: the same shape within
    // 1 % (cameras round its size; a cropped or turned main picture has another shape).
    const PixelSize minimum = DecodeMinimum(stored, orientation, box);
    const int64_t across = int64_t{own.width} * stored.height;
    const int64_t down = int64_t{own.height} * stored.width;
    if (own.width < minimum.width || own.height < minimum.height || std::llabs(across - down) * 100 > across)
        return false;
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    if (!description)
        return false;
    MallocBuffer pixels = AdoptMalloced(
        imaging_.DllDecodeJPEGScaled(preview->data, static_cast<uint32_t>(preview->size), minimum.width,
                                     minimum.height, description.get(), nullptr, nullptr));
    // A preview that does not decode leaves the photo itself to be decoded.
    return pixels && HoldRgb24(std::move(description), std::move(pixels), SIZE_MAX, source_);
}

// At least `oversample` times the picture's fit into the box on each side (as the picture is stored): with
// 2, the final area resize still has two source pixels per shown pixel; that times the box when the size is
// not known.
PixelSize PictureSteps::DecodeMinimum(PixelSize stored, int orientation, PixelSize box, int oversample) {
    const bool swap = OrientationSwapsAxes(orientation);
    PixelSize shown = box;
    if (stored.width > 0 && stored.height > 0)
        shown = swap ? FitSize(stored.height, stored.width, box.width, box.height)
                     : FitSize(stored.width, stored.height, box.width, box.height);
    return swap ? PixelSize{oversample * shown.height, oversample * shown.width}
                : PixelSize{oversample * shown.width, oversample * shown.height};
}

bool PictureSteps::ReadFirstFrame(const std::string& path) {
    source_ = path;
    orientation_ = 1;
    if (::access(path.c_str(), R_OK) != 0)
        return Fail(path, FailureCause::Unreadable);
    if (imaging_.GetFrameSize == nullptr || imaging_.GetFirstFrameDIB_RGB24 == nullptr)
        return Fail(path, FailureCause::NoMovieFrame);
    int width = 0;
    int height = 0;
    if (!imaging_.GetFrameSize(path.c_str(), &width, &height) || width <= 0 || height <= 0)
        return Fail(path, FailureCause::NoMovieFrame);
    std::size_t size = 0;
    if (!Rgb24BufferSize(width, height, size) || size > UINT32_MAX)
        return Fail(path, FailureCause::TooLarge);
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    MallocBuffer pixels = AllocateZeroed(size);
    if (!description || !pixels)
        return Fail(path, FailureCause::TooLarge);
    auto bufferSize = static_cast<uint32_t>(size);
    if (!imaging_.GetFirstFrameDIB_RGB24(path.c_str(), description.get(), pixels.get(), &bufferSize))
        return Fail(path, FailureCause::NoMovieFrame);
    if (!HoldRgb24(std::move(description), std::move(pixels), size, path))
        return Fail(path, FailureCause::NoMovieFrame);
    full_ = {picture_.width(), picture_.height()};
    return true;
}

bool PictureSteps::ConvertTo24Bit() {
    if (!picture_.hasImage() || imaging_.DllConvertTo24BitDIB == nullptr)
        return Fail(source_, FailureCause::NotAPicture);
    std::size_t size = 0;
    if (!Rgb24BufferSize(picture_.width(), picture_.height(), size))
        return Fail(source_, FailureCause::TooLarge);
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    MallocBuffer pixels = AllocateZeroed(size);
    if (!description || !pixels)
        return Fail(source_, FailureCause::TooLarge);
    if (!imaging_.DllConvertTo24BitDIB(picture_.description(), picture_.pixels(), description.get(),
                                       pixels.get()))
        return Fail(source_, FailureCause::NotAPicture);
    if (!HoldRgb24(std::move(description), std::move(pixels), size, source_))
        return false;
    full_ = {picture_.width(), picture_.height()};
    return true;
}

bool PictureSteps::FitIntoBox(PixelSize box) {
    if (!picture_.hasImage() || full_.width <= 0 || full_.height <= 0)
        return Fail(source_, FailureCause::NotAPicture);
    const bool swap = OrientationSwapsAxes(orientation_);
    const PixelSize shown = swap ? PixelSize{full_.height, full_.width} : full_;
    const PixelSize target = FitSize(shown.width, shown.height, box.width, box.height);
    const PixelSize stored = swap ? PixelSize{target.height, target.width} : target;

    // A picture decoded at a reduced scale is resized even when the full one would fit as it is.
    if (PixelSize{picture_.width(), picture_.height()} != stored) {
        std::size_t size = 0;
        if (imaging_.DllResizeBySizeDIB == nullptr || !Rgb24BufferSize(stored.width, stored.height, size))
            return Fail(source_, FailureCause::NotAPicture);
        MallocBuffer description = AllocateZeroed(kDescriptionSize);
        MallocBuffer pixels = AllocateZeroed(size);
        if (!description || !pixels)
            return Fail(source_, FailureCause::TooLarge);
        if (!imaging_.DllResizeBySizeDIB(picture_.description(), picture_.pixels(), stored.width,
                                         stored.height, description.get(), pixels.get()))
            return Fail(source_, FailureCause::NotAPicture);
        if (!HoldRgb24(std::move(description), std::move(pixels), size, source_))
            return false;
    }
    // Scaling first keeps the turn cheap: only the small picture is rearranged.
    if (orientation_ != 1 && !Reorient())
        return false;
    size_ = target;
    return true;
}

bool PictureSteps::Reorient() {
    const AwBitmapInfoHeader info = picture_.header();
    std::size_t inSize = 0;
    if (info.biBitCount != 24 || info.biHeight <= 0 ||
        !Rgb24BufferSize(info.biWidth, info.biHeight, inSize) || inSize > picture_.pixelsSize())
        return Fail(source_, FailureCause::NotAPicture);
    const bool swap = OrientationSwapsAxes(orientation_);
    AwBitmapInfoHeader turned = info;
    turned.biWidth = swap ? info.biHeight : info.biWidth;
    turned.biHeight = swap ? info.biWidth : info.biHeight;
    std::size_t size = 0;
    if (!Rgb24BufferSize(turned.biWidth, turned.biHeight, size))
        return Fail(source_, FailureCause::TooLarge);
    turned.biSizeImage = static_cast<uint32_t>(size);
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    MallocBuffer pixels = AllocateZeroed(size);
    if (!description || !pixels)
        return Fail(source_, FailureCause::TooLarge);
    StoreHeader(description.get(), turned);
    ReorientRgb24(picture_.pixels(), info.biWidth, info.biHeight, orientation_, pixels.get());
    picture_.ReplaceImage(std::move(description), kDescriptionSize, std::move(pixels), size);
    return true;
}

void PictureSteps::StampMovieMark(MediaKind kind) {
    const AwBitmapInfoHeader info = picture_.header();
    std::size_t size = 0;
    if (!picture_.hasImage() || info.biBitCount != 24 ||
        !Rgb24BufferSize(picture_.width(), picture_.height(), size) || size > picture_.pixelsSize())
        return;
    MovieMark::Stamp(picture_.pixels(), info.biWidth, info.biHeight, kind);
}

bool PictureSteps::EncodeJpeg(int quality) {
    picture_.ReleaseEncoded();
    if (!picture_.hasImage() || imaging_.DllEncodeJPEG == nullptr)
        return Fail(source_, FailureCause::NotAPicture);
    uint32_t size = 0;
    MallocBuffer bytes =
        AdoptMalloced(imaging_.DllEncodeJPEG(picture_.description(), picture_.pixels(), quality, &size));
    if (!bytes || size == 0)
        return Fail(source_, FailureCause::NotAPicture);
    picture_.SetEncoded(std::move(bytes), size);
    return true;
}

PixelSize PictureSteps::shownSize() const {
    return OrientationSwapsAxes(orientation_) ? PixelSize{full_.height, full_.width} : full_;
}

void PictureSteps::SettleUpright() {
    full_ = shownSize();
    orientation_ = 1;
}

bool PictureSteps::KeepDecoded() {
    const AwBitmapInfoHeader info = picture_.header();
    std::size_t size = 0;
    if (!picture_.hasImage() || info.biBitCount != 24 ||
        !Rgb24BufferSize(info.biWidth, info.biHeight, size) || size > picture_.pixelsSize())
        return Fail(source_, FailureCause::NotAPicture);
    keptDescription_ = AllocateZeroed(kDescriptionSize);
    keptPixels_ = AllocateZeroed(size);
    if (!keptDescription_ || !keptPixels_)
        return Fail(source_, FailureCause::TooLarge);
    std::memcpy(keptDescription_.get(), picture_.description(), kDescriptionSize);
    std::memcpy(keptPixels_.get(), picture_.pixels(), size);
    keptPixelsSize_ = size;
    keptFull_ = full_;
    return true;
}

bool PictureSteps::RestoreDecoded() {
    if (!keptDescription_ || !keptPixels_)
        return Fail(source_, FailureCause::NotAPicture);
    MallocBuffer description = AllocateZeroed(kDescriptionSize);
    MallocBuffer pixels = AllocateZeroed(keptPixelsSize_);
    if (!description || !pixels)
        return Fail(source_, FailureCause::TooLarge);
    std::memcpy(description.get(), keptDescription_.get(), kDescriptionSize);
    std::memcpy(pixels.get(), keptPixels_.get(), keptPixelsSize_);
    picture_.ReplaceImage(std::move(description), kDescriptionSize, std::move(pixels), keptPixelsSize_);
    full_ = keptFull_;
    return true;
}

} // namespace aw
