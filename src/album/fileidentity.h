// SPDX-License-Identifier: MIT
// What tells one file apart from another, and an edited file from itself, without reading it: size,
// modification time and change time to the nanosecond, device and inode. A file rewritten under the same
// name gets a new inode (every album file is renamed into place); a file edited in place gets a new
// change time even when the tool that edited it set its size and modification time back, since no user
// tool can set the change time. Thread-safe (values and stat calls only).
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace aw {

struct FileIdentity {
    // The change time of an identity recorded before change times were: it never matches a file.
    static constexpr std::int64_t kNoChangeTime = std::numeric_limits<std::int64_t>::min();

    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
    // The same file as far as `recorded` tells: its change time is passed over when it has none. Enough
    // to know a file as one the album wrote, never to keep it.
    bool SameFileAs(const FileIdentity& recorded) const;
};

// The identity of the regular file `path` names, following symbolic links (a source may be reached
// through one); nothing for anything else or when it cannot be examined.
std::optional<FileIdentity> SourceIdentity(const std::string& path);

// The identity of the regular file `name` in the folder open as `folder` (a descriptor, or AT_FDCWD with
// a path), never through a symbolic link: a link planted in place of a written file gives nothing.
std::optional<FileIdentity> WrittenIdentity(int folder, const std::string& name);

} // namespace aw
