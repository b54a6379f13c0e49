// SPDX-License-Identifier: MIT
#include "metadata/blockcleaner.h"

#include <algorithm>
#include <mutex>

#include <exiv2/exiv2.hpp>

#include "metadata/exivfields.h"
#include "metadata/exivsetup.h"

namespace aw {
namespace {

// The largest payload of a JPEG APP1 segment after "Exif\0\0": exiv2 trims larger results on its own,
// dropping what it chooses, so a result beyond it is not trusted to be whole.
constexpr std::size_t kLargestExif = 65527;

} // namespace

CleanedBlock CleanExifBlock(const std::uint8_t* tiff, std::size_t size, std::vector<std::uint8_t>& result) {
    result.clear();
    if (tiff == nullptr || size == 0 || size > 0x7FFFFFFF)
        return CleanedBlock::Unreadable;
    PrepareMetadataLibrary();
    Exiv2::ExifData exif;
    Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
    try {
        order = Exiv2::ExifParser::decode(exif, tiff, static_cast<std::uint32_t>(size));
    } catch (...) {
        return CleanedBlock::Unreadable;
    }
    if (exif.empty())
        return CleanedBlock::Unreadable;
    if (!ErasePrivateFields(exif))
        return CleanedBlock::Unchanged;
    if (exif.empty())
        return CleanedBlock::Emptied;
    try {
        // Tried in place first; exiv2 changes the copy when it can and gives a new structure otherwise.
        std::vector<std::uint8_t> copy(tiff, tiff + size);
        Exiv2::Blob blob;
        const Exiv2::WriteMethod method = Exiv2::ExifParser::encode(
            blob, copy.data(), static_cast<std::uint32_t>(copy.size()), order, exif);
        result = method == Exiv2::wmNonIntrusive ? std::move(copy)
                                                 : std::vector<std::uint8_t>(blob.begin(), blob.end());
    } catch (...) {
        result.clear();
    }
    if (result.empty() || result.size() > std::max(size, kLargestExif)) {
        result.clear();
        return CleanedBlock::Failed;
    }
    return CleanedBlock::Rewritten;
}

CleanedBlock CleanXmpBlock(std::string_view packet, bool dropExtensionNote, std::string& result) {
    result.clear();
    if (packet.empty())
        return CleanedBlock::Unreadable;
    PrepareMetadataLibrary();
    const std::lock_guard<std::mutex> lock(XmpToolkitMutex());
    Exiv2::XmpData xmp;
    try {
        if (Exiv2::XmpParser::decode(xmp, std::string(packet)) != 0)
            return CleanedBlock::Unreadable;
    } catch (...) {
        return CleanedBlock::Unreadable;
    }
    bool erased = ErasePrivateFields(xmp);
    if (dropExtensionNote) {
        const auto note = xmp.findKey(Exiv2::XmpKey("Xmp.xmpNote.HasExtendedXMP"));
        if (note != xmp.end()) {
            xmp.erase(note);
            erased = true;
        }
    }
    if (!erased)
        return CleanedBlock::Unchanged;
    if (xmp.empty())
        return CleanedBlock::Emptied;
    try {
        // Compact, with the smallest padding: nothing edits the album's copy in place later.
        if (Exiv2::XmpParser::encode(result, xmp, Exiv2::XmpParser::useCompactFormat, 1) == 0 &&
            !result.empty())
            return CleanedBlock::Rewritten;
    } catch (...) {
    }
    result.clear();
    return CleanedBlock::Failed;
}

} // namespace aw
