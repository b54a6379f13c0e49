// SPDX-License-Identifier: MIT
#include "pngdecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <spng.h>

#include "imagingabi.h"
#include "imagingerror.h"
#include "rowreducer.h"

namespace aw::imaging {
namespace {

struct ContextDeleter {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// Text and other ancillary chunks are kept in memory by the codec: bounded, so that a few hostile bytes
// cannot claim gigabytes through a chunk's stated length.
constexpr std::size_t kMaxChunkBytes = std::size_t{16} << 20;
constexpr std::size_t kMaxChunkCache = std::size_t{64} << 20;

// Decoded as RGBA, handed on as BGR: seven bytes a pixel held at once.
constexpr uint64_t kBytesPerPixel = 4 + 3;

void Check(int code, const char* what) {
    if (code != 0)
        throw ImagingError(std::string(what) + ": " + spng_strerror(code));
}

using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

// A decoder over `bytes` with its limits, and the header.
Context Open(const uint8_t* bytes, std::size_t count, spng_ihdr& header) {
    Context context(spng_ctx_new(0));
    if (!context)
        throw ImagingError("out of memory for a PNG decoder", Failure::TooLarge);
    spng_ctx* png = context.get();
    Check(spng_set_chunk_limits(png, kMaxChunkBytes, kMaxChunkCache), "PNG limits");
    Check(spng_set_image_limits(png, AW_MAX_DIMENSION, AW_MAX_DIMENSION), "PNG limits");
    Check(spng_set_png_buffer(png, bytes, count), "PNG data");
    Check(spng_get_ihdr(png, &header), "PNG header");
    return context;
}

// Interlaced rows arrive pass by pass, so only a picture stored top to bottom is shrunk as it comes.
int ShrinkFactor(const spng_ihdr& header, int minWidth, int minHeight) {
    if (minWidth <= 0 || minHeight <= 0 || header.interlace_method != SPNG_INTERLACE_NONE)
        return 1;
    return static_cast<int>(std::min(header.width / static_cast<uint32_t>(minWidth),
                                     header.height / static_cast<uint32_t>(minHeight)));
}

} // namespace

bool PngDecoder::Recognises(const uint8_t* bytes, std::size_t count) {
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return count >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

uint64_t PngDecoder::Needs(const uint8_t* bytes, std::size_t count, int minWidth, int minHeight) {
    spng_ihdr header{};
    const Context context = Open(bytes, count, header);
    const int factor = ShrinkFactor(header, minWidth, minHeight);
    if (factor < 2)
        return PictureNeeds(header.width, header.height, kBytesPerPixel);
    // One row as decoded, and the shrunk picture.
    const uint64_t shrunk = PictureNeeds((header.width + factor - 1) / factor,
                                         (header.height + factor - 1) / factor, kBytesPerPixel);
    return shrunk == 0 ? 0 : shrunk + uint64_t{4} * header.width;
}

StillRows PngDecoder::Decode(const uint8_t* bytes, std::size_t count, int minWidth, int minHeight) {
    spng_ihdr header{};
    const Context context = Open(bytes, count, header);
    spng_ctx* png = context.get();
    CheckDimensions(header.width, header.height);
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);

    std::size_t size = 0;
    Check(spng_decoded_image_size(png, SPNG_FMT_RGBA8, &size), "PNG size");
    if (size != std::size_t{4} * header.width * header.height)
        throw ImagingError("PNG size does not match its header");
    const int factor = ShrinkFactor(header, minWidth, minHeight);

    StillRows still;
    still.fullWidth = width;
    still.fullHeight = height;
    // A transparent colour (tRNS) becomes alpha, so that it is laid on white like an alpha channel.
    if (factor >= 2) {
        Check(spng_decode_image(png, nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE),
              "PNG pixels");
        RowReducer reducer(width, height, factor);
        std::vector<uint8_t> row(std::size_t{4} * header.width);
        for (int y = 0; y < height; ++y) {
            const int code = spng_decode_row(png, row.data(), row.size());
            if (code != 0 && !(code == SPNG_EOI && y == height - 1))
                Check(code, "PNG pixels");
            reducer.Add(row.data());
        }
        still.rows = reducer.Take();
    } else {
        auto pixels = std::shared_ptr<uint8_t>(AllocateZeroed(size).release(), FreeDeleter());
        Check(spng_decode_image(png, pixels.get(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS), "PNG pixels");
        still.rows.data = pixels.get();
        still.rows.width = width;
        still.rows.height = height;
        still.rows.stride = std::size_t{4} * header.width;
        still.rows.channels = 4;
        still.rows.owner = std::move(pixels);
    }
    spng_iccp iccp{};
    if (spng_get_iccp(png, &iccp) == 0 && iccp.profile != nullptr)
        still.rows.icc.assign(reinterpret_cast<const uint8_t*>(iccp.profile),
                              reinterpret_cast<const uint8_t*>(iccp.profile) + iccp.profile_len);
    return still;
}

} // namespace aw::imaging
