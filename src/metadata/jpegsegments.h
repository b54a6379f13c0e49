// SPDX-License-Identifier: MIT
// The marker segments of a JPEG file before its first scan, walked with every length checked against the
// bytes given. Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace aw {

// Calls `visit(marker, payload, payloadSize)` for each segment from the start of image up to the first scan
// or end of image, until `visit` returns true (then true) or the segments end or are malformed (false).
bool VisitJpegSegments(const uint8_t* jpeg, std::size_t size,
                       const std::function<bool(uint8_t, const uint8_t*, std::size_t)>& visit);

// The stored width and height from the frame header; false when there is none before the first scan.
bool ReadJpegFrameSize(const uint8_t* jpeg, std::size_t size, int& width, int& height);

} // namespace aw
