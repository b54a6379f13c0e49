// SPDX-License-Identifier: MIT
#include "moviefacts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

#include "displayrotation.h"
#include "fdiocontext.h"
#include "ffmpeghandles.h"
#include "imagingabi.h"

namespace aw::imaging {
namespace {

AVStream* FirstOf(const AVFormatContext* movie, AVMediaType type) {
    for (unsigned i = 0; i < movie->nb_streams; ++i) {
        AVStream* stream = movie->streams[i];
        // Cover art in a music file is a video stream of one picture, not a movie.
        if (stream->codecpar->codec_type == type && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0)
            return stream;
    }
    return nullptr;
}

bool ContainsFolded(std::string_view text, std::string_view part) {
    if (part.size() > text.size())
        return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < part.size() && std::tolower(static_cast<unsigned char>(text[i + j])) == part[j])
            ++j;
        if (j == part.size())
            return true;
    }
    return false;
}

// What the keys of one dictionary tell: QuickTime's ©xyz, 3GP's loci and Apple's ISO 6709 key all reach
// FFmpeg as "location..." keys; owners as author or owner (not artist: in music that is the performer);
// serial numbers under names that say so.
void ReadKeys(const AVDictionary* metadata, MovieFactsRead& facts) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        const std::string_view key = entry->key;
        if (!entry->value || !*entry->value)
            continue;
        if (ContainsFolded(key, "location") || ContainsFolded(key, "gps"))
            facts.hasLocation = true;
        if (ContainsFolded(key, "author") || ContainsFolded(key, "owner"))
            facts.hasOwner = true;
        if (ContainsFolded(key, "serial"))
            facts.hasSerial = true;
    }
}

// The container's creation time, else the video's, else the one phones write with its offset. Zero is
// what muxers write when they know none.
void ReadCreationTime(const AVFormatContext* movie, const AVStream* video, MovieFactsRead& facts) {
    const AVDictionaryEntry* found = av_dict_get(movie->metadata, "creation_time", nullptr, 0);
    if (!found && video)
        found = av_dict_get(video->metadata, "creation_time", nullptr, 0);
    if (!found)
        found = av_dict_get(movie->metadata, "com.apple.quicktime.creationdate", nullptr, 0);
    int64_t instant = 0;
    if (found && found->value && av_parse_time(&instant, found->value, 0) == 0 && instant != 0) {
        facts.hasCreationTime = true;
        facts.creationMicroseconds = instant;
    }
}

void ReadShownSize(AVFormatContext* movie, AVStream* video, MovieFactsRead& facts) {
    const AVCodecParameters* parameters = video->codecpar;
    if (parameters->width <= 0 || parameters->height <= 0)
        return;
    const AVRational aspect = av_guess_sample_aspect_ratio(movie, video, nullptr);
    double width = parameters->width;
    if (aspect.num > 0 && aspect.den > 0)
        width = std::max(1.0, std::round(width * av_q2d(aspect)));
    if (width > AW_MAX_DIMENSION)
        return;
    facts.quarterTurns = QuarterTurnsOf(video);
    const bool sideways = facts.quarterTurns % 2 != 0;
    facts.displayWidth = sideways ? parameters->height : static_cast<int>(width);
    facts.displayHeight = sideways ? static_cast<int>(width) : parameters->height;
}

} // namespace

MovieFactsRead MovieFacts::Read(const std::string& path) {
    // Opened like the frame reader's file: once, without blocking, read only through that descriptor.
    const MovieFile file(path);
    const OpenedMovie opened = OpenLocalMovie(file, kFormatAllowList, AW_MAX_PIXELS);
    AVFormatContext* movie = opened.format.get();
    AVStream* video = FirstOf(movie, AVMEDIA_TYPE_VIDEO);
    const AVStream* audio = FirstOf(movie, AVMEDIA_TYPE_AUDIO);
    MovieFactsRead facts;
    facts.container = movie->iformat->name;
    if (video) {
        facts.videoCodec = avcodec_get_name(video->codecpar->codec_id);
        const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(video->codecpar->format));
        facts.pixelFormat = format ? format : "";
        ReadShownSize(movie, video, facts);
    }
    if (audio)
        facts.audioCodec = avcodec_get_name(audio->codecpar->codec_id);
    if (movie->duration > 0)
        facts.durationMicroseconds = movie->duration;
    ReadCreationTime(movie, video, facts);
    ReadKeys(movie->metadata, facts);
    for (unsigned i = 0; i < movie->nb_streams; ++i)
        ReadKeys(movie->streams[i]->metadata, facts);
    return facts;
}

} // namespace aw::imaging
