// SPDX-License-Identifier: MIT
#include "album/reuseplan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/albumrecords.h"
#include "album/browserplayback.h"
#include "album/mediakind.h"
#include "stringtable.h"

namespace aw {
namespace {

// Never a folder at the root, and never through a link planted in the folder's place.
UniqueFd OpenOwnFolder(int parent, const std::string& path) {
    if (path.empty() || (parent < 0 && parent != AT_FDCWD))
        return UniqueFd();
    return UniqueFd(::openat(parent, path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

} // namespace

ReusePlan::ReusePlan(const std::vector<MediaItem>& items, ReuseTarget target,
                     std::vector<ManifestEntry> earlier)
    : items_(items), target_(std::move(target)),
      album_(target_.albumFolder.empty()
                 ? UniqueFd()
                 : UniqueFd(::open(target_.albumFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC))),
      data_(OpenOwnFolder(AT_FDCWD, target_.dataFolder)),
      thumb_(OpenOwnFolder(AT_FDCWD, target_.thumbFolder)) {
    OpenLaterFolders();
    for (ManifestEntry& entry : earlier) {
        Key key{entry.folder, entry.name};
        earlier_[std::move(key)] = std::move(entry);
    }
    audio_ = {target_.audioPicture, {MediaKind::Audio}, SourceIdentity(target_.audioPicture)};
    if (!target_.backgroundPath.empty())
        background_ = {target_.backgroundPath, RecordKind::Background(),
                       SourceIdentity(target_.backgroundPath)};
    thumbPlanned_.assign(items_.size(), 0);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const MediaItem& item = items_[i];
        sources_.push_back({item.path, {item.kind}, SourceIdentity(item.path)});
        used_.insert({'D', item.fileName});
        if (target_.originals)
            used_.insert({'O', item.originalName});
        if (target_.thumbnails) {
            used_.insert({'T', item.thumbName});
            bool planned = target_.reuse && Matches({'T', item.thumbName}, ThumbSource(i));
            for (const char density : {'2', '3'}) {
                if (HasDenser(i)) {
                    used_.insert({density, item.thumbName});
                    planned = planned && Matches({density, item.thumbName}, sources_[i]);
                }
            }
            if (target_.displayCopies && IsStillKind(item.kind))
                planned = planned && Matches({'D', item.fileName}, DataSource(i));
            thumbPlanned_[i] = planned ? 1 : 0;
        }
    }
}

int ReusePlan::FolderOf(const Key& key) const {
    switch (key.first) {
    case 'D':
        return data_.get();
    case 'O':
        return originals_.get();
    case 'P':
        return album_.get();
    case '2':
    case '3':
        return denser_[key.first - '2'].get();
    default:
        return thumb_.get();
    }
}

bool ReusePlan::HasDenser(std::size_t index) const {
    return target_.densities > 1 && items_[index].kind != MediaKind::Audio;
}

ReusePlan::Source ReusePlan::ThumbSource(std::size_t index) const {
    // Every audio item's thumbnail is the one copy of the audio picture.
    return items_[index].kind == MediaKind::Audio ? audio_ : sources_[index];
}

ReusePlan::Source ReusePlan::DataSource(std::size_t index) const {
    // A copy that carries the location is not kept by a run that removes it, nor the other way round; a
    // display copy (which carries no metadata at all) never stands for a copy of the file's bytes.
    Source source = sources_[index];
    if (target_.displayCopies && IsStillKind(items_[index].kind))
        source.kind = RecordKind::Display(items_[index].kind);
    else
        source.kind.withoutPrivateFields = target_.withoutPrivateFields;
    return source;
}

ReusePlan::Source ReusePlan::OriginalSource(std::size_t index) const {
    Source source = sources_[index];
    source.kind.withoutPrivateFields = target_.withoutPrivateFields;
    return source;
}

bool ReusePlan::Matches(const Key& key, const Source& source) const {
    // A file this run already wrote or kept (the audio picture's copy, shared by all audio items) is
    // checked against what this run recorded, not against the earlier run.
    auto found = current_.find(key);
    if (found == current_.end()) {
        found = earlier_.find(key);
        if (found == earlier_.end())
            return false;
    }
    const ManifestEntry& entry = found->second;
    if (!source.identity || entry.kind != source.kind || entry.sourcePath != source.path ||
        entry.source != *source.identity)
        return false;
    const std::optional<FileIdentity> now = SourceIdentity(source.path);
    const std::optional<FileIdentity> written = WrittenIdentity(FolderOf(key), key.second);
    return now && *now == *source.identity && written && *written == entry.written;
}

bool ReusePlan::Keep(const Key& key, const Source& source) {
    if (!target_.reuse || !Matches(key, source))
        return false;
    if (current_.find(key) == current_.end())
        current_[key] = earlier_.at(key);
    return true;
}

bool ReusePlan::KeepData(std::size_t index) {
    return Keep({'D', items_[index].fileName}, DataSource(index));
}

bool ReusePlan::KeepOriginal(std::size_t index) {
    return Keep({'O', items_[index].originalName}, OriginalSource(index));
}

void ReusePlan::OpenLaterFolders() {
    // Thumb/2x, Thumb/3x and Data/originals may be made by the run, after the plan: until they exist,
    // nothing in them is kept.
    for (int i = 0; i < 2; ++i)
        if (!denser_[i].valid())
            denser_[i] = OpenOwnFolder(thumb_.get(), i == 0 ? "2x" : "3x");
    if (!originals_.valid())
        originals_ = OpenOwnFolder(data_.get(), LoadText(TextId::OriginalsFolderName));
}

void ReusePlan::RecordOriginal(std::size_t index) {
    Record({'O', items_[index].originalName}, OriginalSource(index), 0, 0);
}

void ReusePlan::LeaveOutData(std::size_t index) {
    used_.erase({'D', items_[index].fileName});
}

bool ReusePlan::KeepThumb(std::size_t index, int& width, int& height, PixelSize* picture) {
    if (!target_.thumbnails)
        return false;
    const Key key{'T', items_[index].thumbName};
    if (!Keep(key, ThumbSource(index)))
        return false;
    PixelSize recorded;
    if (HasDenser(index)) {
        for (const char density : {'2', '3'})
            if (!Keep({density, items_[index].thumbName}, sources_[index]))
                return false;
        const ManifestEntry& denser = current_.at({'3', items_[index].thumbName});
        recorded = {denser.thumbWidth, denser.thumbHeight};
    }
    width = current_.at(key).thumbWidth;
    height = current_.at(key).thumbHeight;
    if (picture)
        *picture = recorded;
    return true;
}

void ReusePlan::Record(const Key& key, const Source& source, int width, int height) {
    // Whatever was recorded under this name before no longer describes the file.
    current_.erase(key);
    earlier_.erase(key);
    OpenLaterFolders();
    const std::optional<FileIdentity> now = SourceIdentity(source.path);
    const std::optional<FileIdentity> written = WrittenIdentity(FolderOf(key), key.second);
    // A source changed while the run read it, or one that is its own Data file (an album made again from
    // its Data folder: the user's file, not a copy), is not recorded.
    if (!source.identity || !now || *now != *source.identity || !written ||
        (written->device == now->device && written->inode == now->inode))
        return;
    current_[key] =
        ManifestEntry{key.first, key.second, source.kind, width, height, source.path, *now, *written};
}

ReusePlan::Key ReusePlan::PlayableKey(std::size_t index, int copyKind) {
    const MediaItem& item = items_[index];
    Key key{'D', copyKind == static_cast<int>(CopyKind::Clean) ? item.fileName : item.playableName};
    used_.insert(key);
    return key;
}

ReusePlan::Source ReusePlan::PlayableSource(std::size_t index, int copyKind) const {
    Source source = sources_[index];
    source.kind = RecordKind::Playable(copyKind);
    return source;
}

bool ReusePlan::KeepPlayable(std::size_t index, int copyKind) {
    return Keep(PlayableKey(index, copyKind), PlayableSource(index, copyKind));
}

void ReusePlan::RecordPlayable(std::size_t index, int copyKind) {
    Record(PlayableKey(index, copyKind), PlayableSource(index, copyKind), 0, 0);
}

void ReusePlan::RecordData(std::size_t index) {
    Record({'D', items_[index].fileName}, DataSource(index), 0, 0);
}

void ReusePlan::RecordThumb(std::size_t index, int width, int height) {
    if (target_.thumbnails)
        Record({'T', items_[index].thumbName}, ThumbSource(index), width, height);
}

void ReusePlan::RecordDenser(std::size_t index, int density, int pictureWidth, int pictureHeight) {
    if (HasDenser(index) && (density == 2 || density == 3))
        Record({static_cast<char>('0' + density), items_[index].thumbName}, sources_[index], pictureWidth,
               pictureHeight);
}

void ReusePlan::RecordPage(const std::string& name, const std::string& madeFrom) {
    page_ = name;
    used_.insert({'P', name});
    Record({'P', name}, {madeFrom, RecordKind{}, SourceIdentity(madeFrom)}, 0, 0); // a page is no item's
}

bool ReusePlan::SamePage(const std::string& name) const {
    // On a file system that ignores case (a FAT card) the other name is the page just written.
    struct stat other {};
    struct stat page {};
    return !page_.empty() && ::fstatat(album_.get(), name.c_str(), &other, 0) == 0 &&
           ::fstatat(album_.get(), page_.c_str(), &page, 0) == 0 && other.st_dev == page.st_dev &&
           other.st_ino == page.st_ino;
}

void ReusePlan::RecordBackground(const std::string& name) {
    used_.insert({'D', name});
    Record({'D', name}, background_, 0, 0);
}

int ReusePlan::Conclude(bool written) {
    OpenLaterFolders();
    if (concluded_)
        return saveError_;
    concluded_ = true;
    // A source of this run is never removed, whatever the record says about it.
    std::set<std::pair<std::uint64_t, std::uint64_t>> sources;
    for (const Source& source : sources_)
        if (source.identity)
            sources.insert({source.identity->device, source.identity->inode});
    for (auto& [key, entry] : earlier_) {
        if (current_.count(key) != 0)
            continue;
        const std::optional<FileIdentity> now = WrittenIdentity(FolderOf(key), key.second);
        // Gone, replaced or edited since: no longer the album's own file.
        if (!now || !now->SameFileAs(entry.written))
            continue;
        const bool unused = used_.count(key) == 0 && sources.count({now->device, now->inode}) == 0;
        if (written && target_.prune && unused && key.first != 'P' &&
            ::unlinkat(FolderOf(key), key.second.c_str(), 0) == 0) {
            ++pruned_;
            continue;
        }
        // The page of the arrangement the album no longer has goes whether or not pruning was asked for: two
        // pages of one album would show two different albums.
        if (written && key.first == 'P' && unused && !page_.empty() && !SamePage(key.second)) {
            if (::unlinkat(album_.get(), key.second.c_str(), 0) == 0)
                continue;
        }
        current_[key] = std::move(entry);
    }
    // A full run of an arrangement without thumbnails makes no Thumb folder; nor does a pruned one.
    if (written && target_.prune && !target_.thumbnails && thumb_) {
        for (const char* denser : {"2x", "3x"})
            ::unlinkat(thumb_.get(), denser, AT_REMOVEDIR);
        ::rmdir(target_.thumbFolder.c_str());
    }
    std::vector<ManifestEntry> entries;
    entries.reserve(current_.size());
    for (auto& [key, entry] : current_)
        entries.push_back(std::move(entry));
    RecordHeader header = target_.header;
    if (!page_.empty())
        header.pageName = page_;
    saveError_ = SaveAlbumRecord(target_.recordPath, header, entries, target_.version);
    return saveError_;
}

} // namespace aw
