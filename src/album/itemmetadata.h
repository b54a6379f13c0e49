// SPDX-License-Identifier: MIT
// The metadata of album items (mediametadata.h), movies' and sounds' through the video module, and what the
// album will publish of it: a Data copy that is the file itself publishes its location, one converted to
// JPEG carries no metadata at all. The command line's location notice and the window's question count
// with these. Thread-safe (no shared state); the imaging table is borrowed.
#pragma once

#include <cstddef>
#include <vector>

#include "album/mediaitem.h"
#include "metadata/mediametadata.h"

namespace aw {

struct ImagingLibrary;

// A movie's or sound's creation time and private fields come from the video module when `imaging` is
// given and has the details entry point; pictures need none.
MediaMetadata ReadItemMetadata(const MediaItem& item, const ImagingLibrary* imaging);

// What an album holds of its items' own bytes: the Data copies of arrangements 1-4; in the Gallery, whose
// Data copies carry no metadata at all, only the originals when they are asked for.
struct Publishing {
    bool gallery = false;
    bool originals = false;
};

// How many of `items` carry the place where they were taken into the album when copied as they are;
// `metadata` holds ReadItemMetadata of each item, in the same order.
std::size_t CountPublishingLocation(const std::vector<MediaItem>& items,
                                    const std::vector<MediaMetadata>& metadata, Publishing publishing = {});
// The same, reading each item that keeps its metadata.
std::size_t CountPublishingLocation(const std::vector<MediaItem>& items, const ImagingLibrary* imaging,
                                    Publishing publishing = {});

} // namespace aw
