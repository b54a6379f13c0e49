// File copying and the read-only attribute, as the album writer needs them on POSIX.
//
// "Read-only" is a file without any write permission bit. The copy refuses a read-only destination on
// purpose, also for root (who could otherwise write through it), so that the caller can ask before
// replacing it. All functions are thread-safe (they share no state).
#pragma once

#include <string>

namespace aw {

// Copies `from` to `to`, replacing an existing destination in place and giving it the source's permission
// bits. 0 on success, else an errno value that is never 1: EACCES for a read-only destination (and for
// EPERM), ENOSPC for a full disk, the open error of the source, ... The destination is not touched when
// the source cannot be opened or is not a regular file.
int CopyFileReplacing(const std::string& from, const std::string& to);

// True when `path` exists and has no write permission bit.
bool IsReadOnly(const std::string& path);
// Adds the owner's write bit; false when the file cannot be changed.
bool ClearReadOnly(const std::string& path);
// Removes every write bit; false when the file cannot be changed.
bool SetReadOnly(const std::string& path);

} // namespace aw
