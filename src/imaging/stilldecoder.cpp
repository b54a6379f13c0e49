// SPDX-License-Identifier: MIT
#include "stilldecoder.h"

#include "colourprofile.h"
#include "gifdecoder.h"
#include "heifdecoder.h"
#include "imagingerror.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

namespace aw::imaging {

uint64_t StillDecoder::Needs(const uint8_t* bytes, std::size_t count, uint64_t fileSize,
                             const StillDecodeRequest& request) {
    if (bytes == nullptr)
        throw ImagingError("no data");
    if (PngDecoder::Recognises(bytes, count))
        return PngDecoder::Needs(bytes, count, request.minWidth, request.minHeight);
    if (GifDecoder::Recognises(bytes, count))
        return GifDecoder::Needs(bytes, count);
    if (WebpDecoder::Recognises(bytes, count))
        return WebpDecoder::Needs(bytes, count);
    if (HeifDecoder::Recognises(bytes, count))
        return HeifDecoder::Needs(bytes, count, fileSize, request.minWidth, request.minHeight);
    throw ImagingError("not a PNG, GIF, WebP or HEIF picture");
}

DecodedStill StillDecoder::Decode(const uint8_t* bytes, std::size_t count,
                                  const StillDecodeRequest& request) {
    if (bytes == nullptr)
        throw ImagingError("no data");
    StillRows still;
    if (PngDecoder::Recognises(bytes, count)) {
        still = PngDecoder::Decode(bytes, count, request.minWidth, request.minHeight);
    } else if (GifDecoder::Recognises(bytes, count)) {
        still.rows = GifDecoder::Decode(bytes, count);
    } else if (WebpDecoder::Recognises(bytes, count)) {
        still.rows = WebpDecoder::Decode(bytes, count);
    } else if (HeifDecoder::Recognises(bytes, count)) {
        still = HeifDecoder::Decode(bytes, count, request.minWidth, request.minHeight);
    } else {
        throw ImagingError("not a PNG, GIF, WebP or HEIF picture");
    }
    ColourProfile::ConvertToSrgb(still.rows);
    DecodedStill decoded{still.rows.ToBgrOnWhite(), still.fullWidth, still.fullHeight};
    if (decoded.fullWidth <= 0 || decoded.fullHeight <= 0) {
        decoded.fullWidth = decoded.image.width;
        decoded.fullHeight = decoded.image.height;
    }
    return decoded;
}

} // namespace aw::imaging
