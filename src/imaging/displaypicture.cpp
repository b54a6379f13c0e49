// SPDX-License-Identifier: MIT
#include "displaypicture.h"

#include <algorithm>
#include <cstring>

#include <webp/decode.h>

#include "areascaler.h"
#include "colourprofile.h"
#include "containerstrip.h"
#include "gifdecoder.h"
#include "imagingerror.h"
#include "pngdecoder.h"
#include "stillencoder.h"
#include "webpdecoder.h"

namespace aw::imaging {
namespace {

enum class Format { Png, Gif, Webp };

struct Declared {
    Format format = Format::Png;
    int64_t width = 0;
    int64_t height = 0;
    bool lossless = false; // a WebP coded without loss
};

Declared ReadDeclared(const uint8_t* bytes, std::size_t count) {
    Declared declared;
    if (PngDecoder::Recognises(bytes, count)) {
        if (count < 24 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
            throw ImagingError("PNG without its header chunk");
        declared.width = int64_t{bytes[16]} << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19];
        declared.height = int64_t{bytes[20]} << 24 | bytes[21] << 16 | bytes[22] << 8 | bytes[23];
    } else if (GifDecoder::Recognises(bytes, count)) {
        if (count < 10)
            throw ImagingError("GIF ends inside its header");
        declared.format = Format::Gif;
        declared.width = bytes[6] | bytes[7] << 8;
        declared.height = bytes[8] | bytes[9] << 8;
    } else if (WebpDecoder::Recognises(bytes, count)) {
        WebPBitstreamFeatures features;
        if (WebPGetFeatures(bytes, count, &features) != VP8_STATUS_OK)
            throw ImagingError("not a readable WebP header");
        declared.format = Format::Webp;
        declared.width = features.width;
        declared.height = features.height;
        declared.lossless = features.format == 2;
    } else {
        throw ImagingError("not a PNG, GIF or WebP picture");
    }
    CheckDimensions(declared.width, declared.height);
    return declared;
}

// The longer side (relative to the square) fills it, the other kept in proportion, at least one pixel.
void FitInto(int64_t width, int64_t height, int side, int& fittedWidth, int& fittedHeight) {
    const bool wide = width >= height;
    const int64_t longer = wide ? width : height;
    const int64_t shorter = wide ? height : width;
    const auto scaled = static_cast<int>(std::max<int64_t>(1, (shorter * side + longer / 2) / longer));
    fittedWidth = wide ? side : scaled;
    fittedHeight = wide ? scaled : side;
}

} // namespace

DisplayCopy DisplayPicture::Make(const uint8_t* bytes, std::size_t count, int maxSide, int quality) {
    if (bytes == nullptr)
        throw ImagingError("no data");
    if (maxSide < 1 || maxSide > AW_MAX_DIMENSION || quality < 1 || quality > 100)
        throw ImagingError("display size or quality out of range");
    const Declared declared = ReadDeclared(bytes, count);
    DisplayCopy copy;
    if (declared.width <= maxSide && declared.height <= maxSide) {
        const std::vector<uint8_t> stripped = ContainerStrip::Strip(bytes, count);
        if (stripped.size() > UINT32_MAX)
            throw ImagingError("copy larger than 4 GiB");
        copy.file.bytes = AllocateZeroed(stripped.size());
        std::memcpy(copy.file.bytes.get(), stripped.data(), stripped.size());
        copy.file.size = static_cast<uint32_t>(stripped.size());
        copy.width = static_cast<int>(declared.width);
        copy.height = static_cast<int>(declared.height);
        return copy;
    }
    FitInto(declared.width, declared.height, maxSide, copy.width, copy.height);
    // A PNG stored top to bottom is shrunk by a whole factor as its rows come, down to no less than the copy.
    RgbRows rows = declared.format == Format::Png
                       ? PngDecoder::Decode(bytes, count, copy.width, copy.height).rows
                   : declared.format == Format::Gif ? GifDecoder::Decode(bytes, count)
                                                    : WebpDecoder::Decode(bytes, count);
    ColourProfile::ConvertToSrgb(rows);
    RgbaImage shrunk;
    shrunk.width = copy.width;
    shrunk.height = copy.height;
    shrunk.pixels.resize(std::size_t{4} * static_cast<std::size_t>(copy.width) *
                         static_cast<std::size_t>(copy.height));
    AreaScaler::ScaleRgba(rows, copy.width, copy.height, shrunk.pixels.data());
    rows = RgbRows{}; // the decoded picture goes before the encoder's buffers come
    switch (declared.format) {
    case Format::Png:
        copy.file = StillEncoder::EncodePng(shrunk);
        break;
    case Format::Gif:
        copy.file = StillEncoder::EncodeGif(shrunk);
        break;
    case Format::Webp:
        copy.file = StillEncoder::EncodeWebp(shrunk, declared.lossless, quality);
        break;
    }
    return copy;
}

} // namespace aw::imaging
