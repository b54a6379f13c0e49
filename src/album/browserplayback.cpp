// SPDX-License-Identifier: MIT
#include "album/browserplayback.h"

#include <algorithm>
#include <cstring>

#include "album/imaginglibrary.h"

namespace aw {
namespace {

bool OneOf(std::string_view value, const std::vector<Coding>& allowed) {
    return std::any_of(allowed.begin(), allowed.end(),
                       [value](const Coding& each) { return each.name == value; });
}

// Whether the demuxer's comma-separated name list holds `name`.
bool Names(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (list.substr(0, comma) == name)
            return true;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

// A field of the module's fixed struct, up to its terminator (or its end, should one be missing).
template <std::size_t N> std::string_view Field(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

} // namespace

const std::vector<PlayableMovie>& PlayableMovies() {
    static const std::vector<PlayableMovie> movies{
        {"mp4", {"MP4", "MOV", "M4V", "3GP"}, {{"h264", "H.264"}}, {{"aac", "AAC"}, {"mp3", "MP3"}}},
        {"webm",
         {"WebM", "Matroska"},
         {{"vp8", "VP8"}, {"vp9", "VP9"}, {"av1", "AV1"}},
         {{"opus", "Opus"}, {"vorbis", "Vorbis"}}},
    };
    return movies;
}

bool BrowserPlays(const AwMovieFacts& facts) {
    const std::string_view container = Field(facts.container);
    const std::string_view video = Field(facts.videoCodec);
    const std::string_view audio = Field(facts.audioCodec);
    if (video.empty())
        return false; // a movie kind without pictures: nothing to show in a video element
    for (const PlayableMovie& movie : PlayableMovies())
        if (Names(container, movie.container))
            return OneOf(video, movie.video) && (audio.empty() || OneOf(audio, movie.audio));
    return false;
}

bool BrowserPlaysFile(const ImagingLibrary& imaging, const std::string& path) {
    if (imaging.GetMovieFacts == nullptr)
        return false;
    AwMovieFacts facts{};
    return imaging.GetMovieFacts(path.c_str(), &facts) != 0 && BrowserPlays(facts);
}

} // namespace aw
