// SPDX-License-Identifier: MIT
// What an album takes and which movies play in its page, in words, made from the code's own tables (the
// extensions of MediaPath, the kinds' predicates, PlayableMovies and PlayableSounds), in the user's language:
// the usage text and the help book say what the program does, and a kind or a coding added to a table is
// named by both without a word changed elsewhere. Pure functions; thread-safe.
#pragma once

#include <string>
#include <vector>

namespace aw {

struct KindsText {
    std::string pictures;  // ".jpg .jpeg .jpe .bmp ..."
    std::string converted; // the pictures whose Data copy is a JPEG: ".bmp .heic .heif"
    std::string movies;    // ".asf .avi ..."
    std::string sounds;    // ".wav .wma .mp3"
    std::vector<std::string>
        playable; // one sentence per container: "MP4, MOV, M4V or 3GP with H.264 video..."
};

KindsText DescribeKinds();

} // namespace aw
