// SPDX-License-Identifier: MIT
#include "album/moviecopier.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "album/imaginglibrary.h"
#include "platform/atomicfile.h"
#include "platform/filecopy.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

// Readable by whoever serves or opens the album, like every file the album holds (less the umask).
constexpr mode_t kCopyMode = 0644;

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && !S_ISLNK(second.st_mode) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The module's progress callback: the caller's function behind a C pointer.
int CallProgress(void* context, double fraction) {
    const auto* progress = static_cast<const MovieCopier::Progress*>(context);
    return (*progress)(fraction) ? 0 : 1;
}

} // namespace

MovieCopier::Result MovieCopier::Fail(const std::string& file, FailureCause cause, std::string detail) {
    failure_ = RunFailure{file, cause, std::move(detail)};
    return Result::Failed;
}

MovieCopier::Result MovieCopier::Write(const std::string& source, CopyKind kind,
                                       const std::string& destination, const Progress& progress) {
    failure_ = {};
    // Checked before the module opens it, for the cause's own words (the module refuses them too).
    const FailureCause type = CauseFromFileType(TypeOfPath(source));
    if (type != FailureCause::None)
        return Fail(source, type);
    if (SameFile(source, destination))
        return Fail(destination, FailureCause::IsSource);
    if (!imaging_.MakePlayableCopy || kind == CopyKind::None)
        return Fail(source, FailureCause::NoPlayableCopy, "the video module cannot make copies");

    // A read-only earlier copy is replaced like a thumbnail, and read-only again afterwards.
    const bool readOnly = IsReadOnly(destination);
    AtomicFile file(destination, kCopyMode);
    if (!file.valid())
        return Fail(destination, CauseFromErrno(file.error()));
    AwCopyOutcome outcome{};
    const int written = imaging_.MakePlayableCopy(source.c_str(), file.fd(), static_cast<int>(kind),
                                                  CallProgress, const_cast<Progress*>(&progress), &outcome);
    // What was not committed is removed with the file object: no part copy stays.
    if (written == AW_COPY_STOPPED)
        return Result::Stopped;
    if (written != AW_COPY_WRITTEN) {
        if (outcome.writeError != 0)
            return Fail(destination, CauseFromErrno(outcome.writeError));
        outcome.message[sizeof outcome.message - 1] = '\0';
        return Fail(source, FailureCause::NoPlayableCopy, outcome.message);
    }
    struct stat made {};
    int error = 0;
    if (readOnly)
        error = ::fstat(file.fd(), &made) != 0 ? errno : file.SetMode(made.st_mode & 0555);
    // Like every Data file, synced with its folder when the run ends.
    if (error == 0)
        error = file.Commit(AtomicFile::Sync::None);
    if (error != 0)
        return Fail(destination, CauseFromErrno(error));
    return Result::Written;
}

} // namespace aw
