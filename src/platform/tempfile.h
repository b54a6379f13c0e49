// Temporary files in a chosen folder. Thread-safe (no shared state).
#pragma once

#include <string>

#include <sys/types.h>

#include "platform/uniquefd.h"

namespace aw {

// Creates an empty file with a unique name, `folder` + `prefix` + six random characters, and closes it.
// A missing separator between folder and prefix is added. The full path, or "" on failure (also for an
// empty folder).
std::string CreateTempFile(const std::string& folder, const std::string& prefix);

// Creates a new file beside `finalPath` (in its folder), named "HTM" + six random characters + ".tmp",
// for writing a file that is then renamed over `finalPath`: a reader never sees it cut, and a symbolic
// link planted at `finalPath` is replaced rather than written through. O_EXCL and O_NOFOLLOW, so nothing
// that already exists is opened; `mode` is reduced by the umask. The open descriptor and the name in
// `tempPath`, or an invalid descriptor with errno set (tempPath empty).
UniqueFd CreateSiblingFile(const std::string& finalPath, mode_t mode, std::string& tempPath);

// Renames `tempPath` over `finalPath`; on failure removes `tempPath`. 0, or the errno of the rename.
int ReplaceWithSibling(const std::string& tempPath, const std::string& finalPath);

// $TMPDIR when set and not empty, else "/tmp"; always with a closing "/".
std::string SystemTempPath();

} // namespace aw
