// SPDX-License-Identifier: MIT
// Walks of a path one component at a time through directory descriptors, so that their cost grows with the
// length of the path, never with its square: the kernel resolves one component per step instead of the
// whole prefix again at every level. Paths longer than the system's limit are refused before any walk.
//
// Free functions; thread-safe (each walk owns its descriptors).
#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace aw {

// The longest path the system accepts, without its closing NUL.
inline constexpr std::size_t kMaxPathBytes = 4095;

// `path` (absolute) with "." and empty components dropped and ".." taken back lexically; "/" for the root.
std::string LexicallyNormal(const std::string& path);

// `path` (absolute, at most kMaxPathBytes) as the system takes it once its missing folders are made: the
// existing folders resolved by the kernel (links, and ".." after them), a ".." after a missing folder
// taken back, the missing rest appended: the form the mount table names. Without /proc, the existing part
// as written, lexically normal. Empty for a relative or too long path.
std::string ResolveExistingPart(const std::string& path);

// Makes the missing folders of `path` (mode `mode`, reduced by the umask) from the root down, or from the
// current folder for a relative path; true when all of it is a folder afterwards, else false with the
// errno of the first step that failed in `error` (ENAMETOOLONG for a path over the limit, ENOTDIR where a
// file stands in the way).
bool MakeFolderChain(const std::string& path, int& error, mode_t mode = 0777);

} // namespace aw
