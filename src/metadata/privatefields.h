// SPDX-License-Identifier: MIT
// What a file tells about the person and the place beyond the picture: where it was taken (coordinates:
// EXIF's GPS directory, XMP's GPS properties), who owns the camera (EXIF Artist and CameraOwnerName, XMP
// aux:OwnerName and its kin), and the serial numbers of body and lens (including the maker note, where
// most cameras keep theirs). Place names typed by a person (IPTC city, country), the creator's credit and
// the copyright notice are published on purpose and are not counted. A value.
#pragma once

namespace aw {

struct PrivateFields {
    bool location = false;
    bool owner = false;
    bool serial = false;

    bool any() const { return location || owner || serial; }
    PrivateFields& operator|=(const PrivateFields& other) {
        location |= other.location;
        owner |= other.owner;
        serial |= other.serial;
        return *this;
    }
};

} // namespace aw
