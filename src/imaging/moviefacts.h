// SPDX-License-Identifier: MIT
// Reads what a local movie file holds, without decoding it: the container as the demuxer names it and
// the codecs of its first video and first audio stream. Opened under the same rules as the frame reader
// (local files only, its allow-list of demuxers). Stateless and thread-safe.
#pragma once

#include <string>

namespace aw::imaging {

struct MovieFactsRead {
    std::string container;
    std::string videoCodec; // empty when there is no video stream
    std::string audioCodec; // empty when there is no audio stream
};

class MovieFacts {
public:
    // Throws ImagingError when the file cannot be opened.
    static MovieFactsRead Read(const std::string& path);
};

} // namespace aw::imaging
