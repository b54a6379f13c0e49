// SPDX-License-Identifier: MIT
#include "moviefacts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "fdiocontext.h"
#include "ffmpeghandles.h"
#include "imagingabi.h"
#include "videoframereader.h"

namespace aw::imaging {
namespace {

std::string CodecOfFirst(const AVFormatContext* movie, AVMediaType type) {
    for (unsigned i = 0; i < movie->nb_streams; ++i) {
        const AVCodecParameters* parameters = movie->streams[i]->codecpar;
        // Cover art in a music file is a video stream of one picture, not a movie.
        if (parameters->codec_type == type &&
            (movie->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0)
            return avcodec_get_name(parameters->codec_id);
    }
    return {};
}

} // namespace

MovieFactsRead MovieFacts::Read(const std::string& path) {
    // Opened like the frame reader's file: once, without blocking, read only through that descriptor.
    const MovieFile file(path);
    const OpenedMovie opened = OpenLocalMovie(file, VideoFrameReader::kFormatAllowList, AW_MAX_PIXELS);
    const FfmpegPtr<AVFormatContext>& movie = opened.format;
    return MovieFactsRead{movie->iformat->name, CodecOfFirst(movie.get(), AVMEDIA_TYPE_VIDEO),
                          CodecOfFirst(movie.get(), AVMEDIA_TYPE_AUDIO)};
}

} // namespace aw::imaging
