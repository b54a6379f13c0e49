// SPDX-License-Identifier: MIT
// Reads the first decodable video frame of a local movie file (.asf, .avi, .mov, .mpg, .mpeg, and today's
// MP4, 3GP, WebM and Matroska) and gives it at its display size: the stored width times the sample aspect
// ratio, so that non-square pixels do not look stretched, then turned as the stream declares (a phone's
// portrait clip is stored on its side), so that it stands as players show it. Kept on a short leash: local
// files only, an allow-list of demuxers, a pixel limit and a bounded number of packets, read through the
// descriptor of the file it was handed. Stateless and thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "fdiocontext.h"
#include "ffmpeghandles.h"

namespace aw::imaging {

class VideoFrameReader {
public:
    // Demuxers allowed to open a file.
    static constexpr const char* kFormatAllowList = "asf,avi,mov,mp4,matroska,webm,mpeg,mpegts,mpegvideo";
    // Packets read (of any stream) before giving up on finding a frame.
    static constexpr int kMaxPackets = 4096;

    struct FirstFrame {
        FfmpegPtr<AVFrame> frame;
        int quarterTurns = 0; // clockwise, applied after scaling to the aspect ratio
        int displayWidth = 0; // as shown: scaled, then turned
        int displayHeight = 0;
    };

    // Throws ImagingError when the file cannot be read or holds no decodable frame within the limits.
    static FirstFrame Read(const MovieFile& file);

    // Writes the frame as 24-bit bottom-up rows at its display size, turned, into `target` of `capacity`
    // bytes.
    static void ConvertToBgr(const FirstFrame& first, uint8_t* target, std::size_t capacity);
};

} // namespace aw::imaging
