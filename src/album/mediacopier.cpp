#include "album/mediacopier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/picturesteps.h"
#include "album/thumbnailpreparer.h"
#include "platform/filebytes.h"
#include "platform/filecopy.h"
#include "platform/regularfile.h"
#include "platform/tempfile.h"

namespace aw {
namespace {

constexpr const char* kTempPrefix = "HTM";
// Temporary files are created private (0600) and the final copy carries their bits over; the album's own
// pictures must be readable by whoever serves or opens the album, like any file a program makes.
constexpr mode_t kMadeFileMode = 0644;

// Removes the temporary file it names when it goes out of scope, so no path can leave one behind.
class TempFileGuard {
public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    const std::string& path() const { return path_; }
    bool empty() const { return path_.empty(); }

private:
    std::string path_;
};

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool CanReadRegularFile(const std::string& path) {
    return OpenRegularFile(path).error == 0;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPrefixOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

MediaCopier::MediaCopier(const ImagingLibrary& imaging, const std::string& workFolder, int arrangementMarker,
                         std::string audioPicture)
    : imaging_(imaging), workFolder_(workFolder), arrangementMarker_(arrangementMarker),
      audioPicture_(std::move(audioPicture)) {}

void MediaCopier::Fail(const std::string& file, FailureCause cause) {
    failure_ = RunFailure{file, cause};
}

bool MediaCopier::SourceIsRegular(const std::string& source) {
    // Checked before any step opens it: a FIFO would block the open, a device would be read without end.
    const FailureCause cause = CauseFromFileType(TypeOfPath(source));
    if (cause == FailureCause::None)
        return true;
    Fail(source, cause);
    return false;
}

int MediaCopier::FinalCopy(const std::string& from, const std::string& to) {
    const int error = CopyFileReplacing(from, to);
    if (error == 0)
        return 1;
    // A source that cannot be read is no reason to offer replacing the destination.
    if (!CanReadRegularFile(from)) {
        const FailureCause cause = CauseFromFileType(TypeOfPath(from));
        Fail(from, cause == FailureCause::None ? FailureCause::Unreadable : cause);
        return 0;
    }
    Fail(to, CauseFromErrno(error));
    return error;
}

std::string MediaCopier::NewTempFile() {
    std::string path = CreateTempFile(workFolder_, kTempPrefix);
    if (path.empty())
        Fail(workFolder_, FailureCause::NoWorkFolder);
    return path;
}

int MediaCopier::EncodeJpegTo(const std::string& source, const std::string& dest, int kind) {
    TempFileGuard temp(NewTempFile());
    if (temp.empty())
        return 0;
    PictureSteps steps(imaging_, picture_, failure_);
    // A bitmap's Data JPEG is encoded from the bitmap as stored, without a 24-bit conversion first.
    const bool loaded = kind == StillBmp ? steps.LoadBitmapFile(source) : steps.DecodePictureFile(source);
    const bool made = loaded && steps.EncodeJpeg(kJpegQuality) && steps.WriteEncodedFile(temp.path());
    picture_.Release();
    ::chmod(temp.path().c_str(), kMadeFileMode);
    if (!made)
        return 0;
    return FinalCopy(temp.path(), dest);
}

int MediaCopier::CopyToDataFolder(const std::string& source, const std::string& dataPath, int kind) {
    failure_ = {};
    if (!SourceIsRegular(source))
        return 0;
    if (IsConvertedStillKind(kind))
        return EncodeJpegTo(source, dataPath, kind);
    // A source that is its own Data file (an album made again from its Data folder) is already in place;
    // rewriting it would change the user's file.
    if (SameFile(source, dataPath))
        return 1;
    return FinalCopy(source, dataPath);
}

std::string MediaCopier::AudioThumbPath(const std::string& thumbPath) const {
    return FolderPrefixOf(thumbPath) + FileNameOf(audioPicture_);
}

int MediaCopier::MakeThumbnail(const std::string& source, const std::string& tempFile,
                               const std::string& thumbPath, int kind) {
    const bool needed = arrangementMarker_ != 1 && kind != Audio;
    return CommitThumbnail(needed ? ThumbnailPreparer(imaging_).Prepare(source, kind) : PreparedThumbnail{},
                           tempFile, thumbPath, kind);
}

int MediaCopier::CommitThumbnail(const PreparedThumbnail& prepared, const std::string& tempFile,
                                 const std::string& thumbPath, int kind) {
    failure_ = {};
    if (arrangementMarker_ == 1)
        return 1;
    if (kind == Audio) {
        thumbWidth_ = kBoxWidth;
        thumbHeight_ = kBoxHeight;
        return FinalCopy(audioPicture_, AudioThumbPath(thumbPath));
    }
    if (prepared.width > 0 && prepared.height > 0) {
        thumbWidth_ = prepared.width;
        thumbHeight_ = prepared.height;
    }
    if (!prepared.made) {
        failure_ = prepared.failure;
        return 0;
    }
    const int error = WriteFileBytes(tempFile, prepared.jpeg.data(), prepared.jpeg.size());
    ::chmod(tempFile.c_str(), kMadeFileMode);
    if (error != 0) {
        Fail(tempFile, CauseFromErrno(error));
        return 0;
    }
    const int result = FinalCopy(tempFile, thumbPath);
    if (result == 1)
        ::unlink(tempFile.c_str());
    return result;
}

int MediaCopier::WriteDataContent(const std::string& source, const std::string& dest, int kind) {
    failure_ = {};
    if (IsConvertedStillKind(kind))
        return EncodeJpegTo(source, dest, kind) == 1 ? 1 : 0;
    if (SameFile(source, dest))
        return 1;
    return FinalCopy(source, dest) == 1 ? 1 : 0;
}

int MediaCopier::WriteThumbContent(const std::string& tempFile, const std::string& thumbPath, int kind) {
    failure_ = {};
    if (kind == Audio)
        return FinalCopy(audioPicture_, AudioThumbPath(thumbPath)) == 1 ? 1 : 0;
    return FinalCopy(tempFile, thumbPath) == 1 ? 1 : 0;
}

} // namespace aw
