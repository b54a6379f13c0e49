// SPDX-License-Identifier: MIT
// The Exif and XMP items of a HEIF picture's primary image, read through libheif from the file's
// descriptor (its box structure is read; the coded picture data is skipped, never read). Items larger
// than kHeifBlockLimit are left out. Thread-safe (each call has its own libheif context).
#pragma once

#include <cstddef>

#include "metadata/metadatablocks.h"

namespace aw {

class FileWindow;

constexpr std::size_t kHeifBlockLimit = 8 * 1024 * 1024;

void CutHeifBlocks(FileWindow& file, MetadataBlocks& blocks);

} // namespace aw
