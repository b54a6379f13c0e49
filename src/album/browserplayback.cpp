// SPDX-License-Identifier: MIT
#include "album/browserplayback.h"

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "album/imaginglibrary.h"

namespace aw {
namespace {

bool OneOf(std::string_view value, std::initializer_list<std::string_view> allowed) {
    for (const std::string_view each : allowed)
        if (value == each)
            return true;
    return false;
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

bool BrowserPlays(const AwMovieFacts& facts) {
    const std::string_view container = Field(facts.container);
    const std::string_view video = Field(facts.videoCodec);
    const std::string_view audio = Field(facts.audioCodec);
    if (video.empty())
        return false; // a movie kind without pictures: nothing to show in a video element
    if (Names(container, "mp4"))
        return video == "h264" && OneOf(audio, {"", "aac", "mp3"});
    if (Names(container, "webm"))
        return OneOf(video, {"vp8", "vp9", "av1"}) && OneOf(audio, {"", "opus", "vorbis"});
    return false;
}

bool BrowserPlaysSound(const AwMovieFacts& facts) {
    const std::string_view container = Field(facts.container);
    const std::string_view audio = Field(facts.audioCodec);
    if (Names(container, "mp4"))
        return OneOf(audio, {"aac", "mp3"});
    if (Names(container, "webm"))
        return OneOf(audio, {"opus", "vorbis"});
    if (container == "ogg")
        return OneOf(audio, {"vorbis", "opus", "flac"});
    if (container == "wav")
        return OneOf(audio, {"pcm_u8", "pcm_s16le", "pcm_s24le", "pcm_s32le", "pcm_f32le"});
    return (container == "mp3" && audio == "mp3") || (container == "aac" && audio == "aac") ||
           (container == "flac" && audio == "flac");
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
