// SPDX-License-Identifier: MIT
// File copying and the read-only attribute, as the album writer needs them on POSIX.
//
// "Read-only" is a file without any write permission bit. The copy refuses a read-only destination on
// purpose, also for root (who could otherwise write through it), so that the caller can ask before
// replacing it. All functions are thread-safe (they share no state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aw {

// Bytes of the source that a copy replaces: `length` bytes from `offset` give way to `bytes`.
struct ByteSplice {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::vector<std::uint8_t> bytes;
};

// Copies `from` to `to` through an AtomicFile (without a sync: the caller syncs the folder), so `to` is
// never seen cut and a symbolic link at `to` is replaced, not followed. The copy gets the source's read and
// write bits under the umask (never set-id, sticky or execute bits). 0 on success, else an errno value that
// is never 1: EACCES for a read-only regular destination (and for EPERM), ENOSPC for a full disk,
// EISDIR/EINVAL for a source that is not a regular file (a FIFO is refused without blocking), EINVAL when
// `to` is the source itself. On failure `to` is as it was and no temporary file is left.
int CopyFileReplacing(const std::string& from, const std::string& to);
// The same from a regular file open for reading (read from its start; its offset is left as it was).
// `splices`, in ascending order and not overlapping, change the copy on its way; everything between them
// is copied as it is (by the kernel where it can). A splice that reaches past the source's end fails
// the copy with EIO.
int CopyDescriptorReplacing(int in, const std::string& to, const std::vector<ByteSplice>& splices = {});

// True when `path` is a regular file (not a link to one) without any write permission bit. The two
// changes below do not follow a symbolic link either (false for one).
bool IsReadOnly(const std::string& path);
// Adds the owner's write bit; false when the file cannot be changed.
bool ClearReadOnly(const std::string& path);
// Removes every write bit; false when the file cannot be changed.
bool SetReadOnly(const std::string& path);

} // namespace aw
