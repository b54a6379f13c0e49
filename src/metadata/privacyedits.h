// SPDX-License-Identifier: MIT
// Copies of pictures without the place where they were taken, the camera owner's name and the serial
// numbers (privatefields.h): the edits that turn a file's bytes into such a copy, for a copy that leaves
// everything else byte for byte (CopyDescriptorReplacing with splices). JPEG, PNG and WebP are edited;
// other files are left as they are when they carry nothing private that this layer can see, and refused
// when they do. Thread-safe (no shared state).
#pragma once

#include <optional>
#include <vector>

#include "platform/filecopy.h"

namespace aw {

// The edits for the regular file open at `fd` (read by positioned reads; its offset is not used), in
// ascending order; empty when it carries nothing to remove. Nothing when a copy without them cannot be
// made (the block that holds them cannot be written again, the file's structure cannot be kept right).
std::optional<std::vector<ByteSplice>> PlanPrivacyEdits(int fd);

} // namespace aw
