// SPDX-License-Identifier: MIT
// Whether today's browsers play a movie in an HTML video element, judged from what the video module reads
// in the file against one table (PlayableMovies): the containers browsers open, each with the video and
// sound codings they decode in it (a movie without sound plays too). Everything else (ASF, AVI, MPEG,
// other codecs) does not. The help and the usage text describe the table itself (KindsText), so that what
// they say and what the page does never differ. Pure functions but for the module call; thread-safe.
#pragma once

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

struct PlayableMovie {
    std::string_view container;          // a name in the demuxer's list ("mp4" in "mov,mp4,m4a,3gp,3g2,mj2")
    std::vector<std::string_view> shown; // the containers that demuxer opens, as people know them
    std::vector<Coding> video;           // at least one
    std::vector<Coding> audio;           // besides none
};

// The table, in the order the texts name it.
const std::vector<PlayableMovie>& PlayableMovies();

bool BrowserPlays(const AwMovieFacts& facts);
// Asks the video module; false when it lacks the entry point or cannot open the file.
bool BrowserPlaysFile(const ImagingLibrary& imaging, const std::string& path);

} // namespace aw
