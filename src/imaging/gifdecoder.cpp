// SPDX-License-Identifier: MIT
#include "gifdecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "imagingerror.h"

namespace aw::imaging {
namespace {

struct Source {
    const uint8_t* bytes;
    std::size_t count;
    std::size_t position = 0;
};

int ReadSource(GifFileType* gif, GifByteType* out, int wanted) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t left = source->count - source->position;
    const std::size_t take = std::min(left, static_cast<std::size_t>(wanted > 0 ? wanted : 0));
    std::memcpy(out, source->bytes + source->position, take);
    source->position += take;
    return static_cast<int>(take);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The library has no text for some codes it sets (a frame cut inside its descriptor leaves none at all).
std::string ErrorText(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "damaged data";
}

void Check(int result, const GifFileType* gif, const char* what) {
    if (result != GIF_OK)
        throw ImagingError(std::string(what) + ": " + ErrorText(gif->Error));
}

// The transparent index of a graphic control extension; -1 when it names none.
int TransparentIndex(const GifByteType* block) {
    return block[0] >= 4 && (block[1] & 0x01) != 0 ? block[4] : -1;
}

std::unique_ptr<GifFileType, GifCloser> Open(Source& source) {
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> file(DGifOpen(&source, ReadSource, &error));
    if (!file)
        throw ImagingError("GIF header: " + ErrorText(error));
    return file;
}

} // namespace

bool GifDecoder::Recognises(const uint8_t* bytes, std::size_t count) {
    return count >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0);
}

uint64_t GifDecoder::Needs(const uint8_t* bytes, std::size_t count) {
    Source source{bytes, count};
    const std::unique_ptr<GifFileType, GifCloser> file = Open(source);
    // The screen as RGBA, and as BGR.
    return PictureNeeds(file->SWidth, file->SHeight, 4 + 3);
}

RgbRows GifDecoder::Decode(const uint8_t* bytes, std::size_t count) {
    Source source{bytes, count};
    const std::unique_ptr<GifFileType, GifCloser> file = Open(source);
    GifFileType* gif = file.get();
    CheckDimensions(gif->SWidth, gif->SHeight);

    RgbRows rows;
    rows.width = gif->SWidth;
    rows.height = gif->SHeight;
    rows.channels = 4;
    rows.stride = std::size_t{4} * static_cast<std::size_t>(rows.width);

    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        Check(DGifGetRecordType(gif, &type), gif, "GIF record");
        if (type == TERMINATE_RECORD_TYPE)
            throw ImagingError("GIF without a frame");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            Check(DGifGetExtension(gif, &code, &block), gif, "GIF extension");
            while (block != nullptr) {
                if (code == GRAPHICS_EXT_FUNC_CODE)
                    transparent = TransparentIndex(block);
                Check(DGifGetExtensionNext(gif, &block), gif, "GIF extension");
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        Check(DGifGetImageDesc(gif), gif, "GIF frame");
        const GifImageDesc& frame = gif->Image;
        const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!colours || colours->ColorCount <= 0)
            throw ImagingError("GIF frame without colours");
        CheckDimensions(frame.Width, frame.Height);
        // Sized only once a frame is there, so that a few bytes declaring a large screen cost nothing.
        // Zero-filled: the screen outside the first frame is transparent, as a browser shows it.
        auto pixels =
            std::shared_ptr<uint8_t>(AllocateZeroed(rows.stride * rows.height).release(), FreeDeleter());
        rows.data = pixels.get();
        rows.owner = std::move(pixels);
        std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
        // Interlaced frames deliver every 8th row from 0, every 8th from 4, every 4th from 2, then the odd
        // ones.
        static const int kStart[] = {0, 4, 2, 1};
        static const int kStep[] = {8, 8, 4, 2};
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int step = frame.Interlace ? kStep[pass] : 1;
            for (int y = frame.Interlace ? kStart[pass] : 0; y < frame.Height; y += step) {
                Check(DGifGetLine(gif, line.data(), frame.Width), gif, "GIF pixels");
                const long long screenY = static_cast<long long>(frame.Top) + y;
                if (screenY < 0 || screenY >= rows.height)
                    continue;
                uint8_t* out = rows.Row(static_cast<int>(screenY));
                for (int x = 0; x < frame.Width; ++x) {
                    const long long screenX = static_cast<long long>(frame.Left) + x;
                    const int index = line[static_cast<std::size_t>(x)];
                    if (screenX < 0 || screenX >= rows.width || index == transparent ||
                        index >= colours->ColorCount)
                        continue;
                    const GifColorType& colour = colours->Colors[index];
                    uint8_t* pixel = out + 4 * screenX;
                    pixel[0] = colour.Red;
                    pixel[1] = colour.Green;
                    pixel[2] = colour.Blue;
                    pixel[3] = 255;
                }
            }
        }
        return rows;
    }
}

} // namespace aw::imaging
