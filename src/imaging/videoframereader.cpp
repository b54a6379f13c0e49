// SPDX-License-Identifier: MIT
#include "videoframereader.h"

#include <cstring>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
#include <libswscale/swscale.h>
}

#include "displayrotation.h"
#include "imagingabi.h"
#include "imagingerror.h"
#include "pixelbuffer.h"

namespace aw::imaging {
namespace {

// Gives a decoded frame from `decoder` if one is ready; false when more input is needed.
bool ReceiveFrame(AVCodecContext* decoder, AVFrame* frame) {
    while (true) {
        const int result = avcodec_receive_frame(decoder, frame);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return false;
        CheckFfmpeg(result, "decoding failed");
        if ((frame->flags & AV_FRAME_FLAG_CORRUPT) == 0 && frame->width > 0 && frame->height > 0)
            return true;
        av_frame_unref(frame); // a damaged frame (e.g. one that refers to frames before the start)
    }
}

// The deprecated full-range "J" formats, named as their plain twins so the scaler treats them well.
AVPixelFormat PlainFormat(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    default:
        return format;
    }
}

// Colour fields hold whatever number the stream wrote (an MPEG-2 sequence may say 42): read as plain
// numbers, never as values of their enumerations.
template <typename Field> int RawValue(const Field& field) {
    static_assert(sizeof(Field) == sizeof(int));
    int value = 0;
    std::memcpy(&value, &field, sizeof value);
    return value;
}

// The frame's own matrix (BT.709 for most HD material) rather than the scaler's BT.601 default; the
// default for unknown, reserved and non-YCbCr matrices.
int ScalerColourSpace(int matrix) {
    switch (matrix) {
    case AVCOL_SPC_BT709:
    case AVCOL_SPC_FCC:
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
    case AVCOL_SPC_SMPTE240M:
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return matrix;
    default:
        return SWS_CS_DEFAULT;
    }
}

// The movie's first frame as a decoder that drops the frames `skip` names gives it; nothing when none comes
// within the packet limit.
std::optional<VideoFrameReader::FirstFrame> ReadFirstFrame(const MovieFile& file, AVDiscard skip) {
    const OpenedMovie opened = OpenLocalMovie(file, VideoFrameReader::kFormatAllowList, AW_MAX_PIXELS);
    const FfmpegPtr<AVFormatContext>& movie = opened.format;
    const AVCodec* codec = nullptr;
    const int streamIndex = CheckFfmpeg(
        av_find_best_stream(movie.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0), "no video stream");
    AVStream* stream = movie->streams[streamIndex];
    CheckDimensions(stream->codecpar->width > 0 ? stream->codecpar->width : 1,
                    stream->codecpar->height > 0 ? stream->codecpar->height : 1);
    const FfmpegPtr<AVCodecContext> decoder = OpenDecoder(codec, stream->codecpar, AW_MAX_PIXELS);
    CheckDimensions(decoder->width > 0 ? decoder->width : 1, decoder->height > 0 ? decoder->height : 1);
    decoder->skip_frame = skip;

    VideoFrameReader::FirstFrame first;
    first.frame = MakeFrame();
    const FfmpegPtr<AVPacket> packet = MakePacket();
    bool found = false;
    for (int read = 0; read < VideoFrameReader::kMaxPackets && !found; ++read) {
        const int result = av_read_frame(movie.get(), packet.get());
        if (result < 0)
            break; // end of file or damage: what is buffered in the decoder may still give a frame
        if (packet->stream_index == streamIndex) {
            // A damaged packet is skipped; a later one may still decode.
            if (avcodec_send_packet(decoder.get(), packet.get()) >= 0)
                found = ReceiveFrame(decoder.get(), first.frame.get());
        }
        av_packet_unref(packet.get());
    }
    if (!found && avcodec_send_packet(decoder.get(), nullptr) >= 0)
        found = ReceiveFrame(decoder.get(), first.frame.get());
    if (!found)
        return std::nullopt;

    const AVFrame* frame = first.frame.get();
    CheckDimensions(frame->width, frame->height);
    const AVRational aspect = av_guess_sample_aspect_ratio(movie.get(), stream, first.frame.get());
    int64_t displayWidth = frame->width;
    if (aspect.num > 0 && aspect.den > 0)
        displayWidth = av_rescale(frame->width, aspect.num, aspect.den);
    if (displayWidth < 1)
        displayWidth = 1;
    CheckDimensions(displayWidth, frame->height);
    first.quarterTurns = QuarterTurnsOf(stream);
    const bool sideways = first.quarterTurns % 2 != 0;
    first.displayWidth = sideways ? frame->height : static_cast<int>(displayWidth);
    first.displayHeight = sideways ? static_cast<int>(displayWidth) : frame->height;
    return first;
}

} // namespace

VideoFrameReader::FirstFrame VideoFrameReader::Read(const MovieFile& file) {
    // Key frames only at first: the first frame shown is a key frame, and the decoder then need not decode
    // every frame it holds back for reordering before it gives that one out. A stream whose key frames the
    // decoder does not mark (H.264 cut after its IDR frame and recovered by intra refresh) is read again
    // with every frame.
    for (const AVDiscard skip : {AVDISCARD_NONKEY, AVDISCARD_DEFAULT})
        if (std::optional<FirstFrame> first = ReadFirstFrame(file, skip))
            return std::move(*first);
    throw ImagingError("no decodable video frame");
}

void VideoFrameReader::ConvertToBgr(const FirstFrame& first, uint8_t* target, std::size_t capacity) {
    const AVFrame* frame = first.frame.get();
    const bool sideways = first.quarterTurns % 2 != 0;
    // The size before turning: the stored height, the stored width times the aspect ratio.
    const int width = sideways ? first.displayHeight : first.displayWidth;
    const int height = sideways ? first.displayWidth : first.displayHeight;
    if (capacity < BufferSize24(first.displayWidth, first.displayHeight))
        throw ImagingError("frame buffer too small");

    bool fullRange = RawValue(frame->color_range) == AVCOL_RANGE_JPEG;
    const AVPixelFormat sourceFormat = PlainFormat(static_cast<AVPixelFormat>(frame->format), fullRange);
    const FfmpegPtr<SwsContext> scaler(
        sws_getContext(frame->width, frame->height, sourceFormat, width, height, AV_PIX_FMT_BGR24,
                       SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!scaler)
        throw ImagingError("cannot convert this frame's pixel format");
    const int* coefficients = sws_getCoefficients(ScalerColourSpace(RawValue(frame->colorspace)));
    sws_setColorspaceDetails(scaler.get(), coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);

    // Into a frame of the scaler's liking, then the rows bottom-up and padded into the caller's buffer. Not
    // straight into that buffer: the scaler's vector code writes up to 16 bytes past a row's end, which
    // would run past the buffer (or, with rows laid bottom-up, over rows already written).
    const FfmpegPtr<AVFrame> bgr = MakeFrame();
    bgr->format = AV_PIX_FMT_BGR24;
    bgr->width = width;
    bgr->height = height;
    CheckFfmpeg(av_frame_get_buffer(bgr.get(), 0), "out of memory for a frame");
    if (CheckFfmpeg(
            sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, bgr->data, bgr->linesize),
            "cannot convert the frame") != height)
        throw ImagingError("the frame was converted only in part");
    const BgrCanvas canvas{target, first.displayWidth, first.displayHeight};
    const auto source = [&bgr](int x, int y) {
        return bgr->data[0] + static_cast<std::ptrdiff_t>(y) * bgr->linesize[0] +
               static_cast<std::ptrdiff_t>(x) * 3;
    };
    for (int y = 0; y < canvas.height; ++y) {
        uint8_t* row = canvas.RowFromTop(y);
        if (first.quarterTurns == 0) {
            std::memcpy(row, source(0, y), static_cast<std::size_t>(width) * 3);
        } else {
            // Each shown pixel (x, y) taken from where the turn brings it from.
            for (int x = 0; x < canvas.width; ++x) {
                const uint8_t* from = first.quarterTurns == 1   ? source(y, height - 1 - x)
                                      : first.quarterTurns == 2 ? source(width - 1 - x, height - 1 - y)
                                                                : source(width - 1 - y, x);
                std::memcpy(row + static_cast<std::size_t>(x) * 3, from, 3);
            }
        }
        canvas.ClearPadding(canvas.height - 1 - y);
    }
}

} // namespace aw::imaging
