// SPDX-License-Identifier: MIT
// Temporary files. Thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include <sys/types.h>

#include "platform/uniquefd.h"

namespace aw {

// A temporary file held open from the moment it is made, so that a folder other users can write cannot
// redirect it: it is written, synced and given its mode through its descriptor, never reopened by name.
// The file is removed when the object goes (or at Remove). One owner; movable.
class TempFile {
public:
    TempFile() = default;
    // An empty file `folder` + `prefix` + six random characters (a missing separator between folder and
    // prefix is added), open for reading and writing; not valid() on failure (also for an empty folder),
    // with errno set.
    static TempFile Create(const std::string& folder, const std::string& prefix);

    ~TempFile() { Remove(); }
    TempFile(TempFile&& other) noexcept : fd_(std::move(other.fd_)), path_(std::exchange(other.path_, {})) {}
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool valid() const { return fd_.valid(); }
    const std::string& path() const { return path_; }
    int fd() const { return fd_.get(); }

    // Makes `size` bytes the file's whole content, has them reach the disk (a write error the kernel held
    // back surfaces here, not as a cut copy later) and sets the permission bits to `mode`. 0 or an errno.
    int Rewrite(const uint8_t* data, std::size_t size, mode_t mode);
    // Removes the file now (its name; the descriptor stays open until the object goes).
    void Remove();

private:
    UniqueFd fd_;
    std::string path_;
};

// $TMPDIR when set and not empty, else "/tmp"; always with a closing "/".
std::string SystemTempPath();

} // namespace aw
