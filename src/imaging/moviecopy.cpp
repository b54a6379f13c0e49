// SPDX-License-Identifier: MIT
#include "moviecopy.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
}

#include "audiotranscoder.h"
#include "fdiocontext.h"
#include "ffmpeghandles.h"
#include "imagingabi.h"
#include "imagingerror.h"
#include "moviefacts.h"
#include "movieoutput.h"
#include "videotranscoder.h"

namespace aw::imaging {
namespace {

struct Stopped {};

// The first stream of `type`; cover art in a music file is a picture, not a movie. -1 when none.
int FirstStream(const AVFormatContext* movie, AVMediaType type) {
    for (unsigned i = 0; i < movie->nb_streams; ++i) {
        const AVStream* stream = movie->streams[i];
        if (stream->codecpar->codec_type == type && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool CodecIs(const AVStream* stream, std::initializer_list<AVCodecID> codecs) {
    return std::find(codecs.begin(), codecs.end(), stream->codecpar->codec_id) != codecs.end();
}

// The muxer of a clean copy: the source's own family.
const char* CleanMuxer(const AVFormatContext* movie, const AVStream* video, const AVStream* audio) {
    const std::string_view name = movie->iformat->name;
    if (av_match_name("mov", movie->iformat->name))
        return "mp4";
    if (av_match_name("matroska", movie->iformat->name)) {
        const bool webm = (!video || CodecIs(video, {AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_AV1})) &&
                          (!audio || CodecIs(audio, {AV_CODEC_ID_OPUS, AV_CODEC_ID_VORBIS}));
        return webm ? "webm" : "matroska";
    }
    for (const char* same : {"ogg", "mp3", "wav", "flac"})
        if (name == same)
            return same;
    if (name == "aac")
        return "adts";
    throw ImagingError("a file of this kind (" + std::string(name) + ") is not copied as it is");
}

// One stream of the source on its way into the copy: copied packet for packet, or transcoded.
struct Track {
    AVStream* input = nullptr;
    AVStream* copy = nullptr;
    std::unique_ptr<VideoTranscoder> video;
    std::unique_ptr<AudioTranscoder> audio;
    int64_t shift = 0; // the file's start, in the input's time base
    int64_t lastDts = AV_NOPTS_VALUE;
};

AVStream* AddStreamCopy(MovieOutput& output, AVStream* input) {
    AVStream* stream = output.AddStream();
    CheckFfmpeg(avcodec_parameters_copy(stream->codecpar, input->codecpar), "cannot copy the stream");
    stream->codecpar->codec_tag = 0; // the muxer's own tag for the codec
    stream->time_base = input->time_base;
    stream->sample_aspect_ratio = input->sample_aspect_ratio;
    std::size_t size = 0;
    if (const uint8_t* matrix = av_stream_get_side_data(input, AV_PKT_DATA_DISPLAYMATRIX, &size)) {
        uint8_t* copied = av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, size);
        if (!copied)
            throw ImagingError("out of memory for the display matrix");
        std::copy(matrix, matrix + size, copied);
    }
    return stream;
}

void WriteCopied(MovieOutput& output, Track& track, AVPacket* packet) {
    // Muxers refuse times that do not rise, which damaged files have: nudged as players would.
    if (packet->dts != AV_NOPTS_VALUE) {
        if (track.lastDts != AV_NOPTS_VALUE && packet->dts <= track.lastDts)
            packet->dts = track.lastDts + 1;
        if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts)
            packet->pts = packet->dts;
        track.lastDts = packet->dts;
    }
    av_packet_rescale_ts(packet, track.input->time_base, track.copy->time_base);
    packet->stream_index = track.copy->index;
    packet->pos = -1;
    output.WritePacket(packet);
}

void Shift(AVPacket* packet, int64_t shift) {
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts -= shift;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts -= shift;
}

} // namespace

bool MovieCopy::Write(const std::string& source, int fd, CopyMode mode, const Progress& progress) {
    const MovieFile file(source);
    const OpenedMovie opened = OpenLocalMovie(file, MovieFacts::kFormatAllowList, AW_MAX_PIXELS);
    AVFormatContext* movie = opened.format.get();

    const int videoIndex = mode == CopyMode::Sound ? -1 : FirstStream(movie, AVMEDIA_TYPE_VIDEO);
    const int audioIndex = FirstStream(movie, AVMEDIA_TYPE_AUDIO);
    AVStream* video = videoIndex >= 0 ? movie->streams[videoIndex] : nullptr;
    AVStream* audio = audioIndex >= 0 ? movie->streams[audioIndex] : nullptr;
    if (mode == CopyMode::Sound && !audio)
        throw ImagingError("no sound stream");
    // A clean copy of a sound file has only its sound to copy.
    if (mode != CopyMode::Sound && !video && !(mode == CopyMode::Clean && audio))
        throw ImagingError("no video stream");
    if (mode == CopyMode::Remux && !CodecIs(video, {AV_CODEC_ID_H264}))
        throw ImagingError("only H.264 video is copied into MP4 as it is");

    const char* muxer = mode == CopyMode::Clean ? CleanMuxer(movie, video, audio) : "mp4";
    MovieOutput output(fd, muxer);
    const int64_t start = movie->start_time == AV_NOPTS_VALUE ? 0 : movie->start_time;
    std::vector<Track> tracks(movie->nb_streams);
    // AVI keeps no presentation times: H.264 with reordered frames copied out of it would play them out of
    // order (in decoding order), so it is encoded, which puts them in order.
    const bool reorderedWithoutTimes =
        video && av_match_name("avi", movie->iformat->name) && video->codecpar->video_delay > 0;
    if (video) {
        Track& track = tracks[videoIndex];
        track.input = video;
        if (mode == CopyMode::Encode || (mode == CopyMode::Remux && reorderedWithoutTimes))
            track.video = std::make_unique<VideoTranscoder>(movie, video, output);
        else
            track.copy = AddStreamCopy(output, video);
    }
    if (audio) {
        Track& track = tracks[audioIndex];
        track.input = audio;
        // MP4 players take AAC and MP3; anything else in an MP4 copy becomes AAC.
        if (mode == CopyMode::Clean || CodecIs(audio, {AV_CODEC_ID_AAC, AV_CODEC_ID_MP3}))
            track.copy = AddStreamCopy(output, audio);
        else
            track.audio = std::make_unique<AudioTranscoder>(audio, output);
    }
    for (Track& track : tracks)
        if (track.input)
            track.shift = av_rescale_q(start, AV_TIME_BASE_Q, track.input->time_base);

    double done = 0;
    output.SetPoll([&] {
        if (!progress(done))
            throw Stopped{};
    });
    try {
        output.WriteHeader(std::string_view(muxer) == "mp4");
        const FfmpegPtr<AVPacket> packet = MakePacket();
        for (;;) {
            // The end of the file, or damage that stops the demuxer: what was read so far is the copy.
            if (av_read_frame(movie, packet.get()) < 0)
                break;
            const int index = packet->stream_index;
            Track* track = index >= 0 && index < static_cast<int>(tracks.size()) && tracks[index].input
                               ? &tracks[index]
                               : nullptr;
            if (track) {
                const int64_t at = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                Shift(packet.get(), track->shift);
                if (movie->duration > 0 && at != AV_NOPTS_VALUE)
                    done = std::clamp(static_cast<double>(
                                          av_rescale_q(at, track->input->time_base, AV_TIME_BASE_Q) - start) /
                                          static_cast<double>(movie->duration),
                                      done, 1.0);
                if (track->copy)
                    WriteCopied(output, *track, packet.get());
                else if (track->video)
                    track->video->Push(packet.get());
                else
                    track->audio->Push(packet.get());
            }
            av_packet_unref(packet.get());
            if (!progress(done))
                return false;
        }
        for (Track& track : tracks) {
            if (track.video)
                track.video->Push(nullptr);
            if (track.audio)
                track.audio->Push(nullptr);
        }
        output.Finish();
    } catch (const Stopped&) {
        return false;
    }
    progress(1.0);
    return true;
}

} // namespace aw::imaging
