// SPDX-License-Identifier: MIT
#include "heifdecoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <libheif/heif.h>

#include "imagingabi.h"
#include "imagingerror.h"

namespace aw::imaging {
namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;

void Check(const heif_error& error, const char* what) {
    if (error.code == heif_error_Ok)
        return;
    // The limit set from the declared size refused what the data holds (a grid of far more tiles).
    const Failure failure = error.subcode == heif_suberror_Security_limit_exceeded
                                ? Failure::LargerThanDeclared
                                : Failure::Damaged;
    throw ImagingError(std::string(what) + ": " + (error.message ? error.message : "failed"), failure);
}

// The smallest stored thumbnail at least minWidth x minHeight, at most the picture's size and of its shape
// (within 1 %), judged by the sizes they declare; null when there is none. A thumbnail larger than its
// picture is no thumbnail: it would only cost more than the picture.
Handle PickThumbnail(heif_image_handle* primary, int minWidth, int minHeight) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || minWidth <= 0 || minHeight <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    const long long width = heif_image_handle_get_width(primary);
    const long long height = heif_image_handle_get_height(primary);
    Handle best;
    for (const heif_item_id id : ids) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &raw).code != heif_error_Ok)
            continue;
        Handle thumbnail(raw);
        const long long w = heif_image_handle_get_width(raw);
        const long long h = heif_image_handle_get_height(raw);
        const long long across = w * height, down = h * width;
        if (w < minWidth || h < minHeight || w > width || h > height ||
            std::llabs(across - down) * 100 > across)
            continue;
        if (!best || w < heif_image_handle_get_width(best.get()))
            best = std::move(thumbnail);
    }
    return best;
}

std::vector<uint8_t> ProfileOf(const heif_image_handle* handle) {
    std::vector<uint8_t> icc;
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return icc;
    icc.resize(heif_image_handle_get_raw_color_profile_size(handle));
    if (icc.empty() || heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        icc.clear();
    return icc;
}

// Decodes `handle` at no more than the size it declares: libheif learns a grid's size only from the grid
// itself, but checks it, and each coded picture, against the context's limit (per side, turned or not)
// before it sizes anything for them. A coded picture is its shown size rounded up to whole coding blocks
// (at most 128 pixels more), hence the margin; a grid of far more tiles than declared stays refused.
constexpr int kCodingMargin = 256;
// The coded planes (more with ten bits or full chroma), the RGB(A) libheif makes of them and the BGR handed
// on: measured at 8.2 bytes a pixel for eight bits and 4:2:0.
constexpr uint64_t kBytesPerPixel = 12;

// The first bytes of a file of a known size, for reading its boxes: the coded data past them is never read.
struct Head {
    const uint8_t* bytes;
    std::size_t count;
    uint64_t fileSize;
    uint64_t position = 0;
};

int64_t HeadPosition(void* head) {
    return static_cast<int64_t>(static_cast<Head*>(head)->position);
}

// Past the head reads as zeros: libheif reads some item data (metadata) with its boxes, and takes a failed
// read for a broken promise of its own (an assertion), not for bad data.
int HeadRead(void* data, size_t size, void* userdata) {
    Head& head = *static_cast<Head*>(userdata);
    if (head.position > head.fileSize || size > head.fileSize - head.position)
        return 1;
    const std::size_t present =
        head.position >= head.count
            ? 0
            : static_cast<std::size_t>(std::min<uint64_t>(size, head.count - head.position));
    std::memcpy(data, head.bytes + head.position, present);
    std::memset(static_cast<uint8_t*>(data) + present, 0, size - present);
    head.position += size;
    return 0;
}

int HeadSeek(int64_t position, void* userdata) {
    Head& head = *static_cast<Head*>(userdata);
    if (position < 0 || static_cast<uint64_t>(position) > head.fileSize)
        return 1;
    head.position = static_cast<uint64_t>(position);
    return 0;
}

heif_reader_grow_status HeadGrow(int64_t size, void* userdata) {
    return size >= 0 && static_cast<uint64_t>(size) <= static_cast<Head*>(userdata)->fileSize
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

heif_image* DecodeAsDeclared(heif_context* context, const heif_image_handle* handle,
                             const heif_decoding_options* options, heif_error& error) {
    const int declared = std::max(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    heif_context_set_maximum_image_size_limit(context, declared + kCodingMargin);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    heif_image* decoded = nullptr;
    error = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options);
    return error.code == heif_error_Ok ? decoded : nullptr;
}

} // namespace

uint64_t HeifDecoder::Needs(const uint8_t* bytes, std::size_t count, uint64_t fileSize, int, int) {
    const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context)
        throw ImagingError("out of memory for a HEIF decoder", Failure::TooLarge);
    heif_context_set_maximum_image_size_limit(context.get(), AW_MAX_DIMENSION);
    static const heif_reader kReader{1, HeadPosition, HeadRead, HeadSeek, HeadGrow};
    Head head{bytes, count, std::max<uint64_t>(fileSize, count)};
    Check(heif_context_read_from_reader(context.get(), &kReader, &head, nullptr), "HEIF data");
    heif_image_handle* raw = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &raw), "HEIF primary picture");
    const Handle primary(raw);
    // A thumbnail that fails to decode gives way to the picture, so the picture is what may be held.
    return PictureNeeds(heif_image_handle_get_width(primary.get()),
                        heif_image_handle_get_height(primary.get()), kBytesPerPixel);
}

bool HeifDecoder::Recognises(const uint8_t* bytes, std::size_t count) {
    // An ISO media file begins with its file-type box; which brands libheif reads is its to judge.
    return count >= 12 && std::memcmp(bytes + 4, "ftyp", 4) == 0;
}

StillRows HeifDecoder::Decode(const uint8_t* bytes, std::size_t count, int minWidth, int minHeight) {
    const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context)
        throw ImagingError("out of memory for a HEIF decoder", Failure::TooLarge);
    heif_context_set_maximum_image_size_limit(context.get(), AW_MAX_DIMENSION);
    Check(heif_context_read_from_memory_without_copy(context.get(), bytes, count, nullptr), "HEIF data");
    heif_image_handle* raw = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &raw), "HEIF primary picture");
    const Handle primary(raw);
    StillRows picture;
    picture.fullWidth = heif_image_handle_get_width(primary.get());
    picture.fullHeight = heif_image_handle_get_height(primary.get());
    CheckDimensions(picture.fullWidth, picture.fullHeight);

    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (!options)
        throw ImagingError("out of memory for HEIF options", Failure::TooLarge);
    options->ignore_transformations = 0; // the file's rotation and mirroring apply
    Handle thumbnail = PickThumbnail(primary.get(), minWidth, minHeight);
    heif_error error{};
    heif_image* decoded =
        thumbnail ? DecodeAsDeclared(context.get(), thumbnail.get(), options.get(), error) : nullptr;
    // A thumbnail that does not decode as it declares leaves the picture itself to be decoded.
    if (!decoded) {
        thumbnail.reset();
        decoded = DecodeAsDeclared(context.get(), primary.get(), options.get(), error);
        Check(error, "HEIF pixels");
    }
    const heif_image_handle* chosen = thumbnail ? thumbnail.get() : primary.get();
    const bool alpha = heif_image_handle_has_alpha_channel(chosen) != 0;
    const std::shared_ptr<heif_image> image(decoded, ImageDeleter());
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    const int channels = alpha ? 4 : 3;
    if (plane == nullptr || width <= 0 || height <= 0 || stride < width * channels)
        throw ImagingError("HEIF pixels missing");
    CheckDimensions(width, height);

    picture.rows.data = plane;
    picture.rows.width = width;
    picture.rows.height = height;
    picture.rows.stride = static_cast<std::size_t>(stride);
    picture.rows.channels = channels;
    picture.rows.icc = ProfileOf(primary.get());
    picture.rows.owner = image;
    // Whether a handle states its size before or after the file's turn, the decoded picture shows the turn.
    const int storedWidth = heif_image_handle_get_width(chosen);
    const int storedHeight = heif_image_handle_get_height(chosen);
    if (storedWidth != storedHeight && (width > height) != (storedWidth > storedHeight))
        std::swap(picture.fullWidth, picture.fullHeight);
    return picture;
}

} // namespace aw::imaging
