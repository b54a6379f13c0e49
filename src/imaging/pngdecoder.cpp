// SPDX-License-Identifier: MIT
#include "pngdecoder.h"

#include <cstring>
#include <memory>
#include <string>

#include <spng.h>

#include "imagingabi.h"
#include "imagingerror.h"

namespace aw::imaging {
namespace {

struct ContextDeleter {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// Text and other ancillary chunks are kept in memory by the codec: bounded, so that a few hostile bytes
// cannot claim gigabytes through a chunk's stated length.
constexpr std::size_t kMaxChunkBytes = std::size_t{16} << 20;
constexpr std::size_t kMaxChunkCache = std::size_t{64} << 20;

void Check(int code, const char* what) {
    if (code != 0)
        throw ImagingError(std::string(what) + ": " + spng_strerror(code));
}

} // namespace

bool PngDecoder::Recognises(const uint8_t* bytes, std::size_t count) {
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return count >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

RgbRows PngDecoder::Decode(const uint8_t* bytes, std::size_t count) {
    const std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(0));
    if (!context)
        throw ImagingError("out of memory for a PNG decoder");
    spng_ctx* png = context.get();
    Check(spng_set_chunk_limits(png, kMaxChunkBytes, kMaxChunkCache), "PNG limits");
    Check(spng_set_image_limits(png, AW_MAX_DIMENSION, AW_MAX_DIMENSION), "PNG limits");
    Check(spng_set_png_buffer(png, bytes, count), "PNG data");
    spng_ihdr header{};
    Check(spng_get_ihdr(png, &header), "PNG header");
    CheckDimensions(header.width, header.height);

    std::size_t size = 0;
    Check(spng_decoded_image_size(png, SPNG_FMT_RGBA8, &size), "PNG size");
    if (size != std::size_t{4} * header.width * header.height)
        throw ImagingError("PNG size does not match its header");
    auto pixels = std::shared_ptr<uint8_t>(AllocateZeroed(size).release(), FreeDeleter());
    // A transparent colour (tRNS) becomes alpha, so that it is laid on white like an alpha channel.
    Check(spng_decode_image(png, pixels.get(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS), "PNG pixels");

    RgbRows rows;
    rows.data = pixels.get();
    rows.width = static_cast<int>(header.width);
    rows.height = static_cast<int>(header.height);
    rows.stride = std::size_t{4} * header.width;
    rows.channels = 4;
    rows.owner = std::move(pixels);
    spng_iccp iccp{};
    if (spng_get_iccp(png, &iccp) == 0 && iccp.profile != nullptr)
        rows.icc.assign(reinterpret_cast<const uint8_t*>(iccp.profile),
                        reinterpret_cast<const uint8_t*>(iccp.profile) + iccp.profile_len);
    return rows;
}

} // namespace aw::imaging
