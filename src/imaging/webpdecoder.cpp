// SPDX-License-Identifier: MIT
#include "webpdecoder.h"

#include <cstring>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

#include "imagingerror.h"

namespace aw::imaging {
namespace {

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// The ICC profile chunk, when the container has one.
std::vector<uint8_t> ProfileOf(const WebPDemuxer* demuxer) {
    std::vector<uint8_t> icc;
    WebPChunkIterator chunk;
    if (demuxer && WebPDemuxGetChunk(demuxer, "ICCP", 1, &chunk)) {
        icc.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return icc;
}

} // namespace

bool WebpDecoder::Recognises(const uint8_t* bytes, std::size_t count) {
    return count >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WEBP", 4) == 0;
}

uint64_t WebpDecoder::Needs(const uint8_t* bytes, std::size_t count) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes, count, &features) != VP8_STATUS_OK)
        throw ImagingError("not a readable WebP header");
    // The animation decoder keeps two RGBA canvases (the frame and the one before it, for disposal), even
    // for a still; then the canvas as BGR.
    return PictureNeeds(features.width, features.height, 4 + 4 + 3);
}

RgbRows WebpDecoder::Decode(const uint8_t* bytes, std::size_t count) {
    // The features come from the headers alone: the canvas size is judged before the decoder allocates it.
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes, count, &features) != VP8_STATUS_OK)
        throw ImagingError("not a readable WebP header");
    CheckDimensions(features.width, features.height);

    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw ImagingError("WebP decoder version mismatch");
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData data{bytes, count};
    const std::shared_ptr<WebPAnimDecoder> decoder(WebPAnimDecoderNew(&data, &options), AnimDecoderDeleter());
    if (!decoder)
        throw ImagingError("WebP data cannot be decoded");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info))
        throw ImagingError("WebP data cannot be decoded");
    CheckDimensions(info.canvas_width, info.canvas_height);
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp) || canvas == nullptr)
        throw ImagingError("WebP frame cannot be decoded");

    RgbRows rows;
    rows.width = static_cast<int>(info.canvas_width);
    rows.height = static_cast<int>(info.canvas_height);
    rows.channels = 4;
    rows.stride = std::size_t{4} * info.canvas_width;
    rows.icc = ProfileOf(WebPAnimDecoderGetDemuxer(decoder.get()));
    // The canvas belongs to the decoder, which the rows keep alive.
    rows.data = canvas;
    rows.owner = decoder;
    return rows;
}

} // namespace aw::imaging
