// SPDX-License-Identifier: MIT
#include "metadata/heifblocks.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include <libheif/heif.h>

#include "metadata/filewindow.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

// The largest picture whose structure is looked at; only its boxes are read, so this only keeps libheif
// from refusing an ordinary large photo.
constexpr int kLargestSide = 1 << 16;

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};

// libheif reads through the window: positioned reads, bounded by the file's size. It reads the media data
// boxes too (into memory, where it later finds the items), so the files it is given are bounded as well.
struct Reader {
    FileWindow& file;
    std::int64_t position = 0;
};

std::int64_t Position(void* userdata) {
    return static_cast<Reader*>(userdata)->position;
}

int Read(void* data, std::size_t size, void* userdata) {
    auto* reader = static_cast<Reader*>(userdata);
    std::vector<std::uint8_t> bytes;
    if (reader->position < 0 || !reader->file.Read(static_cast<std::uint64_t>(reader->position), size, bytes))
        return 1;
    std::memcpy(data, bytes.data(), size);
    reader->position += static_cast<std::int64_t>(size);
    return 0;
}

int Seek(std::int64_t position, void* userdata) {
    auto* reader = static_cast<Reader*>(userdata);
    if (position < 0 || static_cast<std::uint64_t>(position) > reader->file.size())
        return 1;
    reader->position = position;
    return 0;
}

heif_reader_grow_status WaitForFileSize(std::int64_t target, void* userdata) {
    const auto* reader = static_cast<Reader*>(userdata);
    return target >= 0 && static_cast<std::uint64_t>(target) <= reader->file.size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader kReader{1, Position, Read, Seek, WaitForFileSize};

// The TIFF structure of an Exif item: after a 32-bit offset to it (usually past "Exif\0\0").
void AddExif(const std::vector<std::uint8_t>& item, MetadataBlocks& blocks) {
    if (item.size() < 4)
        return;
    const std::size_t offset = ReadBe32(item.data());
    if (offset > item.size() - 4)
        return;
    const auto start = item.begin() + static_cast<std::ptrdiff_t>(4 + offset);
    if (start != item.end())
        blocks.exif.emplace_back(start, item.end());
}

std::string_view TextOrEmpty(const char* text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

} // namespace

void CutHeifBlocks(FileWindow& file, MetadataBlocks& blocks) {
    if (file.size() > kHeifFileLimit)
        return;
    const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context)
        return;
    heif_context_set_maximum_image_size_limit(context.get(), kLargestSide);
    Reader reader{file};
    if (heif_context_read_from_reader(context.get(), &kReader, &reader, nullptr).code != heif_error_Ok)
        return;
    heif_image_handle* raw = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &raw).code != heif_error_Ok)
        return;
    const std::unique_ptr<heif_image_handle, HandleDeleter> primary(raw);
    const int count = heif_image_handle_get_number_of_metadata_blocks(primary.get(), nullptr);
    if (count <= 0)
        return;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    const int listed =
        heif_image_handle_get_list_of_metadata_block_IDs(primary.get(), nullptr, ids.data(), count);
    for (int i = 0; i < listed && i < count; ++i) {
        const heif_item_id id = ids[static_cast<std::size_t>(i)];
        const std::string_view type = TextOrEmpty(heif_image_handle_get_metadata_type(primary.get(), id));
        const std::string_view content =
            TextOrEmpty(heif_image_handle_get_metadata_content_type(primary.get(), id));
        const bool exif = type == "Exif";
        const bool xmp = type == "mime" && content == "application/rdf+xml";
        const std::size_t size = heif_image_handle_get_metadata_size(primary.get(), id);
        if ((!exif && !xmp) || size == 0 || size > kHeifBlockLimit)
            continue;
        std::vector<std::uint8_t> item(size);
        if (heif_image_handle_get_metadata(primary.get(), id, item.data()).code != heif_error_Ok)
            continue;
        if (exif)
            AddExif(item, blocks);
        else
            blocks.xmp.emplace_back(item.begin(), item.end());
    }
}

} // namespace aw
