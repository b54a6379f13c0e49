// SPDX-License-Identifier: MIT
// One movie stream made into H.264 that every browser plays: decoded (several threads), scaled so that the
// shorter side of the shown picture is at most kMaxShortSide (never enlarged; even sides; square pixels),
// converted to 8-bit 4:2:0 (a 10-bit HDR picture becomes 8-bit with its colour tags kept, so it may show
// banding), and encoded by x264 at kPreset and kCrf. The turn the source declares is carried as the
// copy's display matrix rather than applied to the pixels. One thread at a time.
#pragma once

#include <cstdint>

#include "ffmpeghandles.h"
#include "movieoutput.h"

extern "C" {
#include <libavutil/avutil.h>
struct AVStream;
}

namespace aw::imaging {

class VideoTranscoder {
public:
    static constexpr int kMaxShortSide = 1080;
    static constexpr const char* kPreset = "veryfast";
    static constexpr const char* kCrf = "23";

    // Adds the copy's stream to `output` (before its header is written). Throws ImagingError.
    VideoTranscoder(AVFormatContext* source, AVStream* input, MovieOutput& output);

    // Takes a packet of the input stream, times in its time base and shifted to start at the file's start;
    // nullptr at the end, which drains the decoder and encoder. Writes what comes out. After the header.
    void Push(const AVPacket* packet);

    // The copy's size for a source shown at `width` x `height` (aspect ratio applied, before any turn).
    static void FitSize(int width, int height, int& fitWidth, int& fitHeight);

private:
    void Encode(AVFrame* frame); // nullptr drains the encoder
    AVFrame* Convert(AVFrame* decoded);

    MovieOutput& output_;
    AVStream* stream_;
    FfmpegPtr<AVCodecContext> decoder_;
    FfmpegPtr<AVCodecContext> encoder_;
    FfmpegPtr<SwsContext> scaler_;
    FfmpegPtr<AVFrame> decoded_;
    FfmpegPtr<AVFrame> converted_;
    int64_t lastPts_;
    int64_t nextShown_ = AV_NOPTS_VALUE; // the next frame's time, where the file keeps no times of its own
    int64_t frameStep_ = 1;              // one frame, in the input's time base
};

} // namespace aw::imaging
