// SPDX-License-Identifier: MIT
#include "stilldecoder.h"

#include "colourprofile.h"
#include "gifdecoder.h"
#include "heifdecoder.h"
#include "imagingerror.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

namespace aw::imaging {

DecodedStill StillDecoder::Decode(const uint8_t* bytes, std::size_t count,
                                  const StillDecodeRequest& request) {
    if (bytes == nullptr)
        throw ImagingError("no data");
    RgbRows rows;
    int fullWidth = 0;
    int fullHeight = 0;
    if (PngDecoder::Recognises(bytes, count)) {
        rows = PngDecoder::Decode(bytes, count);
    } else if (GifDecoder::Recognises(bytes, count)) {
        rows = GifDecoder::Decode(bytes, count);
    } else if (WebpDecoder::Recognises(bytes, count)) {
        rows = WebpDecoder::Decode(bytes, count);
    } else if (HeifDecoder::Recognises(bytes, count)) {
        HeifPicture heif = HeifDecoder::Decode(bytes, count, request.minWidth, request.minHeight);
        rows = std::move(heif.rows);
        fullWidth = heif.fullWidth;
        fullHeight = heif.fullHeight;
    } else {
        throw ImagingError("not a PNG, GIF, WebP or HEIF picture");
    }
    ColourProfile::ConvertToSrgb(rows);
    DecodedStill decoded{rows.ToBgrOnWhite(), fullWidth, fullHeight};
    if (decoded.fullWidth <= 0 || decoded.fullHeight <= 0) {
        decoded.fullWidth = decoded.image.width;
        decoded.fullHeight = decoded.image.height;
    }
    return decoded;
}

} // namespace aw::imaging
