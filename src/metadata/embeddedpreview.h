// SPDX-License-Identifier: MIT
// The preview image that cameras store after the main picture of a JPEG (a multi-picture index in an APP2
// segment points at it): a full-frame picture of about 1600 x 1080 that shows a 24-megapixel photo in a
// few milliseconds where decoding the photo itself takes a tenth of a second. Pure function; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace aw {

struct ByteSpan {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The largest large-thumbnail JPEG that the index of `jpeg` names, lying wholly inside the bytes given and
// beginning as a JPEG does; nothing when there is no index or it is malformed. Whether the preview still
// shows the main picture is the caller's to judge (an editor may have changed the one and kept the other).
std::optional<ByteSpan> FindEmbeddedPreview(const uint8_t* jpeg, std::size_t size);

} // namespace aw
