// Temporary files in a chosen folder. Thread-safe (no shared state).
#pragma once

#include <string>

namespace aw {

// Creates an empty file with a unique name, `folder` + `prefix` + six random characters, and closes it.
// A missing separator between folder and prefix is added. The full path, or "" on failure (also for an
// empty folder).
std::string CreateTempFile(const std::string& folder, const std::string& prefix);

// $TMPDIR when set and not empty, else "/tmp"; always with a closing "/".
std::string SystemTempPath();

} // namespace aw
