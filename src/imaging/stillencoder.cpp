// SPDX-License-Identifier: MIT
#include "stillencoder.h"

#include <cstring>
#include <memory>
#include <string>

#include <gif_lib.h>
#include <spng.h>
#include <webp/encode.h>

#include "imagingerror.h"

namespace aw::imaging {
namespace {

EncodedJpeg CopiedOut(const void* bytes, std::size_t size) {
    if (size == 0 || size > UINT32_MAX)
        throw ImagingError("encoded picture of " + std::to_string(size) + " bytes");
    EncodedJpeg out;
    out.bytes = AllocateZeroed(size);
    std::memcpy(out.bytes.get(), bytes, size);
    out.size = static_cast<uint32_t>(size);
    return out;
}

struct SpngDeleter {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

struct WebpFreer {
    void operator()(uint8_t* bytes) const { WebPFree(bytes); }
};

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

struct GifWriterCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct ColourMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// A pixel counts as transparent in a GIF when less than half covers it.
constexpr uint8_t kGifOpaqueFrom = 128;

} // namespace

bool RgbaImage::Opaque() const {
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        if (pixels[i] != 255)
            return false;
    return true;
}

EncodedJpeg StillEncoder::EncodePng(const RgbaImage& picture) {
    CheckDimensions(picture.width, picture.height);
    const std::unique_ptr<spng_ctx, SpngDeleter> context(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!context)
        throw ImagingError("out of memory for a PNG encoder");
    spng_ctx* png = context.get();
    const bool opaque = picture.Opaque();
    std::vector<uint8_t> rgb;
    const std::vector<uint8_t>* rows = &picture.pixels;
    if (opaque) {
        rgb.resize(picture.pixels.size() / 4 * 3);
        for (std::size_t i = 0, o = 0; i < picture.pixels.size(); i += 4, o += 3)
            std::memcpy(&rgb[o], &picture.pixels[i], 3);
        rows = &rgb;
    }
    spng_ihdr header{};
    header.width = static_cast<uint32_t>(picture.width);
    header.height = static_cast<uint32_t>(picture.height);
    header.bit_depth = 8;
    header.color_type = opaque ? SPNG_COLOR_TYPE_TRUECOLOR : SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int code = spng_set_option(png, SPNG_ENCODE_TO_BUFFER, 1);
    if (code == 0)
        code = spng_set_ihdr(png, &header);
    if (code == 0)
        code = spng_set_srgb(png, 0); // perceptual, the intent the conversion to sRGB used
    if (code == 0)
        code = spng_encode_image(png, rows->data(), rows->size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (code != 0)
        throw ImagingError(std::string("PNG encoding failed: ") + spng_strerror(code));
    std::size_t size = 0;
    const std::unique_ptr<void, void (*)(void*)> bytes(spng_get_png_buffer(png, &size, &code), std::free);
    if (!bytes || code != 0)
        throw ImagingError("PNG encoding failed");
    return CopiedOut(bytes.get(), size);
}

EncodedJpeg StillEncoder::EncodeWebp(const RgbaImage& picture, bool lossless, int quality) {
    CheckDimensions(picture.width, picture.height);
    if (picture.width > WEBP_MAX_DIMENSION || picture.height > WEBP_MAX_DIMENSION)
        throw ImagingError("too large for WebP");
    uint8_t* made = nullptr;
    const int stride = 4 * picture.width;
    const std::size_t size =
        lossless ? WebPEncodeLosslessRGBA(picture.pixels.data(), picture.width, picture.height, stride, &made)
                 : WebPEncodeRGBA(picture.pixels.data(), picture.width, picture.height, stride,
                                  static_cast<float>(quality), &made);
    const std::unique_ptr<uint8_t, WebpFreer> owned(made);
    if (!owned || size == 0)
        throw ImagingError("WebP encoding failed");
    return CopiedOut(owned.get(), size);
}

EncodedJpeg StillEncoder::EncodeGif(const RgbaImage& picture) {
    CheckDimensions(picture.width, picture.height);
    if (picture.width > 65535 || picture.height > 65535)
        throw ImagingError("too large for GIF");
    const std::size_t count =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    std::vector<GifByteType> red(count), green(count), blue(count), indexes(count);
    bool transparent = false;
    for (std::size_t i = 0; i < count; ++i) {
        red[i] = picture.pixels[4 * i];
        green[i] = picture.pixels[4 * i + 1];
        blue[i] = picture.pixels[4 * i + 2];
        transparent = transparent || picture.pixels[4 * i + 3] < kGifOpaqueFrom;
    }
    // The last entry stays free for the transparent pixels.
    int colours = transparent ? 255 : 256;
    const std::unique_ptr<ColorMapObject, ColourMapDeleter> map(GifMakeMapObject(256, nullptr));
    if (!map)
        throw ImagingError("out of memory for a GIF colour map");
    if (GifQuantizeBuffer(static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height),
                          &colours, red.data(), green.data(), blue.data(), indexes.data(),
                          map->Colors) != GIF_OK)
        throw ImagingError("GIF colours could not be chosen");
    if (transparent)
        for (std::size_t i = 0; i < count; ++i)
            if (picture.pixels[4 * i + 3] < kGifOpaqueFrom)
                indexes[i] = 255;

    std::vector<uint8_t> out;
    int error = 0;
    std::unique_ptr<GifFileType, GifWriterCloser> file(EGifOpen(&out, WriteToVector, &error));
    if (!file)
        throw ImagingError("GIF encoder could not start");
    GifFileType* gif = file.get();
    const GifByteType control[4] = {0x01, 0, 0, 255}; // a transparent index, no delay
    EGifSetGifVersion(gif, transparent);              // the control block is GIF89's
    bool written = EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map.get()) == GIF_OK &&
                   (!transparent || EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK) &&
                   EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
    for (int y = 0; written && y < picture.height; ++y)
        written = EGifPutLine(gif, indexes.data() + static_cast<std::size_t>(y) * picture.width,
                              picture.width) == GIF_OK;
    // Closing writes the trailer; the file object is gone either way.
    GifFileType* closing = file.release();
    written = EGifCloseFile(closing, &error) == GIF_OK && written;
    if (!written)
        throw ImagingError("GIF encoding failed");
    return CopiedOut(out.data(), out.size());
}

} // namespace aw::imaging
