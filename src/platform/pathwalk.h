// SPDX-License-Identifier: MIT
// Walks of a path one component at a time through directory descriptors, so that their cost grows with the
// length of the path, never with its square: the kernel resolves one component per step instead of the
// whole prefix again at every level. Paths longer than the system's limit are refused before any walk.
//
// Free functions; thread-safe (each walk owns its descriptors).
#pragma once

#include <cstddef>
#include <string>

namespace aw {

// The longest path the system accepts, without its closing NUL.
inline constexpr std::size_t kMaxPathBytes = 4095;

// `path` (absolute) with "." and empty components dropped and ".." taken back lexically; "/" for the root.
std::string LexicallyNormal(const std::string& path);

// `path` (absolute, at most kMaxPathBytes) with its existing part resolved by the kernel (links, and ".."
// after them), the missing rest appended lexically normal: the form the mount table names. Without /proc,
// the existing part as written, lexically normal. Empty for a relative or too long path.
std::string ResolveExistingPart(const std::string& path);

// Makes the missing folders of `path` from the root down (a relative path from the current folder); true
// when all of it is a folder afterwards, else false with the errno of the first step that failed in `error`
// (ENAMETOOLONG for a path over the limit, ENOTDIR where a file stands in the way). Folders are made with
// `mode`, less the umask.
bool MakeFolderChain(const std::string& path, int& error, unsigned mode = 0777);

} // namespace aw
