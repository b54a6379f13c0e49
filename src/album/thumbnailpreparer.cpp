#include "album/thumbnailpreparer.h"

#include <sys/stat.h>

#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "album/picturesteps.h"

namespace aw {
namespace {

// Opening a FIFO would block the preparing thread until a writer comes, and a device would be read
// without end; such a source is never handed to the steps.
bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

PreparedThumbnail ThumbnailPreparer::Prepare(const std::string& source, int kind) const {
    PreparedThumbnail prepared;
    if (!IsRegularFile(source)) {
        prepared.failure = {source, FailureCause::Unreadable};
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
