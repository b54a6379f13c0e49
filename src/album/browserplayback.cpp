// SPDX-License-Identifier: MIT
#include "album/browserplayback.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "album/imaginglibrary.h"

namespace aw {
namespace {

bool OneOf(std::string_view value, const std::vector<Coding>& allowed) {
    return std::any_of(allowed.begin(), allowed.end(),
                       [value](const Coding& each) { return each.name == value; });
}

bool OneOf(std::string_view value, std::initializer_list<std::string_view> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
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

// Browsers decode H.264 only as 8-bit 4:2:0; an unknown format is taken to be that, as most are.
bool PlayablePixels(const AwMovieDetails& details) {
    return OneOf(Field(details.pixelFormat), {"", "yuv420p", "yuvj420p"});
}

} // namespace

const std::vector<PlayableKind>& PlayableMovies() {
    static const std::vector<PlayableKind> movies{
        {"mp4",
         {"MP4", "MOV", "M4V", "3GP"},
         {{"h264", "8-bit 4:2:0 H.264"}},
         {{"aac", "AAC"}, {"mp3", "MP3"}}},
        {"webm",
         {"WebM", "Matroska"},
         {{"vp8", "VP8"}, {"vp9", "VP9"}, {"av1", "AV1"}},
         {{"opus", "Opus"}, {"vorbis", "Vorbis"}}},
    };
    return movies;
}

const std::vector<PlayableKind>& PlayableSounds() {
    static const std::vector<PlayableKind> sounds{
        {"mp3", {"MP3"}, {}, {{"mp3", "MP3"}}},
        {"wav",
         {"WAV"},
         {},
         {{"pcm_u8", "PCM"},
          {"pcm_s16le", "PCM"},
          {"pcm_s24le", "PCM"},
          {"pcm_s32le", "PCM"},
          {"pcm_f32le", "PCM"}}},
        {"aac", {"AAC"}, {}, {{"aac", "AAC"}}},
        {"mp4", {"M4A", "MP4"}, {}, {{"aac", "AAC"}, {"mp3", "MP3"}}},
        {"ogg", {"Ogg"}, {}, {{"vorbis", "Vorbis"}, {"opus", "Opus"}, {"flac", "FLAC"}}},
        {"flac", {"FLAC"}, {}, {{"flac", "FLAC"}}},
        {"webm", {"WebM"}, {}, {{"opus", "Opus"}, {"vorbis", "Vorbis"}}},
    };
    return sounds;
}

bool BrowserPlays(const AwMovieFacts& facts) {
    const std::string_view container = Field(facts.container);
    const std::string_view video = Field(facts.videoCodec);
    const std::string_view audio = Field(facts.audioCodec);
    if (video.empty())
        return false; // a movie kind without pictures: nothing to show in a video element
    for (const PlayableKind& movie : PlayableMovies())
        if (Names(container, movie.container))
            return OneOf(video, movie.video) && (audio.empty() || OneOf(audio, movie.audio));
    return false;
}

bool BrowserPlaysSound(const AwMovieFacts& facts) {
    const std::string_view container = Field(facts.container);
    const std::string_view audio = Field(facts.audioCodec);
    for (const PlayableKind& sound : PlayableSounds())
        if (Names(container, sound.container))
            return OneOf(audio, sound.audio);
    return false;
}

bool BrowserPlaysFile(const ImagingLibrary& imaging, const std::string& path) {
    if (imaging.GetMovieFacts == nullptr)
        return false;
    AwMovieFacts facts{};
    return imaging.GetMovieFacts(path.c_str(), &facts) != 0 && BrowserPlays(facts);
}

std::optional<AwMovieDetails> ReadMovieDetails(const ImagingLibrary& imaging, const std::string& path) {
    AwMovieDetails details{};
    if (imaging.GetMovieDetails == nullptr || imaging.GetMovieDetails(path.c_str(), &details) == 0)
        return std::nullopt;
    return details;
}

CopyKind PlayableCopyKind(const AwMovieDetails& details, bool sound, bool metadataFree) {
    const AwMovieFacts& facts = details.facts;
    const std::string_view video = Field(facts.videoCodec);
    const bool plays = sound ? BrowserPlaysSound(facts)
                             : BrowserPlays(facts) && (video != "h264" || PlayablePixels(details));
    if (plays)
        return metadataFree ? CopyKind::Clean : CopyKind::None;
    if (sound)
        return Field(facts.audioCodec).empty() ? CopyKind::None : CopyKind::Sound;
    if (video.empty())
        return CopyKind::None;
    return video == "h264" && PlayablePixels(details) ? CopyKind::Remux : CopyKind::Encode;
}

} // namespace aw
