#include "jpegdecoder.h"

#include <climits>
#include <string>

extern "C" {
#include <turbojpeg.h>
}

#include "imagingerror.h"
#include "turbojpeghandle.h"

namespace aw::imaging {
namespace {

// Limits the work a hostile progressive file can cause (thousands of scans) and keeps the accurate DCT.
constexpr int kDecodeFlags = TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;

// Adobe's writers store CMYK inverted (0 = full ink) and say so with an APP14 "Adobe" segment; the
// codec does not undo that. Walks the segments before the first scan.
bool HasAdobeSegment(const uint8_t* bytes, std::size_t count) {
    std::size_t pos = 2; // after SOI
    while (pos + 4 <= count) {
        if (bytes[pos] != 0xFF)
            return false;
        const uint8_t marker = bytes[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return false;
        const std::size_t length = static_cast<std::size_t>(bytes[pos + 2]) << 8 | bytes[pos + 3];
        if (length < 2)
            return false;
        if (marker == 0xEE && length >= 12 && pos + 4 + 5 <= count &&
            std::string(reinterpret_cast<const char*>(bytes + pos + 4), 5) == "Adobe")
            return true;
        pos += 2 + length;
    }
    return false;
}

void CmykToBgr(const uint8_t* cmyk, int width, int height, bool inverted, BgrImage& image) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = cmyk + static_cast<std::size_t>(y) * width * 4;
        uint8_t* out = image.RowFromTop(y);
        for (int x = 0; x < width; ++x, in += 4) {
            unsigned c = in[0], m = in[1], ye = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                ye = 255 - ye;
                k = 255 - k;
            }
            // Now every value is the light left over (255 = no ink).
            out[3 * x] = static_cast<uint8_t>((ye * k + 127) / 255);
            out[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
            out[3 * x + 2] = static_cast<uint8_t>((c * k + 127) / 255);
        }
    }
}

// Warnings still give a picture and are tolerated (camera files often carry a few stray bytes), except
// when the data ended early: the lower part of the picture would be made-up grey.
void CheckDecompress(int result, const TurboJpegHandle& handle) {
    if (result == 0)
        return;
    const std::string text = TurboJpegErrorText(handle);
    if (!TurboJpegLastWasWarning(handle) || text.find("Premature end") != std::string::npos)
        throw ImagingError("JPEG decoding failed: " + text);
}

} // namespace

void JpegDecoder::ChooseScale(int width, int height, const JpegDecodeRequest& request, int& num, int& denom) {
    num = 1;
    denom = 1;
    if (request.minWidth <= 0 || request.minHeight <= 0)
        return;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    for (int i = 0; factors && i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom || static_cast<long long>(f.num) * denom >= static_cast<long long>(num) * f.denom)
            continue; // enlarging, or not smaller than the best so far
        if (TJSCALED(width, f) >= request.minWidth && TJSCALED(height, f) >= request.minHeight) {
            num = f.num;
            denom = f.denom;
        }
    }
}

DecodedJpeg JpegDecoder::Decode(const uint8_t* bytes, std::size_t count, const JpegDecodeRequest& request) {
    if (!bytes || count < 4 || count > ULONG_MAX)
        throw ImagingError("no JPEG data");
    const TurboJpegHandle handle = MakeTurboJpegHandle(TurboJpegRole::Decompress);
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(handle.get(), bytes, static_cast<unsigned long>(count), &width, &height,
                            &subsampling, &colourSpace) != 0)
        throw ImagingError("not a JPEG: " + TurboJpegErrorText(handle));
    CheckDimensions(width, height);

    int num = 1, denom = 1;
    ChooseScale(width, height, request, num, denom);
    const tjscalingfactor factor{num, denom};
    DecodedJpeg decoded;
    decoded.fullWidth = width;
    decoded.fullHeight = height;
    const int scaledWidth = TJSCALED(width, factor);
    const int scaledHeight = TJSCALED(height, factor);
    decoded.image = BgrImage::Make(scaledWidth, scaledHeight);

    if (colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK) {
        const std::size_t pitch = static_cast<std::size_t>(scaledWidth) * 4;
        const MallocBuffer cmyk = AllocateZeroed(pitch * static_cast<std::size_t>(scaledHeight));
        CheckDecompress(tjDecompress2(handle.get(), bytes, static_cast<unsigned long>(count), cmyk.get(),
                                      scaledWidth, static_cast<int>(pitch), scaledHeight, TJPF_CMYK,
                                      kDecodeFlags),
                        handle);
        CmykToBgr(cmyk.get(), scaledWidth, scaledHeight, HasAdobeSegment(bytes, count), decoded.image);
    } else {
        CheckDecompress(tjDecompress2(handle.get(), bytes, static_cast<unsigned long>(count),
                                      decoded.image.pixels.get(), scaledWidth,
                                      static_cast<int>(decoded.image.RowSize()), scaledHeight, TJPF_BGR,
                                      kDecodeFlags | TJFLAG_BOTTOMUP),
                        handle);
    }
    return decoded;
}

} // namespace aw::imaging
