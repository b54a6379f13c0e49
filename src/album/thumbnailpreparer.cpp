// SPDX-License-Identifier: MIT
#include "album/thumbnailpreparer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include <sys/stat.h>

#include "album/imaginglibrary.h"
#include "album/jpegsegments.h"
#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "album/picturesteps.h"
#include "platform/filebytes.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

// Read before the budget is taken, to learn the picture's declared size: a JPEG's frame header comes after
// its application segments (each at most 64 KB, rarely more than a few), a bitmap's size in its first bytes.
constexpr std::size_t kHeadBytes = std::size_t{1} << 20;

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
                   MediaKind kind) {
    if (IsDecodedStillKind(kind)) {
        // The minimum the picture is decoded for: twice the box (PictureSteps::DecodePictureBytes).
        uint64_t needed = 0;
        if (imaging.DllPictureNeeds != nullptr && head.size() <= UINT32_MAX &&
            imaging.DllPictureNeeds(head.data(), static_cast<uint32_t>(head.size()), fileSize,
                                    2 * MediaCopier::kBoxWidth, 2 * MediaCopier::kBoxHeight, &needed))
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
bool ReadStill(const ImagingLibrary& imaging, const std::string& source, MediaKind kind, MemoryBudget* budget,
               std::vector<uint8_t>& bytes, MemoryBudget::Share& share, RunFailure& failure) {
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
        if (error == 0)
            share = budget->Take(StillCost(imaging, bytes, static_cast<uint64_t>(info.st_size), kind));
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
    MemoryBudget::Share share; // held until the picture is gone
    std::vector<uint8_t> bytes;
    if (IsMovieKind(kind)) {
        if (budget_)
            share = budget_->Take(kPictureBytes);
    } else if (!ReadStill(imaging_, source, kind, budget_, bytes, share, prepared.failure)) {
        return prepared;
    }
    Picture picture;
    PictureSteps steps(imaging_, picture, prepared.failure);
    const PixelSize box{MediaCopier::kBoxWidth, MediaCopier::kBoxHeight};
    bool sized = false;
    if (kind == MediaKind::StillJpeg) {
        sized = steps.DecodeJpegBytes(bytes, source, box) && steps.FitIntoBox(box);
    } else if (kind == MediaKind::StillBmp) {
        sized = steps.LoadBitmapBytes(bytes, source) && steps.ConvertTo24Bit() && steps.FitIntoBox(box);
    } else if (IsDecodedStillKind(kind)) {
        sized = steps.DecodePictureBytes(bytes, source, box) && steps.FitIntoBox(box);
    } else {
        sized = steps.ReadFirstFrame(source) && steps.FitIntoBox(box);
        if (sized)
            steps.StampMovieMark(kind);
    }
    if (!sized)
        return prepared;
    prepared.width = steps.size().width;
    prepared.height = steps.size().height;
    // The decoded pixels go before the bytes are copied out: one picture at a time, and a small one.
    if (!steps.EncodeJpeg(MediaCopier::kJpegQuality))
        return prepared;
    picture.ReleaseImage();
    prepared.jpeg.assign(picture.encoded(), picture.encoded() + picture.encodedSize());
    prepared.made = true;
    return prepared;
}

} // namespace aw
