// SPDX-License-Identifier: MIT
// Whether today's browsers play a movie or a sound file, judged from what the video module reads in the
// file, and which copy a page needs otherwise.
//  - Movies play from MP4/MOV/M4V/3GP holding H.264 video (AAC or MP3 sound, or none), or WebM/Matroska
//    holding VP8, VP9 or AV1 video (Opus or Vorbis sound, or none); everything else (ASF, AVI, MPEG, other
//    codecs) does not. With the video's pixel format known, H.264 plays only as 8-bit 4:2:0.
//  - Sounds play from MP3, WAV (PCM), AAC (ADTS or MP4/M4A), Ogg (Vorbis, Opus, FLAC), FLAC and WebM
//    (Opus, Vorbis); WMA and ALAC do not.
// Pure functions but for the module calls; thread-safe.
#pragma once

#include <optional>
#include <string>

#include "imaging/imagingabi.h"

namespace aw {

struct ImagingLibrary;

// The copy a page needs to play an item, numbered as the video module's copy modes.
enum class CopyKind : int {
    None = 0,                // plays as it is
    Remux = AW_COPY_REMUX,   // H.264 into MP4, packet for packet
    Encode = AW_COPY_ENCODE, // H.264 and AAC into MP4
    Sound = AW_COPY_SOUND,   // AAC into M4A
    Clean = AW_COPY_CLEAN,   // plays as it is, copied without its metadata
};

bool BrowserPlays(const AwMovieFacts& facts);
bool BrowserPlaysSound(const AwMovieFacts& facts);
// Asks the video module; false when it lacks the entry point or cannot open the file.
bool BrowserPlaysFile(const ImagingLibrary& imaging, const std::string& path);

// What the video module reads in the file; nothing when it lacks the entry point or cannot open it.
std::optional<AwMovieDetails> ReadMovieDetails(const ImagingLibrary& imaging, const std::string& path);

// The copy a page needs to play a movie (sound false) or a sound file: None when browsers play it as it
// is, or Clean then when the copy in the album must carry no metadata (location, dates, names). A movie
// without video or a sound file without sound has nothing to play: None.
CopyKind PlayableCopyKind(const AwMovieDetails& details, bool sound, bool metadataFree);

} // namespace aw
