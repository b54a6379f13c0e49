// SPDX-License-Identifier: MIT
// One sound stream made into AAC that every browser plays: decoded, resampled to a rate AAC takes (the
// source's own where it can, else 48 kHz), mono kept mono and everything else mixed to stereo, and encoded
// by FFmpeg's AAC encoder at kBitRate. One thread at a time.
#pragma once

#include <cstdint>

#include "ffmpeghandles.h"
#include "movieoutput.h"

extern "C" {
#include <libavutil/rational.h>
struct AVStream;
}

namespace aw::imaging {

class AudioTranscoder {
public:
    static constexpr int64_t kBitRate = 128000;

    // Adds the copy's stream to `output` (before its header is written). Throws ImagingError.
    AudioTranscoder(AVStream* input, MovieOutput& output);

    // As VideoTranscoder::Push: a packet of the input stream with shifted times, or nullptr at the end.
    void Push(const AVPacket* packet);

private:
    void Resample(AVFrame* frame); // nullptr drains the resampler
    void EncodeWhole(bool last);   // encodes whole encoder frames from the queue (and the rest, last)
    void Encode(AVFrame* frame);   // nullptr drains the encoder

    MovieOutput& output_;
    AVStream* stream_;
    AVRational inputTimeBase_;
    FfmpegPtr<AVCodecContext> decoder_;
    FfmpegPtr<AVCodecContext> encoder_;
    FfmpegPtr<SwrContext> resampler_;
    FfmpegPtr<AVAudioFifo> queue_;
    FfmpegPtr<AVFrame> decoded_;
    FfmpegPtr<AVFrame> resampled_;
    FfmpegPtr<AVFrame> whole_;
    int64_t nextPts_;
};

} // namespace aw::imaging
