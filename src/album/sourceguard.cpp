// SPDX-License-Identifier: MIT
#include "album/sourceguard.h"

#include <set>
#include <utility>

#include <sys/stat.h>

#include "album/createthread.h"
#include "album/gallerypagewriter.h"
#include "platform/paths.h"
#include "stringtable.h"

namespace aw {
namespace {

using FileId = std::pair<dev_t, ino_t>;

bool IdOf(const std::string& path, FileId& id, bool followLink) {
    struct stat info {};
    if ((followLink ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0)
        return false;
    id = {info.st_dev, info.st_ino};
    return true;
}

} // namespace

std::string FindSourceTheRunWouldWrite(const std::vector<MediaItem>& items, const AlbumJob& job,
                                       const std::string& dataFolder, const std::string& thumbFolder) {
    std::set<FileId> sources;
    for (const MediaItem& item : items) {
        FileId id;
        if (IdOf(item.path, id, true))
            sources.insert(id);
    }
    // The written paths are replaced by a rename, not written through a link: a link is judged as itself.
    auto isSource = [&sources](const std::string& path) {
        FileId id;
        return IdOf(path, id, false) && sources.count(id) != 0;
    };
    if (const std::string page = JoinPath(job.outputFolder, GalleryPageWriter::PageName(job)); isSource(page))
        return page;
    // A copy of an item's source that is that source itself is left as it is.
    auto isOther = [&](const MediaItem& item, const std::string& path) {
        FileId own, target;
        const bool itself = IdOf(item.path, own, true) && IdOf(path, target, false) && own == target;
        return !itself && isSource(path);
    };
    for (const MediaItem& item : items) {
        const std::string data = JoinPath(dataFolder, item.fileName);
        if (isOther(item, data))
            return data;
        if (!item.playableName.empty() && isSource(JoinPath(dataFolder, item.playableName)))
            return JoinPath(dataFolder, item.playableName);
        const std::string original =
            JoinPath(dataFolder, LoadText(TextId::OriginalsFolderName) + "/" + item.originalName);
        if (job.originals && !item.originalName.empty() && isOther(item, original))
            return original;
        if (thumbFolder.empty())
            continue;
        // The Gallery writes each thumbnail at 2x and 3x as well.
        for (const char* density : {"", "2x/", "3x/"}) {
            const std::string thumb = JoinPath(thumbFolder, density + item.thumbName);
            if ((job.gallery || !*density) && isSource(thumb))
                return thumb;
        }
    }
    if (job.backgroundIndex > 0) {
        const std::string background =
            JoinPath(dataFolder, CCreateThread::BackgroundDataName(job.backgroundText, items));
        if (isSource(background))
            return background;
    }
    return {};
}

} // namespace aw
