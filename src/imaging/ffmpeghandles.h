// SPDX-License-Identifier: MIT
// FFmpeg objects owned by std::unique_ptr, all made here; FFmpeg's error codes become text at this seam
// (ImagingError). Objects serve one thread at a time; every call of the video module makes its own.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "fdiocontext.h"

extern "C" {
struct AVCodec;
struct AVCodecContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVIOContext;
struct AVDictionary;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;
struct AVAudioFifo;
}

namespace aw::imaging {

struct FfmpegDeleter {
    void operator()(AVFormatContext* context) const;
    void operator()(AVCodecContext* context) const;
    void operator()(AVFrame* frame) const;
    void operator()(AVPacket* packet) const;
    void operator()(SwsContext* context) const;
    void operator()(SwrContext* context) const;
    void operator()(AVAudioFifo* fifo) const;
};
template <typename T> using FfmpegPtr = std::unique_ptr<T, FfmpegDeleter>;

// FFmpeg's text for an error code.
std::string FfmpegErrorText(int code);

// A demuxer reading an opened movie file through its descriptor alone (the name serves only as a hint of
// the format), with the given demuxers only; it may open no other file or URL. The frames decoded while
// the streams are probed are held to `maxPixels`. The context goes before the demuxer that reads it.
struct OpenedMovie {
    FdIoContext io;
    FfmpegPtr<AVFormatContext> format;
};
OpenedMovie OpenLocalMovie(const MovieFile& file, const char* formatAllowList, long long maxPixels);

// A decoder context for `codec` set up from the stream's parameters, refusing frames above `maxPixels`;
// single-threaded unless `threads` says otherwise (0: as many as the machine has).
FfmpegPtr<AVCodecContext> OpenDecoder(const AVCodec* codec, const AVCodecParameters* parameters,
                                      long long maxPixels, int threads = 1);

// Sends `packet` (nullptr: the end of the stream) to `decoder` and hands every frame that comes out to
// `take`, clearing it after. A damaged packet or frame is skipped, as players do; a decoder that keeps
// failing is given up on for this packet, so that nothing loops for ever.
void DecodePacket(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame,
                  const std::function<void(AVFrame*)>& take);

FfmpegPtr<AVFrame> MakeFrame();
FfmpegPtr<AVPacket> MakePacket();

// Throws ImagingError with `what` and FFmpeg's text when `code` is negative; gives `code` back otherwise.
int CheckFfmpeg(int code, const char* what);

} // namespace aw::imaging
