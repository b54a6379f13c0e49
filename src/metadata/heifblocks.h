// SPDX-License-Identifier: MIT
// The Exif and XMP items of a HEIF picture's primary image, read through libheif from the file's
// descriptor. libheif reads the whole file into memory on the way (the coded pictures too), so files
// larger than kHeifFileLimit (far beyond any camera's or phone's photo) are not read; items larger than
// kHeifBlockLimit are left out. Thread-safe (each call has its own libheif context).
#pragma once

#include <cstddef>
#include <cstdint>

#include "metadata/metadatablocks.h"

namespace aw {

class FileWindow;

constexpr std::size_t kHeifBlockLimit = 8 * 1024 * 1024;
constexpr std::uint64_t kHeifFileLimit = 256 * 1024 * 1024;

void CutHeifBlocks(FileWindow& file, MetadataBlocks& blocks);

} // namespace aw
