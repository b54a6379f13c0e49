// SPDX-License-Identifier: MIT
#include "metadata/webpblocks.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "metadata/filewindow.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr std::string_view kExifHeader("Exif\0\0", 6);

} // namespace

bool VisitWebpBlocks(FileWindow& file, bool& extended, const std::function<void(WebpBlock&&)>& visit) {
    extended = false;
    const std::uint8_t* header = file.At(0, 12);
    if (header == nullptr || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WEBP", 4) != 0)
        return false;
    // The container may claim less than the file holds (bytes appended after it are no chunks of it).
    const std::uint64_t end = std::min<std::uint64_t>(file.size(), 8 + std::uint64_t{ReadLe32(header + 4)});
    std::uint64_t at = 12;
    while (at + 8 <= end) {
        const std::uint8_t* chunk = file.At(at, 8);
        if (chunk == nullptr)
            return false;
        char type[4];
        std::memcpy(type, chunk, 4);
        const std::uint32_t size = ReadLe32(chunk + 4);
        const std::uint64_t length = 8 + std::uint64_t{size} + (size & 1);
        if (end - at < 8 + std::uint64_t{size})
            return false;
        if (at == 12 && std::memcmp(type, "VP8X", 4) == 0)
            extended = true;
        const bool exif = std::memcmp(type, "EXIF", 4) == 0;
        const bool xmp = std::memcmp(type, "XMP ", 4) == 0;
        WebpBlock block{xmp, at, std::min(length, end - at), false, {}};
        if ((exif || xmp) && size <= kWebpBlockLimit && file.Read(at + 8, size, block.data)) {
            const std::string_view text(reinterpret_cast<const char*>(block.data.data()), block.data.size());
            if (exif && text.substr(0, kExifHeader.size()) == kExifHeader) {
                block.exifPrefix = true;
                block.data.erase(block.data.begin(), block.data.begin() + kExifHeader.size());
            }
            visit(std::move(block));
        }
        at += length;
    }
    return true;
}

void CutWebpBlocks(FileWindow& file, MetadataBlocks& blocks) {
    bool extended = false;
    VisitWebpBlocks(file, extended, [&](WebpBlock&& block) {
        if (block.xmp)
            blocks.xmp.emplace_back(block.data.begin(), block.data.end());
        else
            blocks.exif.push_back(std::move(block.data));
    });
}

std::vector<std::uint8_t> MakeWebpChunk(const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> chunk(type, type + 4);
    AppendLe32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), data.begin(), data.end());
    if (data.size() % 2 != 0)
        chunk.push_back(0);
    return chunk;
}

} // namespace aw
