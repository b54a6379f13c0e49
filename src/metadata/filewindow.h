// SPDX-License-Identifier: MIT
// Positioned reads of a regular file through one cached window, for walking the boxes, chunks and segments
// of a picture without reading its picture data. Every read is bounded by the size the file had when the
// window was made. One owner; the descriptor is borrowed and must stay open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace aw {

class FileWindow {
public:
    explicit FileWindow(int fd);

    // The file's size when the window was made; 0 when it could not be told.
    std::uint64_t size() const { return size_; }

    // `count` bytes at `offset`, valid until the next call; nullptr when they do not lie wholly inside the
    // file or cannot be read. Counts up to the window's span are read at once with what follows them.
    const std::uint8_t* At(std::uint64_t offset, std::size_t count);

    // Any `count` bytes at `offset` into `out`; false when they are not all there.
    bool Read(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& out);

private:
    int fd_;
    std::uint64_t size_ = 0;
    std::uint64_t start_ = 0;
    std::vector<std::uint8_t> window_;
};

} // namespace aw
