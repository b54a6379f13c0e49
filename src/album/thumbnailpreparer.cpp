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
// reckons from their headers for a decode at least `decodedFor`, or, when it cannot tell, all of the budget.
// `copies` of all that when the thumbnails keep the decoded picture beside the one fitted. With a display
// copy: the file's bytes, the decode, the display copy fitted from it (kept once more for the thumbnails)
// and its bytes; a PNG, GIF or WebP's own copy is made from a second decode.
uint64_t StillCost(const ImagingLibrary& imaging, const std::vector<uint8_t>& head, uint64_t fileSize,
                   MediaKind kind, PixelSize decodedFor, int copies, bool display) {
    constexpr uint64_t kAll = std::numeric_limits<uint64_t>::max();
    const auto add = [](uint64_t a, uint64_t b) { return a > kAll - b ? kAll : a + b; };
    const auto times = [](uint64_t a, uint64_t n) { return n != 0 && a > kAll / n ? kAll : a * n; };
    uint64_t file = fileSize;
    uint64_t picture = 0;
    if (IsDecodedStillKind(kind)) {
        // The minimum the picture is decoded for: twice the box (PictureSteps::DecodePictureBytes).
        if (imaging.DllPictureNeeds == nullptr || head.size() > UINT32_MAX ||
            !imaging.DllPictureNeeds(head.data(), static_cast<uint32_t>(head.size()), fileSize,
                                     2 * decodedFor.width, 2 * decodedFor.height, &picture))
            return kAll;
    } else {
        const uint64_t pixels = DeclaredPixels(head, kind);
        picture = pixels == 0 ? ThumbnailPreparer::kPictureBytes
                              : std::min(pixels * 3, ThumbnailPreparer::kPictureBytes);
        file = times(fileSize, kind == MediaKind::StillBmp ? 2 : 1);
    }
    if (!display)
        return times(add(file, picture), static_cast<uint64_t>(copies));
    constexpr auto kSide = static_cast<uint64_t>(ThumbnailPreparer::kDisplaySide);
    const uint64_t shown = std::min(picture, kSide * kSide * 3);
    uint64_t cost = add(add(file, picture), add(times(shown, static_cast<uint64_t>(copies)), shown / 2));
    if (IsDecodedStillKind(kind) && kind != MediaKind::StillHeif)
        cost = add(cost, add(fileSize, picture));
    return cost;
}

// Reads the still's bytes through one descriptor, having taken its part of `budget` (when given) before
// reading more than its head. False with the cause in `failure`.
bool ReadStill(const ImagingLibrary& imaging, const std::string& source, MediaKind kind, PixelSize decodedFor,
               MemoryBudget* budget, int copies, bool display, std::vector<uint8_t>& bytes,
               MemoryBudget::Share& share, RunFailure& failure) {
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
            share = budget->Take(
                StillCost(imaging, bytes, static_cast<uint64_t>(info.st_size), kind, decodedFor, copies, display));
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
    const PixelSize displayBox{kDisplaySide, kDisplaySide};
    // Denser thumbnails keep a copy of the decoded picture beside the one being fitted.
    const int copies = densities_ > 1 ? 2 : 1;
    const bool display = display_ && IsStillKind(kind);
    // Photos, bitmaps and HEIF pictures become a JPEG for screens made from this very decode; the formats
    // kept as they are get theirs from the module.
    const bool displayJpeg = display && !KeepsItsFormat(kind);
    MemoryBudget::Share share; // held until the picture is gone
    std::vector<uint8_t> bytes;
    if (IsMovieKind(kind)) {
        if (budget_)
            share = budget_->Take(kPictureBytes * copies);
    } else if (!ReadStill(imaging_, source, kind, displayJpeg ? displayBox : largest, budget_, copies, display,
                          bytes, share, prepared.failure)) {
        return prepared;
    }
    Picture picture;
    PictureSteps steps(imaging_, picture, prepared.failure);
    bool decoded = false;
    // The display copy is fitted from a DCT-scaled decode that is at least its own size: the codec's
    // scaling already averages, and a larger decode would cost without showing.
    if (kind == MediaKind::StillJpeg)
        decoded = displayJpeg ? steps.DecodeJpegBytes(bytes, source, displayBox, 1)
                              : steps.DecodeJpegBytes(bytes, source, largest);
    else if (kind == MediaKind::StillBmp)
        decoded = steps.LoadBitmapBytes(bytes, source) && steps.ConvertTo24Bit();
    else if (IsDecodedStillKind(kind))
        decoded = steps.DecodePictureBytes(bytes, source, displayJpeg ? displayBox : largest);
    else
        decoded = steps.ReadFirstFrame(source);
    if (!decoded)
        return prepared;
    if (displayJpeg && !MakeDisplayJpeg(steps, picture, prepared))
        return prepared;
    if (display && !displayJpeg && !MakeDisplayPicture(bytes, source, prepared))
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
    const PixelSize shown =
        display ? PixelSize{prepared.display.width, prepared.display.height} : steps.shownSize();
    prepared.pictureWidth = shown.width;
    prepared.pictureHeight = shown.height;
    prepared.made = true;
    return prepared;
}

bool ThumbnailPreparer::MakeDisplayJpeg(PictureSteps& steps, Picture& picture,
                                        PreparedThumbnail& prepared) const {
    // Upright and in sRGB from the decode; the encoder writes no metadata at all.
    if (!steps.FitIntoBox({kDisplaySide, kDisplaySide}) || !steps.EncodeJpeg(kDisplayQuality))
        return false;
    prepared.display.bytes.assign(picture.encoded(), picture.encoded() + picture.encodedSize());
    prepared.display.width = steps.size().width;
    prepared.display.height = steps.size().height;
    picture.ReleaseEncoded();
    // The thumbnails are fitted from the display copy's pixels: smaller to read than the decode, and
    // still more than twice the largest thumbnail.
    steps.SettleUpright();
    return true;
}

bool ThumbnailPreparer::MakeDisplayPicture(const std::vector<uint8_t>& bytes, const std::string& source,
                                           PreparedThumbnail& prepared) const {
    if (imaging_.DllMakeDisplayPicture == nullptr || bytes.size() > UINT32_MAX) {
        prepared.failure = {source, FailureCause::NotAPicture};
        return false;
    }
    uint32_t size = 0;
    int width = 0;
    int height = 0;
    const MallocBuffer made =
        AdoptMalloced(imaging_.DllMakeDisplayPicture(bytes.data(), static_cast<uint32_t>(bytes.size()),
                                                     kDisplaySide, kDisplayQuality, &size, &width, &height));
    if (!made || size == 0 || width <= 0 || height <= 0) {
        prepared.failure = {source, FailureCause::NotAPicture};
        return false;
    }
    prepared.display.bytes.assign(made.get(), made.get() + size);
    prepared.display.width = width;
    prepared.display.height = height;
    return true;
}

} // namespace aw
