// SPDX-License-Identifier: MIT
// What tells one file apart from another, and an edited file from itself, without reading it: size,
// modification time to the nanosecond, device and inode. A file rewritten under the same name gets a new
// inode (every album file is renamed into place) or a new time; a source edited in place gets a new time.
// Thread-safe (values and stat calls only).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace aw {

struct FileIdentity {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file `path` names, following symbolic links (a source may be reached
// through one); nothing for anything else or when it cannot be examined.
std::optional<FileIdentity> SourceIdentity(const std::string& path);

// The identity of the regular file at `path` itself, never through a symbolic link: a link planted in
// place of a written file gives nothing.
std::optional<FileIdentity> WrittenIdentity(const std::string& path);

} // namespace aw
