// SPDX-License-Identifier: MIT
#include "metadata/pngblocks.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include <zlib.h>

#include "metadata/filewindow.h"
#include "platform/byteorder.h"

namespace aw {
namespace {

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::string_view kXmpKeyword = "XML:com.adobe.xmp";
constexpr std::string_view kRawProfile = "Raw profile type ";
constexpr std::string_view kExifHeader("Exif\0\0", 6);

// zlib data inflated to at most kPngBlockLimit bytes; false when damaged or larger.
bool Inflate(const std::uint8_t* in, std::size_t size, std::vector<std::uint8_t>& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    out.resize(64 * 1024);
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out == out.size()) {
            if (out.size() >= kPngBlockLimit)
                break;
            out.resize(std::min(out.size() * 2, kPngBlockLimit));
        }
        stream.next_out = out.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
        status = inflate(&stream, Z_NO_FLUSH);
    }
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

// The bytes of ImageMagick's raw profile text: "\n<name>\n<length>\n" then hexadecimal digits in lines.
bool DecodeRawProfile(std::string_view text, std::vector<std::uint8_t>& out) {
    std::size_t at = text.find('\n', text.find_first_not_of('\n'));
    if (at == std::string_view::npos)
        return false;
    std::size_t length = 0;
    for (++at; at < text.size() && (text[at] == ' ' || (text[at] >= '0' && text[at] <= '9')); ++at)
        if (text[at] != ' ' &&
            (length = length * 10 + static_cast<std::size_t>(text[at] - '0')) > kPngBlockLimit)
            return false;
    out.clear();
    out.reserve(length);
    int high = -1;
    for (; at < text.size() && out.size() < length; ++at) {
        const char c = text[at];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    return out.size() == length;
}

// Fills `block` from a text chunk's data; false when it is no metadata we read.
bool ReadTextChunk(const char* type, const std::vector<std::uint8_t>& data, PngBlock& block) {
    const auto* text = reinterpret_cast<const char*>(data.data());
    const std::size_t keywordEnd = std::string_view(text, data.size()).find('\0');
    if (keywordEnd == std::string_view::npos)
        return false;
    const std::string_view keyword(text, keywordEnd);
    if (keyword == "Artist") {
        block.kind = PngBlockKind::Artist;
        return true;
    }
    std::size_t at = keywordEnd + 1;
    bool compressed = false;
    if (std::memcmp(type, "iTXt", 4) == 0) {
        // Compression flag and method, then the language tag and the translated keyword.
        if (at + 2 > data.size())
            return false;
        compressed = data[at] != 0;
        at += 2;
        for (int field = 0; field < 2; ++field) {
            const std::size_t end = std::string_view(text + at, data.size() - at).find('\0');
            if (end == std::string_view::npos)
                return false;
            at += end + 1;
        }
    } else if (std::memcmp(type, "zTXt", 4) == 0) {
        compressed = true;
        ++at; // compression method
    }
    if (at > data.size())
        return false;
    std::vector<std::uint8_t> content;
    if (compressed) {
        if (!Inflate(data.data() + at, data.size() - at, content))
            return false;
    } else {
        content.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
    }
    if (keyword == kXmpKeyword && std::memcmp(type, "iTXt", 4) == 0) {
        block.kind = PngBlockKind::Xmp;
        block.data = std::move(content);
        return true;
    }
    if (keyword.substr(0, kRawProfile.size()) != kRawProfile)
        return false;
    const std::string_view name = keyword.substr(kRawProfile.size());
    if (name != "exif" && name != "APP1" && name != "xmp")
        return false;
    if (!DecodeRawProfile({reinterpret_cast<const char*>(content.data()), content.size()}, block.data))
        return false;
    block.kind = name == "xmp" ? PngBlockKind::RawXmp : PngBlockKind::RawExif;
    if (block.kind == PngBlockKind::RawExif) {
        const auto* start = reinterpret_cast<const char*>(block.data.data());
        if (std::string_view(start, block.data.size()).substr(0, kExifHeader.size()) == kExifHeader)
            block.data.erase(block.data.begin(), block.data.begin() + kExifHeader.size());
    }
    return true;
}

} // namespace

bool VisitPngBlocks(FileWindow& file, const std::function<void(PngBlock&&)>& visit) {
    const std::uint8_t* signature = file.At(0, sizeof kSignature);
    if (signature == nullptr || std::memcmp(signature, kSignature, sizeof kSignature) != 0)
        return false;
    std::uint64_t at = sizeof kSignature;
    for (;;) {
        const std::uint8_t* header = file.At(at, 8);
        if (header == nullptr)
            return false;
        const std::uint32_t length = ReadBe32(header);
        char type[4];
        std::memcpy(type, header + 4, 4);
        if (length > 0x7FFFFFFF || file.size() - at < 12 + std::uint64_t{length})
            return false;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        const bool exif = std::memcmp(type, "eXIf", 4) == 0;
        const bool text = std::memcmp(type, "iTXt", 4) == 0 || std::memcmp(type, "zTXt", 4) == 0 ||
                          std::memcmp(type, "tEXt", 4) == 0;
        std::vector<std::uint8_t> data;
        if ((exif || text) && length <= kPngBlockLimit && file.Read(at + 8, length, data)) {
            PngBlock block{PngBlockKind::Exif, at, 12 + std::uint64_t{length}, false, {}};
            if (exif) {
                block.exifPrefix = std::string_view(reinterpret_cast<const char*>(data.data()), data.size())
                                       .substr(0, kExifHeader.size()) == kExifHeader;
                block.data.assign(data.begin() + (block.exifPrefix ? kExifHeader.size() : 0), data.end());
                visit(std::move(block));
            } else if (ReadTextChunk(type, data, block)) {
                visit(std::move(block));
            }
        }
        at += 12 + std::uint64_t{length};
    }
}

void CutPngBlocks(FileWindow& file, MetadataBlocks& blocks) {
    VisitPngBlocks(file, [&](PngBlock&& block) {
        if (block.kind == PngBlockKind::Artist)
            blocks.containerFields.owner = true;
        else if (block.kind == PngBlockKind::Exif || block.kind == PngBlockKind::RawExif)
            blocks.exif.push_back(std::move(block.data));
        else
            blocks.xmp.emplace_back(block.data.begin(), block.data.end());
    });
}

std::vector<std::uint8_t> MakePngChunk(const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> chunk;
    chunk.reserve(data.size() + 12);
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.push_back(static_cast<std::uint8_t>(length >> shift));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), chunk.data() + 4, static_cast<uInt>(data.size() + 4));
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.push_back(static_cast<std::uint8_t>(crc >> shift));
    return chunk;
}

} // namespace aw
