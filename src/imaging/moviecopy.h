// SPDX-License-Identifier: MIT
// Writes a copy of a local movie or sound file that browsers play, into a file the caller made:
//  - Remux: the H.264 video stream copied packet for packet into MP4; its sound copied when MP4 players
//    take it (AAC, MP3), else encoded to AAC. From AVI, which keeps no presentation times, H.264 with
//    reordered frames is encoded instead, so that it plays in order.
//  - Encode: the video encoded to H.264 (VideoTranscoder), the sound copied or encoded as for Remux.
//  - Sound: the first sound stream as AAC in MP4 (an .m4a file).
//  - Clean: the first video and sound streams copied as they are into a container of the source's own
//    family (MP4, WebM or Matroska, Ogg, MP3, WAV, FLAC, ADTS), for a file browsers already play.
// Every copy has "fast start" where its container has an index, starts at time 0, keeps the turn the video
// declares, and carries none of the source's metadata (no location, dates, names, chapters, cover
// pictures or other streams). Same rules as the frame reader: local files only, an allow-list of demuxers,
// a pixel limit. Stateless and thread-safe.
#pragma once

#include <functional>
#include <string>

namespace aw::imaging {

enum class CopyMode { Remux = 1, Encode = 2, Sound = 3, Clean = 4 };

class MovieCopy {
public:
    // Told the fraction of the source's duration done (0..1), at least once per packet read; false stops
    // the copy.
    using Progress = std::function<bool(double fraction)>;

    // Writes through `fd` (an empty file, from its start; never closed here) and gives true when complete,
    // false when `progress` stopped it. Throws ImagingError on failure (with the errno of a write to the
    // copy that failed, so that a full disk is told from a movie that cannot be converted). Either way the
    // file may hold a part copy: removing it is the caller's.
    static bool Write(const std::string& source, int fd, CopyMode mode, const Progress& progress);
};

} // namespace aw::imaging
