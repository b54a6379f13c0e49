// SPDX-License-Identifier: MIT
#include "ffmpeghandles.h"

#include <cerrno>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "imagingerror.h"

namespace aw::imaging {

void FfmpegDeleter::operator()(AVFormatContext* context) const {
    avformat_close_input(&context);
}
void FfmpegDeleter::operator()(AVCodecContext* context) const {
    avcodec_free_context(&context);
}
void FfmpegDeleter::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}
void FfmpegDeleter::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}
void FfmpegDeleter::operator()(SwsContext* context) const {
    sws_freeContext(context);
}
void FfmpegDeleter::operator()(SwrContext* context) const {
    swr_free(&context);
}
void FfmpegDeleter::operator()(AVAudioFifo* fifo) const {
    av_audio_fifo_free(fifo);
}

std::string FfmpegErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

int CheckFfmpeg(int code, const char* what) {
    if (code < 0)
        throw ImagingError(std::string(what) + ": " + FfmpegErrorText(code));
    return code;
}

namespace {

// A demuxer may ask to open further files (references to outside media, playlists): none is opened.
int RefuseToOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

} // namespace

OpenedMovie OpenLocalMovie(const MovieFile& file, const char* formatAllowList, long long maxPixels) {
    AVDictionary* rawOptions = nullptr;
    // The dictionary is the one FFmpeg object handed over by address; it is freed on every path below.
    const auto freeOptions = [](AVDictionary** options) { av_dict_free(options); };
    std::unique_ptr<AVDictionary*, decltype(freeOptions)> options(&rawOptions, freeOptions);
    av_dict_set(&rawOptions, "format_whitelist", formatAllowList, 0);

    OpenedMovie movie{FdIoContext(file), nullptr};
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        throw ImagingError("out of memory for a movie context");
    raw->pb = movie.io.get();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    raw->io_open = RefuseToOpen;
    // On failure avformat_open_input frees the context itself (not the I/O context, which is ours).
    CheckFfmpeg(avformat_open_input(&raw, file.path().c_str(), nullptr, &rawOptions), "cannot open movie");
    movie.format.reset(raw);
    AVFormatContext* context = raw;
    // Reading the streams' parameters decodes frames too: under the same pixel limit as the decoder later.
    std::vector<AVDictionary*> streamOptions(context->nb_streams, nullptr);
    const auto freeAll = [](std::vector<AVDictionary*>* all) {
        for (AVDictionary*& each : *all)
            av_dict_free(&each);
    };
    std::unique_ptr<std::vector<AVDictionary*>, decltype(freeAll)> owned(&streamOptions, freeAll);
    for (AVDictionary*& each : streamOptions)
        av_dict_set_int(&each, "max_pixels", maxPixels, 0);
    CheckFfmpeg(avformat_find_stream_info(context, streamOptions.empty() ? nullptr : streamOptions.data()),
                "cannot read the movie's streams");
    return movie;
}

FfmpegPtr<AVCodecContext> OpenDecoder(const AVCodec* codec, const AVCodecParameters* parameters,
                                      long long maxPixels, int threads) {
    FfmpegPtr<AVCodecContext> context(avcodec_alloc_context3(codec));
    if (!context)
        throw ImagingError("out of memory for a decoder");
    CheckFfmpeg(avcodec_parameters_to_context(context.get(), parameters), "bad stream parameters");
    context->max_pixels = maxPixels;
    // One thread for a first frame: frame threads would hold it back until several packets are in.
    context->thread_count = threads;
    CheckFfmpeg(avcodec_open2(context.get(), codec, nullptr), "cannot open the decoder");
    return context;
}

void DecodePacket(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame,
                  const std::function<void(AVFrame*)>& take) {
    if (avcodec_send_packet(decoder, packet) < 0 && packet)
        return;
    for (int failures = 0; failures < 16;) {
        const int result = avcodec_receive_frame(decoder, frame);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result < 0) {
            ++failures;
            continue;
        }
        take(frame);
        av_frame_unref(frame);
    }
}

FfmpegPtr<AVFrame> MakeFrame() {
    FfmpegPtr<AVFrame> frame(av_frame_alloc());
    if (!frame)
        throw ImagingError("out of memory for a frame");
    return frame;
}

FfmpegPtr<AVPacket> MakePacket() {
    FfmpegPtr<AVPacket> packet(av_packet_alloc());
    if (!packet)
        throw ImagingError("out of memory for a packet");
    return packet;
}

} // namespace aw::imaging
