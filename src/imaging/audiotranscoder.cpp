// SPDX-License-Identifier: MIT
#include "audiotranscoder.h"

#include <algorithm>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "imagingabi.h"
#include "imagingerror.h"

namespace aw::imaging {
namespace {

// The source's rate when AAC takes it, else 48 kHz.
int RateFor(const AVCodec* encoder, int rate) {
    for (const int* each = encoder->supported_samplerates; each && *each; ++each)
        if (*each == rate)
            return rate;
    return 48000;
}

// A layout the resampler can mix from: a stream that states only its number of channels gets the usual one.
AVChannelLayout KnownLayout(const AVChannelLayout& layout) {
    AVChannelLayout known{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&layout) == 0)
        av_channel_layout_default(&known, layout.nb_channels > 0 ? layout.nb_channels : 2);
    else
        av_channel_layout_copy(&known, &layout);
    return known;
}

} // namespace

AudioTranscoder::AudioTranscoder(AVStream* input, MovieOutput& output)
    : output_(output), inputTimeBase_(input->time_base), decoded_(MakeFrame()), resampled_(MakeFrame()),
      whole_(MakeFrame()), nextPts_(AV_NOPTS_VALUE) {
    const AVCodecParameters* parameters = input->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        throw ImagingError(std::string("no decoder for ") + avcodec_get_name(parameters->codec_id));
    decoder_ = OpenDecoder(decoder, parameters, AW_MAX_PIXELS, 1);

    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!encoder)
        throw ImagingError("this system's FFmpeg has no AAC encoder");
    encoder_.reset(avcodec_alloc_context3(encoder));
    if (!encoder_)
        throw ImagingError("out of memory for the encoder");
    encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder_->sample_rate = RateFor(encoder, parameters->sample_rate);
    av_channel_layout_default(&encoder_->ch_layout, parameters->ch_layout.nb_channels == 1 ? 1 : 2);
    encoder_->bit_rate = kBitRate;
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    if (output.get()->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    CheckFfmpeg(avcodec_open2(encoder_.get(), encoder, nullptr), "cannot open the AAC encoder");

    queue_.reset(
        av_audio_fifo_alloc(encoder_->sample_fmt, encoder_->ch_layout.nb_channels, encoder_->frame_size));
    if (!queue_)
        throw ImagingError("out of memory for sound");
    stream_ = output.AddStream();
    CheckFfmpeg(avcodec_parameters_from_context(stream_->codecpar, encoder_.get()), "bad encoder parameters");
    stream_->time_base = encoder_->time_base;
}

void AudioTranscoder::Push(const AVPacket* packet) {
    DecodePacket(decoder_.get(), packet, decoded_.get(), [this](AVFrame* frame) {
        if (nextPts_ == AV_NOPTS_VALUE) {
            const int64_t start = frame->best_effort_timestamp;
            nextPts_ = start == AV_NOPTS_VALUE ? 0 : av_rescale_q(start, inputTimeBase_, encoder_->time_base);
        }
        Resample(frame);
        EncodeWhole(false);
    });
    if (!packet) {
        Resample(nullptr);
        EncodeWhole(true);
        Encode(nullptr);
    }
}

void AudioTranscoder::Resample(AVFrame* frame) {
    if (!resampler_ && !frame)
        return;
    if (frame) {
        AVChannelLayout known = KnownLayout(frame->ch_layout);
        av_channel_layout_uninit(&frame->ch_layout);
        frame->ch_layout = known;
    }
    AVFrame* out = resampled_.get();
    for (int attempt = 0;; ++attempt) {
        if (!resampler_) {
            // Made for the decoded frames' own format, which the decoder settles only once it has decoded
            // one.
            SwrContext* raw = nullptr;
            const int made = swr_alloc_set_opts2(
                &raw, &encoder_->ch_layout, encoder_->sample_fmt, encoder_->sample_rate, &frame->ch_layout,
                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
            resampler_.reset(raw);
            CheckFfmpeg(made, "cannot convert this sound");
            CheckFfmpeg(swr_init(resampler_.get()), "cannot convert this sound");
        }
        av_frame_unref(out);
        out->format = encoder_->sample_fmt;
        out->sample_rate = encoder_->sample_rate;
        CheckFfmpeg(av_channel_layout_copy(&out->ch_layout, &encoder_->ch_layout), "out of memory for sound");
        const int result = swr_convert_frame(resampler_.get(), out, frame);
        // A stream whose format changes on the way gets a resampler for the new one (what the old one
        // still held is dropped: a few milliseconds).
        if (result == AVERROR_INPUT_CHANGED && frame && attempt == 0) {
            resampler_.reset();
            continue;
        }
        CheckFfmpeg(result, "cannot convert this sound");
        break;
    }
    if (out->nb_samples > 0 && av_audio_fifo_write(queue_.get(), reinterpret_cast<void**>(out->extended_data),
                                                   out->nb_samples) < out->nb_samples)
        throw ImagingError("out of memory for sound");
}

void AudioTranscoder::EncodeWhole(bool last) {
    const int size = encoder_->frame_size;
    while (av_audio_fifo_size(queue_.get()) >= size || (last && av_audio_fifo_size(queue_.get()) > 0)) {
        AVFrame* frame = whole_.get();
        av_frame_unref(frame);
        frame->nb_samples = std::min(size, av_audio_fifo_size(queue_.get()));
        frame->format = encoder_->sample_fmt;
        frame->sample_rate = encoder_->sample_rate;
        CheckFfmpeg(av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout),
                    "out of memory for sound");
        CheckFfmpeg(av_frame_get_buffer(frame, 0), "out of memory for sound");
        if (av_audio_fifo_read(queue_.get(), reinterpret_cast<void**>(frame->data), frame->nb_samples) <
            frame->nb_samples)
            throw ImagingError("cannot convert this sound");
        frame->pts = nextPts_;
        nextPts_ += frame->nb_samples;
        Encode(frame);
    }
}

void AudioTranscoder::Encode(AVFrame* frame) {
    output_.Encode(encoder_.get(), frame, stream_);
}

} // namespace aw::imaging
