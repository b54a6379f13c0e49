// SPDX-License-Identifier: MIT
#include "metadata/blockdecoder.h"

#include <mutex>

#include <exiv2/exiv2.hpp>

#include "metadata/exivfields.h"
#include "metadata/exivsetup.h"

namespace aw {
namespace {

constexpr std::size_t kLargestBlock = 0x7FFFFFFF; // exiv2 measures in longs

std::string TextOf(const Exiv2::ExifData& exif, const char* key) {
    try {
        const auto it = exif.findKey(Exiv2::ExifKey(key));
        return it == exif.end() ? std::string() : it->toString();
    } catch (...) {
        return {};
    }
}

std::optional<TakenTime> XmpTime(const Exiv2::XmpData& xmp) {
    for (const char* key : {"Xmp.exif.DateTimeOriginal", "Xmp.photoshop.DateCreated", "Xmp.xmp.CreateDate"}) {
        const auto it = xmp.findKey(Exiv2::XmpKey(key));
        if (it == xmp.end())
            continue;
        if (std::optional<TakenTime> time = ParseXmpTime(it->toString()))
            return time;
    }
    return std::nullopt;
}

std::string Description(const Exiv2::XmpData& xmp) {
    const auto it = xmp.findKey(Exiv2::XmpKey("Xmp.dc.description"));
    if (it == xmp.end())
        return {};
    if (const auto* alternatives = dynamic_cast<const Exiv2::LangAltValue*>(&it->value())) {
        const auto& values = alternatives->value_;
        const auto fallback = values.find("x-default");
        if (fallback != values.end())
            return fallback->second;
        return values.empty() ? std::string() : values.begin()->second;
    }
    return it->toString();
}

} // namespace

void DecodeExifBlock(const std::uint8_t* tiff, std::size_t size, DecodedBlocks& into) {
    if (tiff == nullptr || size == 0 || size > kLargestBlock)
        return;
    PrepareMetadataLibrary();
    try {
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, tiff, static_cast<std::uint32_t>(size));
        into.fields |= FindPrivateFields(exif);
        if (into.exifDescription.empty())
            into.exifDescription = TextOf(exif, "Exif.Image.ImageDescription");
        if (into.make.empty())
            into.make = TextOf(exif, "Exif.Image.Make");
        if (into.model.empty())
            into.model = TextOf(exif, "Exif.Image.Model");
        if (!into.exifTaken)
            into.exifTaken = ParseExifTime(TextOf(exif, "Exif.Photo.DateTimeOriginal"),
                                           TextOf(exif, "Exif.Photo.OffsetTimeOriginal"),
                                           TextOf(exif, "Exif.Photo.SubSecTimeOriginal"));
    } catch (...) {
        // A damaged block tells nothing; what was read before the damage is not trusted either.
    }
}

void DecodeXmpBlock(std::string_view packet, DecodedBlocks& into) {
    if (packet.empty() || packet.size() > kLargestBlock)
        return;
    PrepareMetadataLibrary();
    // Keys are looked up in exiv2's namespace table, which another thread's decode may be adding to.
    const std::lock_guard<std::mutex> lock(XmpToolkitMutex());
    try {
        Exiv2::XmpData xmp;
        if (Exiv2::XmpParser::decode(xmp, std::string(packet)) != 0)
            return;
        into.fields |= FindPrivateFields(xmp);
        if (into.xmpDescription.empty())
            into.xmpDescription = Description(xmp);
        if (!into.xmpTaken)
            into.xmpTaken = XmpTime(xmp);
    } catch (...) {
    }
}

void DecodePhotoshopBlock(const std::uint8_t* resources, std::size_t size, DecodedBlocks& into) {
    if (resources == nullptr || size == 0 || size > kLargestBlock)
        return;
    PrepareMetadataLibrary();
    try {
        const Exiv2::byte* record = nullptr;
        std::uint32_t headerSize = 0;
        std::uint32_t dataSize = 0;
        if (Exiv2::Photoshop::locateIptcIrb(resources, static_cast<long>(size), &record, &headerSize,
                                            &dataSize) != 0 ||
            record == nullptr)
            return;
        // The located block must lie inside the bytes given, whatever its header claims.
        const std::size_t start = static_cast<std::size_t>(record - resources) + headerSize;
        if (start > size || size - start < dataSize)
            return;
        Exiv2::IptcData iptc;
        if (Exiv2::IptcParser::decode(iptc, resources + start, dataSize) != 0)
            return;
        const auto it = iptc.findKey(Exiv2::IptcKey("Iptc.Application2.Caption"));
        if (it != iptc.end() && into.iptcCaption.empty())
            into.iptcCaption = it->toString();
    } catch (...) {
    }
}

} // namespace aw
