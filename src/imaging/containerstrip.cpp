// SPDX-License-Identifier: MIT
#include "containerstrip.h"

#include <cstring>
#include <string>
#include <string_view>

#include "gifdecoder.h"
#include "imagingerror.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

namespace aw::imaging {
namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void PutLittleEndian32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <std::size_t N> bool OneOf(std::string_view type, const std::string_view (&kept)[N]) {
    for (const std::string_view each : kept)
        if (type == each)
            return true;
    return false;
}

void Append(std::vector<uint8_t>& out, const uint8_t* from, std::size_t count) {
    out.insert(out.end(), from, from + count);
}

// PNG chunks that decide what is shown: the picture, its palette and transparency, its colour space, and
// an animation's frames.
constexpr std::string_view kPngKept[] = {"IHDR", "PLTE", "IDAT", "IEND", "tRNS", "gAMA", "cHRM",
                                         "sRGB", "iCCP", "sBIT", "cICP", "acTL", "fcTL", "fdAT"};
// WebP chunks likewise: the bitstreams, alpha, animation, colour profile and the header that announces
// them.
constexpr std::string_view kWebpKept[] = {"VP8 ", "VP8L", "VP8X", "ALPH", "ANIM", "ANMF", "ICCP"};
constexpr uint8_t kWebpExifFlag = 0x08;
constexpr uint8_t kWebpXmpFlag = 0x04;

// GIF's sub-blocks after `at`: sizes then data, ending with a zero size. The position after the end.
std::size_t SkipSubBlocks(const uint8_t* bytes, std::size_t count, std::size_t at) {
    for (;;) {
        if (at >= count)
            throw ImagingError("GIF block runs past the end of the data");
        const std::size_t size = bytes[at];
        ++at;
        if (size == 0)
            return at;
        if (size > count - at)
            throw ImagingError("GIF block runs past the end of the data");
        at += size;
    }
}

// The size of a GIF colour table announced by a packed byte, 0 when there is none.
std::size_t ColourTableSize(uint8_t packed) {
    return (packed & 0x80) != 0 ? 3 * (std::size_t{2} << (packed & 0x07)) : 0;
}

} // namespace

std::vector<uint8_t> ContainerStrip::Strip(const uint8_t* bytes, std::size_t count) {
    if (bytes == nullptr)
        throw ImagingError("no data");
    if (PngDecoder::Recognises(bytes, count))
        return StripPng(bytes, count);
    if (GifDecoder::Recognises(bytes, count))
        return StripGif(bytes, count);
    if (WebpDecoder::Recognises(bytes, count))
        return StripWebp(bytes, count);
    throw ImagingError("not a PNG, GIF or WebP container");
}

std::vector<uint8_t> ContainerStrip::StripPng(const uint8_t* bytes, std::size_t count) {
    constexpr std::size_t kSignature = 8;
    std::vector<uint8_t> out(bytes, bytes + kSignature);
    std::size_t at = kSignature;
    bool first = true;
    for (;;) {
        if (count - at < 12)
            throw ImagingError("PNG ends before its end chunk");
        const std::size_t length = BigEndian32(bytes + at);
        const std::string_view type(reinterpret_cast<const char*>(bytes + at + 4), 4);
        if (length > count - at - 12)
            throw ImagingError("PNG chunk runs past the end of the data");
        if (first && type != "IHDR")
            throw ImagingError("PNG does not begin with its header chunk");
        first = false;
        const std::size_t whole = length + 12; // length, type, data, CRC
        if (OneOf(type, kPngKept))
            Append(out, bytes + at, whole);
        at += whole;
        if (type == "IEND")
            return out; // whatever follows the end is no part of the picture
    }
}

std::vector<uint8_t> ContainerStrip::StripGif(const uint8_t* bytes, std::size_t count) {
    constexpr std::size_t kScreen = 13; // signature and logical screen descriptor
    if (count < kScreen)
        throw ImagingError("GIF ends inside its header");
    std::size_t at = kScreen + ColourTableSize(bytes[10]);
    if (at > count)
        throw ImagingError("GIF colour table runs past the end of the data");
    std::vector<uint8_t> out(bytes, bytes + at);
    for (;;) {
        // Browsers show a GIF that lacks only its trailer; the copy gets one.
        if (at == count) {
            out.push_back(0x3B);
            return out;
        }
        const std::size_t start = at;
        switch (bytes[at]) {
        case 0x3B: // trailer
            out.push_back(0x3B);
            return out;
        case 0x2C: { // a frame: descriptor, its colour table, the code size, the coded data
            if (count - at < 11)
                throw ImagingError("GIF frame runs past the end of the data");
            const std::size_t table = ColourTableSize(bytes[at + 9]);
            if (table > count - at - 11)
                throw ImagingError("GIF colour table runs past the end of the data");
            at = SkipSubBlocks(bytes, count, at + 11 + table);
            Append(out, bytes + start, at - start);
            break;
        }
        case 0x21: { // an extension: its label, then sub-blocks
            if (count - at < 2)
                throw ImagingError("GIF extension runs past the end of the data");
            const uint8_t label = bytes[at + 1];
            at = SkipSubBlocks(bytes, count, at + 2);
            // The frame's timing and transparency, and the loop count of an animation.
            static const char kLoop[] = "NETSCAPE2.0";
            static const char kLoopToo[] = "ANIMEXTS1.0";
            const bool loop = label == 0xFF && at - start >= 14 && bytes[start + 2] == 11 &&
                              (std::memcmp(bytes + start + 3, kLoop, 11) == 0 ||
                               std::memcmp(bytes + start + 3, kLoopToo, 11) == 0);
            if (label == 0xF9 || loop)
                Append(out, bytes + start, at - start);
            break;
        }
        default:
            throw ImagingError("GIF block of unknown kind " + std::to_string(bytes[at]));
        }
    }
}

std::vector<uint8_t> ContainerStrip::StripWebp(const uint8_t* bytes, std::size_t count) {
    constexpr std::size_t kHeader = 12; // "RIFF", its size, "WEBP"
    // The container's own size bounds the chunks; bytes after it are no part of it.
    const uint64_t declared = uint64_t{LittleEndian32(bytes + 4)} + 8;
    const std::size_t end = declared < count ? static_cast<std::size_t>(declared) : count;
    std::vector<uint8_t> out(bytes, bytes + kHeader);
    std::size_t at = kHeader;
    std::size_t extendedAt = 0; // where the copy's extended header lies, 0 for none
    bool picture = false;
    while (at < end) {
        if (end - at < 8)
            throw ImagingError("WebP chunk header runs past the end of the data");
        const std::string_view type(reinterpret_cast<const char*>(bytes + at), 4);
        const uint64_t size = LittleEndian32(bytes + at + 4);
        const uint64_t whole = 8 + size + (size & 1);
        // A last chunk of odd size may lack its padding byte.
        if (8 + size > end - at)
            throw ImagingError("WebP chunk runs past the end of the data");
        const std::size_t taken = static_cast<std::size_t>(whole < end - at ? whole : end - at);
        if (OneOf(type, kWebpKept)) {
            if (type == "VP8X")
                extendedAt = out.size();
            picture = picture || type == "VP8 " || type == "VP8L" || type == "ANMF";
            Append(out, bytes + at, taken);
            if (taken < whole)
                out.push_back(0);
        }
        at += taken;
    }
    if (!picture)
        throw ImagingError("WebP without a picture");
    if (extendedAt != 0 && out.size() > extendedAt + 8)
        out[extendedAt + 8] &= static_cast<uint8_t>(~(kWebpExifFlag | kWebpXmpFlag));
    if (out.size() - 8 > UINT32_MAX)
        throw ImagingError("WebP larger than 4 GiB");
    PutLittleEndian32(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

} // namespace aw::imaging
