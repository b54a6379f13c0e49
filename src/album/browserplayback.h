// SPDX-License-Identifier: MIT
// Whether today's browsers play a movie or a sound file as it is, judged from what the video module reads
// in the file against two tables (PlayableMovies, PlayableSounds): the containers browsers open, each with
// the codings they decode in it; a movie without sound plays too, and H.264 plays only as 8-bit 4:2:0.
// Everything else (ASF, AVI, MPEG, WMA, other codecs) does not, and which copy a page needs then. The help
// and the usage text describe the tables themselves (KindsText), so that what they say and what the page
// does never differ. Pure functions but for the module calls; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/imagingabi.h"

namespace aw {

struct ImagingLibrary;

// A coding as the video module names it, and as people know it.
struct Coding {
    std::string_view name;
    std::string_view shown;
};

struct PlayableKind {
    std::string_view container;          // a name in the demuxer's list ("mp4" in "mov,mp4,m4a,3gp,3g2,mj2")
    std::vector<std::string_view> shown; // the containers that demuxer opens, as people know them
    std::vector<Coding> video;           // a movie's, at least one; none for a sound format
    std::vector<Coding> audio;           // a movie may also have none
};

// The tables, in the order the texts name them.
const std::vector<PlayableKind>& PlayableMovies();
const std::vector<PlayableKind>& PlayableSounds();

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
