// Whole-file reads and writes of raw bytes. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aw {

// Reads all of a regular file into `bytes`. 0, or an errno value: EFBIG when the file is larger than
// `limit`, EIO when it shrank while being read, EISDIR/EINVAL for a folder or a special file (a FIFO is
// refused without blocking).
int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit);

// Creates or truncates `path` and writes `size` bytes to it, resuming short writes and checking the close.
// 0, or an errno value.
int WriteFileBytes(const std::string& path, const uint8_t* data, std::size_t size);

} // namespace aw
