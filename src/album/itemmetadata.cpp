// SPDX-License-Identifier: MIT
#include "album/itemmetadata.h"

#include "album/mediakind.h"

namespace aw {
namespace {

bool CopyKeepsMetadata(MediaKind kind) {
    return !IsConvertedStillKind(kind);
}

} // namespace

MediaMetadata ReadItemMetadata(const MediaItem& item) {
    return ReadMediaMetadata(item.path);
}

std::size_t CountPublishingLocation(const std::vector<MediaItem>& items,
                                    const std::vector<MediaMetadata>& metadata) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < items.size() && i < metadata.size(); ++i)
        if (CopyKeepsMetadata(items[i].kind) && metadata[i].fields.location)
            ++count;
    return count;
}

std::size_t CountPublishingLocation(const std::vector<MediaItem>& items) {
    std::size_t count = 0;
    for (const MediaItem& item : items)
        if (CopyKeepsMetadata(item.kind) && ReadItemMetadata(item).fields.location)
            ++count;
    return count;
}

} // namespace aw
