// SPDX-License-Identifier: MIT
// Whole-file reads and writes of raw bytes. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace aw {

// Reads all of a regular file into `bytes`. 0, or an errno value: EFBIG when the file is larger than
// `limit`, EIO when it shrank while being read, EISDIR/EINVAL for a folder or a special file (a FIFO is
// refused without blocking).
int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit);
// The same from a regular file already open for reading, from its start (positioned reads: the
// descriptor's offset is neither used nor moved).
int ReadFileBytes(int fd, std::vector<uint8_t>& bytes, std::size_t limit);
// The first `count` bytes of a regular file open for reading, or all of a shorter one, read likewise.
// 0, or an errno value (EIO when the file shrank while being read).
int ReadFileHead(int fd, std::vector<uint8_t>& head, std::size_t count);

// What write(2) does; a stand-in lets tests make a write fail.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// Writes all of `size` bytes at the descriptor's offset, resuming after short writes and interruptions.
// 0 or an errno value (ENOSPC when a write makes no progress without saying why: never a retry).
int WriteAll(int fd, const void* data, std::size_t size, WriteCall write = &::write);

} // namespace aw
