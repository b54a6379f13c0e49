// SPDX-License-Identifier: MIT
// The rules of PrivateFields over exiv2's decoded EXIF and XMP: which properties tell a location, an owner
// or a serial number, and their removal. Used only inside this layer. Thread-safe for distinct data.
#pragma once

#include <exiv2/exiv2.hpp>

#include "metadata/privatefields.h"

namespace aw {

PrivateFields FindPrivateFields(const Exiv2::ExifData& exif);
PrivateFields FindPrivateFields(const Exiv2::XmpData& xmp);

// Erases every property that FindPrivateFields looks at (the whole GPS directory and maker note, not only
// the coordinates); true when anything was erased.
bool ErasePrivateFields(Exiv2::ExifData& exif);
bool ErasePrivateFields(Exiv2::XmpData& xmp);

} // namespace aw
