// SPDX-License-Identifier: MIT
#include "metadata/exivfields.h"

#include <cctype>
#include <string>
#include <string_view>

namespace aw {
namespace {

enum class Field { None, Location, LocationDetail, Owner, Serial, MakerNote };

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool HasText(const Exiv2::Metadatum& datum) {
    const std::string value = datum.toString();
    return value.find_first_not_of(std::string(" \t\0", 3)) != std::string::npos;
}

Field ExifField(const Exiv2::Exifdatum& datum) {
    const std::string group = datum.groupName();
    if (group == "GPSInfo") {
        const std::string tag = datum.tagName();
        return tag == "GPSLatitude" || tag == "GPSLongitude" ? Field::Location : Field::LocationDetail;
    }
    if (group == "MakerNote" || Exiv2::ExifTags::isMakerGroup(group))
        return Field::MakerNote;
    switch (datum.tag()) {
    case 0x8825: // the GPS directory's pointer
        return group == "Image" ? Field::LocationDetail : Field::None;
    case 0x927C: // MakerNote
        return Field::MakerNote;
    case 0x013B: // Artist
    case 0xA430: // CameraOwnerName
        return Field::Owner;
    case 0xA431: // BodySerialNumber
    case 0xA435: // LensSerialNumber
    case 0xC62F: // CameraSerialNumber
        return Field::Serial;
    default:
        return Field::None;
    }
}

// The last step of an XMP path without its prefix and index: "LocationCreated[1]/exif:GPSLatitude" gives
// "GPSLatitude".
std::string_view LocalName(std::string_view path) {
    if (const auto slash = path.rfind('/'); slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    if (const auto colon = path.rfind(':'); colon != std::string_view::npos)
        path.remove_prefix(colon + 1);
    if (const auto bracket = path.find('['); bracket != std::string_view::npos)
        path = path.substr(0, bracket);
    return path;
}

Field XmpField(const Exiv2::Xmpdatum& datum) {
    const std::string group = datum.groupName();
    const std::string tag = datum.tagName();
    const std::string_view local = LocalName(tag);
    // Any namespace's GPS properties (EXIF's, those inside IPTC location structures, drone makers' own).
    if (StartsWithNoCase(local, "gps"))
        return StartsWithNoCase(local, "gpslatitude") || StartsWithNoCase(local, "gpslongitude")
                   ? Field::Location
                   : Field::LocationDetail;
    if ((group == "aux" && local == "OwnerName") || (group == "exifEX" && local == "CameraOwnerName") ||
        (group == "tiff" && local == "Artist"))
        return Field::Owner;
    if ((group == "aux" && (local == "SerialNumber" || local == "LensSerialNumber")) ||
        (group == "exifEX" && (local == "BodySerialNumber" || local == "LensSerialNumber")))
        return Field::Serial;
    return Field::None;
}

void Count(Field field, bool hasValue, PrivateFields& found) {
    switch (field) {
    case Field::Location:
        found.location |= hasValue;
        break;
    case Field::Owner:
        found.owner |= hasValue;
        break;
    case Field::Serial:
        found.serial |= hasValue;
        break;
    case Field::MakerNote:
        found.serial = true;
        break;
    default:
        break;
    }
}

template <typename Data, typename Classify> bool EraseWhere(Data& data, Classify classify) {
    bool erased = false;
    for (auto it = data.begin(); it != data.end();) {
        if (classify(*it) != Field::None) {
            it = data.erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    return erased;
}

} // namespace

PrivateFields FindPrivateFields(const Exiv2::ExifData& exif) {
    PrivateFields found;
    for (const Exiv2::Exifdatum& datum : exif)
        Count(ExifField(datum), datum.count() > 0 && (datum.typeId() != Exiv2::asciiString || HasText(datum)),
              found);
    return found;
}

PrivateFields FindPrivateFields(const Exiv2::XmpData& xmp) {
    PrivateFields found;
    for (const Exiv2::Xmpdatum& datum : xmp)
        Count(XmpField(datum), HasText(datum), found);
    return found;
}

bool ErasePrivateFields(Exiv2::ExifData& exif) {
    return EraseWhere(exif, ExifField);
}

bool ErasePrivateFields(Exiv2::XmpData& xmp) {
    return EraseWhere(xmp, XmpField);
}

} // namespace aw
