// SPDX-License-Identifier: MIT
#include "album/mediacopier.h"

#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/picturesteps.h"
#include "album/thumbnailpreparer.h"
#include "metadata/privacyedits.h"
#include "platform/filecopy.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "platform/tempfile.h"

namespace aw {
namespace {

constexpr const char* kTempPrefix = "HTM";
// Temporary files are created private (0600) and the final copy carries their bits over; the album's own
// pictures must be readable by whoever serves or opens the album, like any file a program makes.
constexpr mode_t kMadeFileMode = 0644;

// Whether `dataPath` is `source` itself. A symbolic link there is never the same file, even when it leads
// to the source: it would leave the album's Data pointing outside the album, so it is replaced.
bool IsOwnDataFile(const std::string& source, const std::string& dataPath) {
    struct stat data {};
    if (::lstat(dataPath.c_str(), &data) != 0 || S_ISLNK(data.st_mode))
        return false;
    if (source == dataPath)
        return true;
    struct stat first {};
    return ::stat(source.c_str(), &first) == 0 && first.st_dev == data.st_dev && first.st_ino == data.st_ino;
}

bool CanReadRegularFile(const std::string& path) {
    return OpenRegularFile(path).error == 0;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

bool MediaCopier::ClearsPrivateFields(MediaKind kind) const {
    return removePrivateFields_ &&
           (kind == MediaKind::StillJpeg || kind == MediaKind::StillPng || kind == MediaKind::StillWebp);
}

int MediaCopier::CopyWithoutPrivateFields(const std::string& from, const std::string& to) {
    const OpenedFile source = OpenRegularFile(from);
    if (source.error != 0)
        return FinalCopy(from, to); // which tells why it cannot be read
    const std::optional<std::vector<ByteSplice>> edits = PlanPrivacyEdits(source.fd.get());
    if (!edits) {
        Fail(from, FailureCause::PrivateFieldsKept);
        return 0;
    }
    const int error = CopyDescriptorReplacing(source.fd.get(), to, *edits);
    if (error == 0)
        return 1;
    Fail(to, CauseFromErrno(error));
    return error;
}

int MediaCopier::FinalCopy(const TempFile& from, const std::string& to) {
    const int error = CopyDescriptorReplacing(from.fd(), to);
    if (error == 0)
        return 1;
    Fail(to, CauseFromErrno(error));
    return error;
}

bool MediaCopier::WriteTemp(TempFile& temp, const uint8_t* data, std::size_t size) {
    if (const int error = temp.Rewrite(data, size, kMadeFileMode)) {
        Fail(temp.path(), CauseFromErrno(error));
        return false;
    }
    return true;
}

int MediaCopier::EncodeJpegTo(const std::string& source, const std::string& dest, MediaKind kind) {
    TempFile temp = TempFile::Create(workFolder_, kTempPrefix);
    if (!temp.valid()) {
        Fail(workFolder_, FailureCause::NoWorkFolder);
        return 0;
    }
    PictureSteps steps(imaging_, picture_, failure_);
    // A bitmap's Data JPEG is encoded from the bitmap as stored, without a 24-bit conversion first.
    const bool loaded =
        kind == MediaKind::StillBmp ? steps.LoadBitmapFile(source) : steps.DecodePictureFile(source);
    const bool made = loaded && steps.EncodeJpeg(kJpegQuality) &&
                      WriteTemp(temp, picture_.encoded(), picture_.encodedSize());
    picture_.Release();
    if (!made)
        return 0;
    return FinalCopy(temp, dest);
}

int MediaCopier::CopyToDataFolder(const std::string& source, const std::string& dataPath, MediaKind kind) {
    failure_ = {};
    if (!SourceIsRegular(source))
        return 0;
    if (IsConvertedStillKind(kind))
        return EncodeJpegTo(source, dataPath, kind);
    // A source that is its own Data file (an album made again from its Data folder) is already in place;
    // rewriting it would change the user's file.
    if (IsOwnDataFile(source, dataPath))
        return 1;
    return ClearsPrivateFields(kind) ? CopyWithoutPrivateFields(source, dataPath)
                                     : FinalCopy(source, dataPath);
}

int MediaCopier::CopyAsItIs(const std::string& source, const std::string& dest, MediaKind kind) {
    failure_ = {};
    if (!SourceIsRegular(source))
        return 0;
    if (IsOwnDataFile(source, dest))
        return 1;
    // Any picture: the ones the privacy edits cannot write again are refused when they hold private fields.
    return removePrivateFields_ && IsStillKind(kind) ? CopyWithoutPrivateFields(source, dest)
                                                     : FinalCopy(source, dest);
}

int MediaCopier::CommitDisplayCopy(const PreparedThumbnail& prepared, TempFile& tempFile,
                                   const std::string& source, const std::string& dataPath) {
    failure_ = {};
    if (!prepared.made) {
        failure_ = prepared.failure;
        return 0;
    }
    if (IsOwnDataFile(source, dataPath))
        return 1;
    const std::vector<uint8_t>& bytes = prepared.display.bytes;
    if (!WriteTemp(tempFile, bytes.data(), bytes.size()))
        return 0;
    const int result = FinalCopy(tempFile, dataPath);
    if (result == 1)
        tempFile.Remove();
    return result;
}

int MediaCopier::WriteMadeContent(const TempFile& tempFile, const std::string& dest) {
    failure_ = {};
    return FinalCopy(tempFile, dest) == 1 ? 1 : 0;
}

std::string MediaCopier::AudioThumbPath(const std::string& thumbPath) const {
    return JoinPath(FolderOf(thumbPath), FileNameOf(audioPicture_));
}

int MediaCopier::MakeThumbnail(const std::string& source, TempFile& tempFile, const std::string& thumbPath,
                               MediaKind kind) {
    const bool needed = arrangementMarker_ != 1 && kind != MediaKind::Audio;
    return CommitThumbnail(needed ? ThumbnailPreparer(imaging_).Prepare(source, kind) : PreparedThumbnail{},
                           tempFile, thumbPath, kind);
}

int MediaCopier::CommitThumbnail(const PreparedThumbnail& prepared, TempFile& tempFile,
                                 const std::string& thumbPath, MediaKind kind) {
    failure_ = {};
    if (arrangementMarker_ == 1)
        return 1;
    if (kind == MediaKind::Audio) {
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
    if (!WriteTemp(tempFile, prepared.jpeg.data(), prepared.jpeg.size()))
        return 0;
    const int result = FinalCopy(tempFile, thumbPath);
    if (result == 1)
        tempFile.Remove();
    return result;
}

int MediaCopier::WriteDataContent(const std::string& source, const std::string& dest, MediaKind kind) {
    failure_ = {};
    if (IsConvertedStillKind(kind))
        return EncodeJpegTo(source, dest, kind) == 1 ? 1 : 0;
    if (IsOwnDataFile(source, dest))
        return 1;
    const int copied =
        ClearsPrivateFields(kind) ? CopyWithoutPrivateFields(source, dest) : FinalCopy(source, dest);
    return copied == 1 ? 1 : 0;
}

int MediaCopier::WriteThumbContent(const TempFile& tempFile, const std::string& thumbPath, MediaKind kind) {
    failure_ = {};
    if (kind == MediaKind::Audio)
        return FinalCopy(audioPicture_, AudioThumbPath(thumbPath)) == 1 ? 1 : 0;
    return FinalCopy(tempFile, thumbPath) == 1 ? 1 : 0;
}

} // namespace aw
