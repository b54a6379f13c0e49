// SPDX-License-Identifier: MIT
#include "album/recordedrun.h"

#include <cstring>

#include "album/gallerypagewriter.h"
#include "album/staletemporaries.h"
#include "platform/paths.h"
#include "platform/statefolder.h"
#include "stringtable.h"

namespace aw {
namespace {

// The lock beside the album's record: in a state folder that is made and private, else none.
std::string LockPath(const std::string& realPath) {
    return StateFolder::Prepare().empty() ? AlbumLockPath(realPath) : std::string();
}

} // namespace

RecordedRun::RecordedRun(const ProgressRequest& request, Mode mode, const std::string& version)
    : realPath_(AlbumRealPath(request.job.outputFolder)), lock_(LockPath(realPath_)) {
    const std::string& album = request.job.outputFolder;
    if (lock_.alone())
        staleRemoved_ = RemoveStaleTemporaries(album);
    lock_.Share();
    earlier_ = TakeAlbumRecord(album, version);
    recordPath_ = earlier_.read.state == ManifestState::Unusable ? std::string() : AlbumRecordPath(realPath_);

    ReuseTarget target;
    target.albumFolder = album;
    target.dataFolder = request.dataPath;
    // Without thumbnails the run has no Thumb folder, but a prune still finds the earlier ones there.
    target.thumbnails = request.arrangementMarker != 1;
    target.thumbFolder =
        target.thumbnails ? request.thumbPath : JoinPath(album, LoadText(TextId::ThumbFolderName));
    target.audioPicture = request.job.audioPicture;
    if (request.job.backgroundIndex > 0)
        target.backgroundPath = request.job.backgroundText;
    target.version = version;
    target.recordPath = recordPath_;
    target.header = RecordHeader{realPath_, GalleryPageWriter::PageName(request.job), request.choices};
    target.reuse = mode.reuse;
    target.prune = mode.prune;
    target.densities = request.job.gallery ? 3 : 1;
    target.withoutPrivateFields = request.job.removeLocation != 0;
    target.displayCopies = request.job.gallery;
    target.originals = request.job.originals;
    std::vector<ManifestEntry> entries;
    if (earlier_.read.state == ManifestState::Read)
        entries = std::move(earlier_.read.entries);
    plan_ = std::make_unique<ReusePlan>(request.items, std::move(target), std::move(entries));
}

std::string RecordedRun::problem() const {
    if (earlier_.read.state == ManifestState::Unusable)
        return FormatText(LoadText(TextId::RecordNotUsed), {earlier_.read.problem});
    if (plan_->saveError() == 0)
        return {};
    return FormatText(LoadText(TextId::ManifestNotWritten), {recordPath_, std::strerror(plan_->saveError())});
}

} // namespace aw
