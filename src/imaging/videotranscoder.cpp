// SPDX-License-Identifier: MIT
#include "videotranscoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "displayrotation.h"
#include "imagingabi.h"
#include "imagingerror.h"
#include "pixelbuffer.h"

namespace aw::imaging {
namespace {

int Even(double side) {
    return std::max(2, static_cast<int>(std::lround(side / 2.0)) * 2);
}

bool FullRange(const AVFrame* frame) {
    switch (frame->format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
        return true;
    default:
        return frame->color_range == AVCOL_RANGE_JPEG;
    }
}

} // namespace

void VideoTranscoder::FitSize(int width, int height, int& fitWidth, int& fitHeight) {
    const int shorter = std::min(width, height);
    const double scale = shorter > kMaxShortSide ? static_cast<double>(kMaxShortSide) / shorter : 1.0;
    fitWidth = Even(width * scale);
    fitHeight = Even(height * scale);
}

VideoTranscoder::VideoTranscoder(AVFormatContext* source, AVStream* input, MovieOutput& output)
    : output_(output), decoded_(MakeFrame()), converted_(MakeFrame()), lastPts_(AV_NOPTS_VALUE) {
    const AVCodecParameters* parameters = input->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        throw ImagingError(std::string("no decoder for ") + avcodec_get_name(parameters->codec_id));
    CheckDimensions(std::max(parameters->width, 1), std::max(parameters->height, 1));
    decoder_ = OpenDecoder(decoder, parameters, AW_MAX_PIXELS, 0);

    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        throw ImagingError("this system's FFmpeg has no H.264 encoder (libx264)");
    encoder_.reset(avcodec_alloc_context3(encoder));
    if (!encoder_)
        throw ImagingError("out of memory for the encoder");
    const AVRational aspect = av_guess_sample_aspect_ratio(source, input, nullptr);
    const double shownWidth =
        aspect.num > 0 && aspect.den > 0 ? parameters->width * av_q2d(aspect) : parameters->width;
    FitSize(static_cast<int>(std::lround(shownWidth)), parameters->height, encoder_->width, encoder_->height);
    encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder_->sample_aspect_ratio = AVRational{1, 1};
    encoder_->time_base = input->time_base;
    // Without a known rate the encoder derives one from the time base, which suits variable-rate phones.
    const AVRational rate = av_guess_frame_rate(source, input, nullptr);
    if (rate.num > 0 && rate.den > 0) {
        encoder_->framerate = rate;
        frameStep_ = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), input->time_base));
    }
    encoder_->color_range = AVCOL_RANGE_MPEG;
    encoder_->color_primaries = parameters->color_primaries;
    encoder_->color_trc = parameters->color_trc;
    encoder_->colorspace = parameters->color_space;
    encoder_->thread_count = 0;
    if (output.get()->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(encoder_->priv_data, "preset", kPreset, 0);
    av_opt_set(encoder_->priv_data, "crf", kCrf, 0);
    CheckFfmpeg(avcodec_open2(encoder_.get(), encoder, nullptr), "cannot open the H.264 encoder");

    stream_ = output.AddStream();
    CheckFfmpeg(avcodec_parameters_from_context(stream_->codecpar, encoder_.get()), "bad encoder parameters");
    stream_->time_base = encoder_->time_base;
    stream_->sample_aspect_ratio = encoder_->sample_aspect_ratio;
    // A clean turn (a source's matrix may also move the picture by its old size, which no longer fits).
    if (const int turns = QuarterTurnsOf(input)) {
        auto* matrix = reinterpret_cast<int32_t*>(
            av_stream_new_side_data(stream_, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
        if (!matrix)
            throw ImagingError("out of memory for the display matrix");
        av_display_rotation_set(matrix, 90.0 * turns);
    }
}

AVFrame* VideoTranscoder::Convert(AVFrame* decoded) {
    if (decoded->format == AV_PIX_FMT_YUV420P && !FullRange(decoded) && decoded->width == encoder_->width &&
        decoded->height == encoder_->height)
        return decoded;
    AVPixelFormat format = static_cast<AVPixelFormat>(decoded->format);
    // The deprecated full-range formats are their plain twins with a range flag, as the scaler prefers.
    if (format == AV_PIX_FMT_YUVJ420P)
        format = AV_PIX_FMT_YUV420P;
    else if (format == AV_PIX_FMT_YUVJ422P)
        format = AV_PIX_FMT_YUV422P;
    else if (format == AV_PIX_FMT_YUVJ444P)
        format = AV_PIX_FMT_YUV444P;
    scaler_.reset(sws_getCachedContext(scaler_.release(), decoded->width, decoded->height, format,
                                       encoder_->width, encoder_->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                                       nullptr, nullptr, nullptr));
    if (!scaler_)
        throw ImagingError("cannot convert this movie's pixel format");
    const int* table = sws_getCoefficients(SWS_CS_DEFAULT);
    sws_setColorspaceDetails(scaler_.get(), table, FullRange(decoded) ? 1 : 0, table, 0, 0, 1 << 16, 1 << 16);
    AVFrame* converted = converted_.get();
    if (!converted->buf[0]) {
        converted->format = AV_PIX_FMT_YUV420P;
        converted->width = encoder_->width;
        converted->height = encoder_->height;
        CheckFfmpeg(av_frame_get_buffer(converted, 0), "out of memory for a frame");
    }
    // The encoder may still hold the last picture: a fresh buffer then, never one it reads.
    CheckFfmpeg(av_frame_make_writable(converted), "out of memory for a frame");
    sws_scale(scaler_.get(), decoded->data, decoded->linesize, 0, decoded->height, converted->data,
              converted->linesize);
    converted->pts = decoded->pts;
    return converted;
}

void VideoTranscoder::Push(const AVPacket* packet) {
    // A file that keeps only decoding times (AVI) would have its frames timed by the packet that let each
    // out of the decoder, late by the decoder's delay: they are numbered in the order shown instead, from
    // the first decoding time, one frame apart (such files have a constant rate).
    if (packet && lastPts_ == AV_NOPTS_VALUE && nextShown_ == AV_NOPTS_VALUE && packet->pts == AV_NOPTS_VALUE)
        nextShown_ = packet->dts == AV_NOPTS_VALUE ? 0 : packet->dts;
    DecodePacket(decoder_.get(), packet, decoded_.get(), [this](AVFrame* frame) {
        int64_t pts = frame->best_effort_timestamp;
        if (nextShown_ != AV_NOPTS_VALUE) {
            pts = nextShown_;
            nextShown_ += frameStep_;
        }
        if (pts == AV_NOPTS_VALUE)
            pts = lastPts_ == AV_NOPTS_VALUE ? 0 : lastPts_ + frameStep_;
        // The encoder takes strictly rising times: a frame whose time repeats or falls back (damage) is
        // shown one tick after the last, never dropped.
        if (lastPts_ != AV_NOPTS_VALUE && pts <= lastPts_)
            pts = lastPts_ + 1;
        lastPts_ = pts;
        frame->pts = pts;
        frame->pict_type = AV_PICTURE_TYPE_NONE; // the encoder chooses its own key frames
        Encode(Convert(frame));
    });
    if (!packet)
        Encode(nullptr);
}

void VideoTranscoder::Encode(AVFrame* frame) {
    output_.Encode(encoder_.get(), frame, stream_, frameStep_);
}

} // namespace aw::imaging
