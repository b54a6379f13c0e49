// SPDX-License-Identifier: MIT
// Whether today's browsers play a movie in an HTML video element, judged from what the video module reads
// in the file: MP4/MOV/M4V/3GP holding H.264 video (AAC or MP3 sound, or none), or WebM/Matroska holding
// VP8, VP9 or AV1 video (Opus or Vorbis sound, or none). Everything else (ASF, AVI, MPEG, other codecs)
// is not. Pure functions but for the module call; thread-safe.
#pragma once

#include <string>

#include "imaging/imagingabi.h"

namespace aw {

struct ImagingLibrary;

bool BrowserPlays(const AwMovieFacts& facts);
// Asks the video module; false when it lacks the entry point or cannot open the file.
bool BrowserPlaysFile(const ImagingLibrary& imaging, const std::string& path);

} // namespace aw
