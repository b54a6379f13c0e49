// SPDX-License-Identifier: MIT
#include "album/thumbnailpreparer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include <sys/stat.h>

#include "album/imaginglibrary.h"
#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "album/picturesteps.h"
#include "metadata/jpegsegments.h"
#include "platform/filebytes.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

// Read before the budget is taken, to learn the picture's declared size: a JPEG's frame header comes after
// its application segments (each at most 64 KB, rarely more than a few), a bitmap's size in its first bytes.
constexpr std::size_t kHeadBytes = std::size_t{1} << 20;

// Shown at two or three device pixels per pixel, where the loss shows less: the thumbnails a phone loads
// before any scrolling weigh a sixth less than at the 1x quality.
constexpr int kDenserQuality = 75;

// The pixels the head declares; 0 when it declares none that can be read.
uint64_t DeclaredPixels(const std::vector<uint8_t>& head, MediaKind kind) {
    int64_t width = 0;
    int64_t height = 0;
    if (int jpegWidth = 0, jpegHeight = 0;
        kind == MediaKind::StillJpeg && ReadJpegFrameSize(head.data(), head.size(), jpegWidth, jpegHeight)) {
        width = jpegWidth;
        height = jpegHeight;
    } else if (kind == MediaKind::StillBmp &&
               head.size() >= 26) { // the information header's width and height
        int32_t fields[2];
        std::memcpy(fields, head.data() + 18, sizeof fields);
        width = fields[0];
        height = fields[1] < 0 ? -int64_t{fields[1]} : fields[1]; // negative: rows top-down
    }
    return width > 0 && height > 0 ? static_cast<uint64_t>(width * height) : 0;
}

// What a still's preparation holds at its peak: its file's bytes (a bitmap's twice: as read and as held
// for the modules) and its pictures: a JPEG or a bitmap in 24 bits, at most one picture's budget (a whole
// one when the size is not declared); the other kinds decode to RGBA canvases and more, as the module
// reckons from their headers, or, when it cannot tell, all of the budget.
uint64_t StillCost(const ImagingLibrary& imaging, const std::vector<uint8_t>& head, uint64_t fileSize,
                   MediaKind kind, PixelSize largest) {
    if (IsDecodedStillKind(kind)) {
        // The minimum the picture is decoded for: twice the largest box (PictureSteps::DecodePictureBytes).
        uint64_t needed = 0;
        if (imaging.DllPictureNeeds != nullptr && head.size() <= UINT32_MAX &&
            imaging.DllPictureNeeds(head.data(), static_cast<uint32_t>(head.size()), fileSize,
                                    2 * largest.width, 2 * largest.height, &needed))
            return fileSize + needed;
        return std::numeric_limits<uint64_t>::max();
    }
    const uint64_t pixels = DeclaredPixels(head, kind);
    const uint64_t picture = pixels == 0 ? ThumbnailPreparer::kPictureBytes
                                         : std::min(pixels * 3, ThumbnailPreparer::kPictureBytes);
    return fileSize * (kind == MediaKind::StillBmp ? 2 : 1) + picture;
}

// Reads the still's bytes through one descriptor, having taken its part of `budget` (when given) before
// reading more than its head. False with the cause in `failure`.
bool ReadStill(const ImagingLibrary& imaging, const std::string& source, MediaKind kind, PixelSize largest,
               MemoryBudget* budget, int copies, std::vector<uint8_t>& bytes, MemoryBudget::Share& share,
               RunFailure& failure) {
    const OpenedFile opened = OpenRegularFile(source);
    int error = opened.error;
    if (error != 0) {
        const FailureCause cause = CauseFromFileType(opened.type);
        failure = {source, cause == FailureCause::None ? FailureCause::Unreadable : cause};
        return false;
    }
    if (budget) {
        error = ReadFileHead(opened.fd.get(), bytes, kHeadBytes);
        struct stat info {};
        if (error == 0 && ::fstat(opened.fd.get(), &info) != 0)
            error = errno;
        if (error == 0) {
            const uint64_t cost =
                StillCost(imaging, bytes, static_cast<uint64_t>(info.st_size), kind, largest);
            share = budget->Take(cost > std::numeric_limits<uint64_t>::max() / copies ? cost : cost * copies);
        }
    }
    if (error == 0)
        error = ReadFileBytes(opened.fd.get(), bytes, PictureSteps::kMaxSourceBytes);
    if (error != 0)
        failure = {source, error == EFBIG ? FailureCause::TooLarge : FailureCause::Unreadable};
    return error == 0;
}

} // namespace

PreparedThumbnail ThumbnailPreparer::Prepare(const std::string& source, MediaKind kind) const {
    PreparedThumbnail prepared;
    // Opening a FIFO would block the worker until a writer comes, and a device would be read without end:
    // such a source never reaches the steps.
    if (const FailureCause cause = CauseFromFileType(TypeOfPath(source)); cause != FailureCause::None) {
        prepared.failure = {source, cause};
        return prepared;
    }
    if (!IsStillKind(kind) && !IsMovieKind(kind)) {
        prepared.failure = {source, FailureCause::NotAPicture};
        return prepared;
    }
    const PixelSize box{MediaCopier::kBoxWidth, MediaCopier::kBoxHeight};
    const PixelSize largest{box.width * densities_, box.height * densities_};
    // Denser thumbnails keep a copy of the decoded picture beside the one being fitted.
    const int copies = densities_ > 1 ? 2 : 1;
    MemoryBudget::Share share; // held until the picture is gone
    std::vector<uint8_t> bytes;
    if (IsMovieKind(kind)) {
        if (budget_)
            share = budget_->Take(kPictureBytes * copies);
    } else if (!ReadStill(imaging_, source, kind, largest, budget_, copies, bytes, share, prepared.failure)) {
        return prepared;
    }
    Picture picture;
    PictureSteps steps(imaging_, picture, prepared.failure);
    bool decoded = false;
    if (kind == MediaKind::StillJpeg)
        decoded = steps.DecodeJpegBytes(bytes, source, largest);
    else if (kind == MediaKind::StillBmp)
        decoded = steps.LoadBitmapBytes(bytes, source) && steps.ConvertTo24Bit();
    else if (IsDecodedStillKind(kind))
        decoded = steps.DecodePictureBytes(bytes, source, largest);
    else
        decoded = steps.ReadFirstFrame(source);
    if (!decoded)
        return prepared;
    // Each box is fitted from the picture as decoded, never from a smaller thumbnail.
    if (densities_ > 1 && !steps.KeepDecoded())
        return prepared;
    for (int density = 1; density <= densities_; ++density) {
        if (density > 1 && !steps.RestoreDecoded())
            return prepared;
        if (!steps.FitIntoBox({box.width * density, box.height * density}))
            return prepared;
        if (density == 1) {
            prepared.width = steps.size().width;
            prepared.height = steps.size().height;
        }
        if (IsMovieKind(kind))
            steps.StampMovieMark(kind);
        if (!steps.EncodeJpeg(density == 1 ? MediaCopier::kJpegQuality : kDenserQuality))
            return prepared;
        if (density == 1) {
            prepared.jpeg.assign(picture.encoded(), picture.encoded() + picture.encodedSize());
        } else {
            prepared.denser.push_back({{picture.encoded(), picture.encoded() + picture.encodedSize()},
                                       steps.size().width,
                                       steps.size().height});
        }
        // The decoded pixels go before the next box: one picture in the making at a time.
        picture.ReleaseImage();
        picture.ReleaseEncoded();
    }
    const PixelSize shown = steps.shownSize();
    prepared.pictureWidth = shown.width;
    prepared.pictureHeight = shown.height;
    prepared.made = true;
    return prepared;
}

} // namespace aw
