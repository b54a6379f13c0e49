// SPDX-License-Identifier: MIT
// Rewrites one metadata block without its private fields (privatefields.h), through exiv2, keeping every
// other property. The caller puts the result back into its container in place of the old block. Thread-safe
// (XMP work is serialised; see exivsetup.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace aw {

enum class CleanedBlock {
    Unchanged,  // nothing private in it: keep the block byte for byte
    Rewritten,  // the result holds the rest
    Emptied,    // nothing but private fields: drop the block
    Unreadable, // exiv2 cannot read it, so nobody can tell what it holds: drop the block
    Failed      // read, but it could not be written again: the copy cannot be made without it
};

// A TIFF structure (EXIF) without the GPS directory, owner and serial fields and the maker note.
CleanedBlock CleanExifBlock(const std::uint8_t* tiff, std::size_t size, std::vector<std::uint8_t>& result);

// An XMP packet without GPS, owner and serial properties; with `dropExtensionNote` also without the
// pointer to an extended packet (xmpNote:HasExtendedXMP) whose parts are being dropped.
CleanedBlock CleanXmpBlock(std::string_view packet, bool dropExtensionNote, std::string& result);

} // namespace aw
