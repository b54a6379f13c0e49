// SPDX-License-Identifier: MIT
#include "movieoutput.h"

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include <fcntl.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

#include "imagingerror.h"

namespace aw::imaging {
namespace {

// The one name the muxer knows its file by; the descriptor stands behind it.
constexpr const char* kOutputName = "descriptor:";

// The MP4 muxer reads its own output back to move the index to the front: only that, through the
// descriptor. Any other file or URL is refused.
int OpenOwnOutput(AVFormatContext* format, AVIOContext** context, const char* url, int flags,
                  AVDictionary**) {
    if (!url || std::string_view(url) != kOutputName || (flags & AVIO_FLAG_WRITE))
        return AVERROR(EPERM);
    // FFmpeg takes a failed read here for the end of the data and leaves a cut file: a descriptor that
    // cannot be read is refused, which fails the copy.
    const int fd = *static_cast<const int*>(format->opaque);
    const int mode = ::fcntl(fd, F_GETFL);
    if (mode < 0 || (mode & O_ACCMODE) != O_RDWR)
        return AVERROR(EBADF);
    try {
        *context = FdIoContext(fd, false).release();
        return 0;
    } catch (...) {
        return AVERROR(ENOMEM);
    }
}

int CloseOwnOutput(AVFormatContext*, AVIOContext* context) {
    FdIoContext::Free(context);
    return 0;
}

} // namespace

MovieOutput::MovieOutput(int fd, const char* muxer) : fd_(fd), io_(fd, true) {
    AVFormatContext* raw = nullptr;
    CheckFfmpeg(avformat_alloc_output_context2(&raw, nullptr, muxer, nullptr),
                "cannot make the copy's muxer");
    format_.reset(raw);
    raw->pb = io_.get();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    raw->url = av_strdup(kOutputName);
    raw->opaque = &fd_;
    raw->io_open = OpenOwnOutput;
    raw->io_close2 = CloseOwnOutput;
    if (!raw->url)
        throw ImagingError("out of memory for the copy's muxer");
}

AVStream* MovieOutput::AddStream() {
    AVStream* stream = avformat_new_stream(format_.get(), nullptr);
    if (!stream)
        throw ImagingError("out of memory for the copy's stream");
    return stream;
}

void MovieOutput::WriteHeader(bool fastStart) {
    AVDictionary* raw = nullptr;
    const auto freeOptions = [](AVDictionary** options) { av_dict_free(options); };
    std::unique_ptr<AVDictionary*, decltype(freeOptions)> options(&raw, freeOptions);
    if (fastStart)
        av_dict_set(&raw, "movflags", "+faststart", 0);
    Check(avformat_write_header(format_.get(), &raw), "cannot begin the copy");
}

void MovieOutput::Check(int code, const char* what) const {
    if (code < 0 || io_.writeError() != 0)
        throw ImagingError(std::string(what) + ": " +
                               FfmpegErrorText(code < 0 ? code : AVERROR(io_.writeError())),
                           io_.writeError());
}

void MovieOutput::WritePacket(AVPacket* packet) {
    Check(av_interleaved_write_frame(format_.get(), packet), "cannot write the copy");
    if (poll_)
        poll_();
}

void MovieOutput::Encode(AVCodecContext* encoder, AVFrame* frame, AVStream* stream, int64_t duration) {
    CheckFfmpeg(avcodec_send_frame(encoder, frame), "cannot encode the copy");
    for (;;) {
        const int result = avcodec_receive_packet(encoder, packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        CheckFfmpeg(result, "cannot encode the copy");
        // Without a duration the MP4 index gives the last frame none, and players cut it.
        if (packet_->duration == 0)
            packet_->duration = duration;
        av_packet_rescale_ts(packet_.get(), encoder->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        WritePacket(packet_.get());
    }
}

void MovieOutput::Finish() {
    Check(av_write_trailer(format_.get()), "cannot end the copy");
    avio_flush(io_.get());
    Check(io_.get()->error, "cannot write the copy");
}

} // namespace aw::imaging
