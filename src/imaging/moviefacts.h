// SPDX-License-Identifier: MIT
// Reads what a local movie or sound file holds, without decoding it: the container as the demuxer names
// it, the codecs of its first video and first audio stream, the video's pixel format, how it is shown
// (turn and size), how long it lasts, when it was made, and whether its metadata carries a place or the
// names of an owner or a device's serial number, as FFmpeg exposes them in the container's and streams'
// metadata. Opened under the same rules as the frame reader (local files only, an allow-list of demuxers).
// Stateless and thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace aw::imaging {

struct MovieFactsRead {
    std::string container;
    std::string videoCodec;  // empty when there is no video stream
    std::string audioCodec;  // empty when there is no audio stream
    std::string pixelFormat; // the video's, as FFmpeg names it ("yuv420p"); empty when unknown
    int quarterTurns = 0;    // clockwise, as the video is shown
    int displayWidth = 0;    // as shown: the stored width times the aspect ratio, then turned; 0 unknown
    int displayHeight = 0;
    int64_t durationMicroseconds = 0; // 0 when unknown
    bool hasCreationTime = false;
    int64_t creationMicroseconds = 0; // since 1970-01-01 UTC
    bool hasLocation = false;
    bool hasOwner = false;
    bool hasSerial = false;
};

class MovieFacts {
public:
    // Demuxers allowed to open a file: the frame reader's movies and the sound formats.
    static constexpr const char* kFormatAllowList =
        "asf,avi,mov,mp4,matroska,webm,mpeg,mpegts,mpegvideo,mp3,wav,aac,ogg,flac";

    // Throws ImagingError when the file cannot be opened.
    static MovieFactsRead Read(const std::string& path);
};

} // namespace aw::imaging
