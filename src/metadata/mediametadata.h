// SPDX-License-Identifier: MIT
// What the album tells about a picture or movie beyond its pixels: its caption, when it was taken, and
// whether it carries the place where it was taken, its camera owner's name or serial numbers. The page
// writer takes captions for its captions and alt texts, the window shows them in its list, the sort
// orders by the date taken, and the location notice counts what carries a place.
//
//   caption  XMP dc:description, else IPTC Caption-Abstract, else EXIF ImageDescription (a camera's
//            boilerplate never counts), else the text file beside it (caption.h)
//   taken    EXIF DateTimeOriginal with its offset, else XMP's date, else the movie's creation time, else
//            the file's modification time; a time without an offset is local time
//
// Thread-safe: any number of threads may read at once (exiv2's set-up happens once, on first use).
#pragma once

#include <optional>
#include <string>

#include "metadata/privatefields.h"
#include "metadata/takentime.h"

namespace aw {

// What the video module reads from a movie's or sound's own metadata.
struct MovieClues {
    std::optional<TakenTime> created; // its creation time
    PrivateFields fields;             // a location (MP4/QuickTime location atoms), an owner, a serial
};

struct MediaMetadata {
    std::string caption; // UTF-8, without blanks around it; empty when it has none
    TakenTime taken;     // unknown only when the file cannot be read at all
    PrivateFields fields;
};

// Reads what `path` tells (pictures by their metadata blocks; movies by `movie` when given). A file that
// cannot be opened as a regular file (missing, a FIFO) gives an empty result without blocking.
MediaMetadata ReadMediaMetadata(const std::string& path, const MovieClues* movie = nullptr);

} // namespace aw
