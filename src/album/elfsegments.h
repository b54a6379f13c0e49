// SPDX-License-Identifier: MIT
// Whether a shared object's loadable segments lie inside its file. The dynamic loader maps each segment
// from the file; a segment beyond the end of a cut file maps pages with nothing behind them, and the first
// touch of one ends the process with SIGBUS. Pure functions over bytes; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

namespace aw {

enum class ElfLayout {
    Inside,     // an ELF shared object of this system's class and byte order, every loadable segment inside
    NotAModule, // not such a file, or its headers do not lie in the bytes given
    CutShort,   // a loadable segment reaches beyond `fileSize`
};

// The number of bytes from a file's start that CheckElfLayout needs at most: shared objects keep their
// program headers right after the ELF header.
constexpr std::size_t kElfHeadBytes = 64 * 1024;

// Judges a file of `fileSize` bytes from its first `count` bytes at `head` (count <= fileSize).
ElfLayout CheckElfLayout(const uint8_t* head, std::size_t count, uint64_t fileSize);

} // namespace aw
