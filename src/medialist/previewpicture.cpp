// SPDX-License-Identifier: MIT
#include "medialist/previewpicture.h"

#include "album/mediakind.h"
#include "album/picturesteps.h"
#include "album/runfailure.h"

namespace aw {

PreviewKind PreviewKindOf(MediaKind kind) {
    if (kind == MediaKind::Audio)
        return PreviewKind::SoundPicture;
    return IsStillKind(kind) || IsMovieKind(kind) ? PreviewKind::Picture : PreviewKind::None;
}

bool PreparePreview(const std::string& path, MediaKind kind, const ImagingLibrary& imaging, Picture& out) {
    out.Release();
    if (PreviewKindOf(kind) != PreviewKind::Picture)
        return PreviewKindOf(kind) == PreviewKind::SoundPicture;
    // The thumbnail steps are reused as they are: the same header checks on bitmaps, the same EXIF turn,
    // and a JPEG decoded at a reduced DCT scale when the module offers it, so a 24-megapixel picture is
    // never decoded whole only to be shrunk to a few thousand pixels; a camera's own preview image stored
    // in the file spares even that.
    RunFailure failure;
    PictureSteps steps(imaging, out, failure);
    const PixelSize box{kPreviewBoxWidth, kPreviewBoxHeight};
    bool made = false;
    if (kind == MediaKind::StillJpeg)
        made = steps.DecodeJpegForPreview(path, box) && steps.FitIntoBox(box);
    else if (kind == MediaKind::StillBmp)
        made = steps.LoadBitmapFile(path) && steps.ConvertTo24Bit() && steps.FitIntoBox(box);
    else if (IsDecodedStillKind(kind))
        made = steps.DecodePictureFile(path, box) && steps.FitIntoBox(box);
    else if (IsMovieKind(kind))
        made = steps.ReadFirstFrame(path) && steps.FitIntoBox(box);
    if (!made)
        out.Release();
    return made;
}

} // namespace aw
