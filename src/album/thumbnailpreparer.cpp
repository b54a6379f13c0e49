#include "album/thumbnailpreparer.h"

#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "album/picturesteps.h"

namespace aw {

PreparedThumbnail ThumbnailPreparer::Prepare(const std::string& source, int kind) const {
    PreparedThumbnail prepared;
    // Opening a FIFO would block the worker until a writer comes, and a device would be read without end:
    // such a source never reaches the steps.
    if (const FailureCause cause = CauseFromFileType(TypeOfPath(source)); cause != FailureCause::None) {
        prepared.failure = {source, cause};
        return prepared;
    }
    Picture picture;
    PictureSteps steps(imaging_, picture, prepared.failure);
    const PixelSize box{MediaCopier::kBoxWidth, MediaCopier::kBoxHeight};
    bool sized = false;
    if (kind == StillJpeg) {
        sized = steps.DecodeJpegFile(source, box) && steps.FitIntoBox(box);
    } else if (kind == StillBmp) {
        sized = steps.LoadBitmapFile(source) && steps.ConvertTo24Bit() && steps.FitIntoBox(box);
    } else if (IsDecodedStillKind(kind)) {
        sized = steps.DecodePictureFile(source, box) && steps.FitIntoBox(box);
    } else if (IsMovieKind(kind)) {
        sized = steps.ReadFirstFrame(source) && steps.FitIntoBox(box);
        if (sized)
            steps.StampMovieMark(kind);
    } else {
        prepared.failure = {source, FailureCause::NotAPicture};
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
