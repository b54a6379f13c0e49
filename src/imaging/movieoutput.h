// SPDX-License-Identifier: MIT
// A muxer writing through a descriptor the caller made (an empty file of its own), never by a name: it may
// open nothing but that file, and only to read back what it wrote (an MP4's index moved to the front, for
// "fast start"). Nothing of the source's metadata is carried over unless the caller adds it, and the
// muxer writes no tool name or random identifiers, so the same input gives the same bytes. One thread at a
// time; the descriptor is borrowed and must outlive the object.
#pragma once

#include <cstdint>
#include <functional>

#include "fdiocontext.h"
#include "ffmpeghandles.h"

extern "C" {
struct AVStream;
}

namespace aw::imaging {

class MovieOutput {
public:
    // `muxer`: FFmpeg's short name ("mp4", "webm", "ogg", ...). Throws ImagingError.
    MovieOutput(int fd, const char* muxer);
    MovieOutput(const MovieOutput&) = delete;
    MovieOutput& operator=(const MovieOutput&) = delete;

    AVFormatContext* get() const { return format_.get(); }
    // A new stream; its parameters are the caller's to fill before WriteHeader.
    AVStream* AddStream();
    // With "fast start" for an MP4 (the index before the media, so that a browser starts at once).
    void WriteHeader(bool fastStart);
    // Writes a packet whose times are in the stream's time base (as WriteHeader left it), then calls the
    // poll (which may throw to stop the writing: nothing of FFmpeg's is on the stack then).
    void WritePacket(AVPacket* packet);
    void SetPoll(std::function<void()> poll) { poll_ = std::move(poll); }
    // Gives `frame` to `encoder` (nullptr drains it) and writes every packet it has ready into `stream`,
    // times from the encoder's time base into the stream's; a packet the encoder gave no duration gets
    // `duration` (in the encoder's time base).
    void Encode(AVCodecContext* encoder, AVFrame* frame, AVStream* stream, int64_t duration = 0);
    // Ends the file and flushes every byte to the descriptor. Each call throws ImagingError when it or an
    // earlier write failed, with the errno of a failed write.
    void Finish();

private:
    // Throws for a negative code or a failed write, naming the write's errno.
    void Check(int code, const char* what) const;

    int fd_;
    std::function<void()> poll_;
    FfmpegPtr<AVPacket> packet_ = MakePacket();
    FdIoContext io_;
    FfmpegPtr<AVFormatContext> format_;
};

} // namespace aw::imaging
