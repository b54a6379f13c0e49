// SPDX-License-Identifier: MIT
// The file-name block shared by drops and the converted browser selection, in the drop-files layout byte
// for byte: a 20-byte header of five little-endian 32-bit fields (offset of the first path, drop point
// x and y, non-client flag, wide-character flag), then the paths as 8-bit (UTF-8) text, each ended by a
// NUL, then one more NUL.
//
// Pure functions over byte vectors; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/byteorder.h"

namespace aw {

class FileBlock {
public:
    static constexpr std::size_t kHeaderSize = 20;

    // A block holding `paths` in order: first path at offset 20, point 0,0, flags 0. Paths holding a NUL
    // would end early and are left out.
    static Bytes Make(const std::vector<std::string>& paths);

    // The paths of `block` in order. False (and `paths` empty) when the block is not one this program
    // can read: shorter than its header, its first path outside it, wide characters, or a path or the
    // closing NUL missing before the end. Never reads outside `block`.
    static bool Read(const Bytes& block, std::vector<std::string>& paths);
};

} // namespace aw
