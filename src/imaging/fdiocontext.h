// SPDX-License-Identifier: MIT
// The movie file as the demuxer reads it: opened once, without ever blocking, and read only through that
// descriptor. A FIFO or device named like a movie would otherwise hang the open until a writer comes (or be
// read without end), and a name checked first and opened again later may meanwhile name another file.
// Each object serves one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <sys/stat.h>

extern "C" {
struct AVIOContext;
}

namespace aw::imaging {

class MovieFile {
public:
    // Opens `path` read-only when it is a regular file (links followed); throws ImagingError saying what
    // it is otherwise. The open itself does not block: O_NONBLOCK until the file is known to be regular.
    explicit MovieFile(const std::string& path);
    ~MovieFile();
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;

    const std::string& path() const { return path_; }
    // What fstat said of the open file: device, inode, size and modification time tell its version.
    const struct stat& identity() const { return identity_; }
    int fd() const { return fd_; }

private:
    std::string path_;
    int fd_ = -1;
    struct stat identity_ {};
};

// A seekable context over a descriptor, for a demuxer opened with it as its custom I/O (reading), or a muxer
// (writing, and reading back what it wrote). Reads and writes are positioned, so several contexts may use
// the same file one after another. The descriptor is borrowed and must outlive the context; the demuxer or
// muxer must be closed before the context goes.
class FdIoContext {
public:
    explicit FdIoContext(const MovieFile& file) : FdIoContext(file.fd(), false) {}
    FdIoContext(int fd, bool writable);
    AVIOContext* get() const { return context_.get(); }
    AVIOContext* release() { return context_.release(); }
    // Frees a context that release() gave out, with its buffer and cursor.
    static void Free(AVIOContext* context);
    // The errno of the last write that failed, 0 when none did.
    int writeError() const;

private:
    struct Cursor {
        int fd;
        int64_t position = 0;
        int writeError = 0;
    };
    struct Deleter {
        void operator()(AVIOContext* context) const;
    };
    static int ReadPacket(void* opaque, uint8_t* buffer, int size);
    static int WritePacket(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);

    std::unique_ptr<AVIOContext, Deleter> context_; // owns its cursor (the opaque pointer)
};

} // namespace aw::imaging
