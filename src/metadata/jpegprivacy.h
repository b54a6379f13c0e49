// SPDX-License-Identifier: MIT
// The changes that take a JPEG's location, owner and serial fields out of a copy while its picture data
// and every other field stay byte for byte: each EXIF and XMP segment rewritten without them (dropped when
// nothing else is left or nobody can read it), an extended XMP packet that carries them dropped, and the
// same for the pictures stored after the main one (a camera's large preview, a phone's depth map), whose
// places in the multi-picture index are updated to the new sizes. Thread-safe (no shared state).
#pragma once

#include <vector>

#include "platform/filecopy.h"

namespace aw {

class FileWindow;

// False when the copy cannot be made without them (a segment that exiv2 reads but cannot write again,
// a rewritten block too large for its segment, an index that cannot be kept right).
bool PlanJpegPrivacyEdits(FileWindow& file, std::vector<ByteSplice>& splices);

} // namespace aw
