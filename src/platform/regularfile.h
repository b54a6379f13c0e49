// SPDX-License-Identifier: MIT
// Opening files that must be regular files without ever blocking: a FIFO named as a picture, an
// arrangement file or the settings file would otherwise hang open() until a writer appears, and a device
// would be read without end. Thread-safe (no shared state).
#pragma once

#include <string>

#include <sys/types.h>

#include "platform/uniquefd.h"

namespace aw {

enum class FileType { Missing, Regular, Folder, Fifo, CharDevice, BlockDevice, Socket, Other };

// The type of what `path` names, following symbolic links; Missing when it cannot be examined.
FileType TypeOfPath(const std::string& path);
FileType TypeOfMode(mode_t mode);

struct OpenedFile {
    UniqueFd fd;                       // open for reading (blocking mode) when error is 0
    int error = 0;                     // errno of the open, or EISDIR / EINVAL for a non-regular file
    FileType type = FileType::Missing; // what was found; Regular when error is 0
};

// Opens `path` read-only when it is a regular file (links followed). The open itself uses O_NONBLOCK,
// which a FIFO or device honours, and the flag is cleared again once the file is known to be regular.
OpenedFile OpenRegularFile(const std::string& path);

} // namespace aw
