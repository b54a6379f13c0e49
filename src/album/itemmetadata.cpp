// SPDX-License-Identifier: MIT
#include "album/itemmetadata.h"

#include <optional>

#include "album/browserplayback.h"
#include "album/mediakind.h"

namespace aw {
namespace {

bool CopyKeepsMetadata(MediaKind kind, Publishing publishing) {
    return publishing.gallery ? publishing.originals : !IsConvertedStillKind(kind);
}

} // namespace

MediaMetadata ReadItemMetadata(const MediaItem& item, const ImagingLibrary* imaging) {
    if (!imaging || (!IsMovieKind(item.kind) && item.kind != MediaKind::Audio))
        return ReadMediaMetadata(item.path);
    const std::optional<AwMovieDetails> details = ReadMovieDetails(*imaging, item.path);
    if (!details)
        return ReadMediaMetadata(item.path);
    MovieClues clues;
    if (details->hasCreationTime) {
        const std::int64_t micros = details->creationMicroseconds;
        const std::int64_t seconds = micros >= 0 ? micros / 1'000'000 : (micros - 999'999) / 1'000'000;
        clues.created = TakenTime::FromUnixTime(
            seconds, static_cast<long>((micros - seconds * 1'000'000) * 1000), TakenTime::Source::Movie);
    }
    clues.fields = {details->hasLocation != 0, details->hasOwner != 0, details->hasSerial != 0};
    return ReadMediaMetadata(item.path, &clues);
}

std::size_t CountPublishingLocation(const std::vector<MediaItem>& items,
                                    const std::vector<MediaMetadata>& metadata, Publishing publishing) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < items.size() && i < metadata.size(); ++i)
        if (CopyKeepsMetadata(items[i].kind, publishing) && metadata[i].fields.location)
            ++count;
    return count;
}

std::size_t CountPublishingLocation(const std::vector<MediaItem>& items, const ImagingLibrary* imaging,
                                    Publishing publishing) {
    std::size_t count = 0;
    for (const MediaItem& item : items)
        if (CopyKeepsMetadata(item.kind, publishing) && ReadItemMetadata(item, imaging).fields.location)
            ++count;
    return count;
}

} // namespace aw
