// SPDX-License-Identifier: MIT
#include "fdiocontext.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include "imagingerror.h"

namespace aw::imaging {
namespace {

constexpr int kBufferSize = 64 * 1024;

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a regular file";
}

} // namespace

// The cursor is where the demuxer stands in the file: reads are positioned, so the descriptor's own offset
// is never used.
int FdIoContext::ReadPacket(void* opaque, uint8_t* buffer, int size) {
    auto* cursor = static_cast<Cursor*>(opaque);
    ssize_t n;
    do
        n = ::pread(cursor->fd, buffer, static_cast<std::size_t>(size), cursor->position);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return AVERROR(errno);
    if (n == 0)
        return AVERROR_EOF;
    cursor->position += n;
    return static_cast<int>(n);
}

int FdIoContext::WritePacket(void* opaque, uint8_t* buffer, int size) {
    auto* cursor = static_cast<Cursor*>(opaque);
    int done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(cursor->fd, buffer + done, static_cast<std::size_t>(size - done), cursor->position);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            cursor->writeError = n < 0 ? errno : EIO;
            return AVERROR(cursor->writeError);
        }
        done += static_cast<int>(n);
        cursor->position += n;
    }
    return size;
}

int64_t FdIoContext::Seek(void* opaque, int64_t offset, int whence) {
    auto* cursor = static_cast<Cursor*>(opaque);
    struct stat info {};
    if ((whence & AVSEEK_SIZE) || (whence & ~AVSEEK_FORCE) == SEEK_END) {
        if (::fstat(cursor->fd, &info) != 0)
            return AVERROR(errno);
        if (whence & AVSEEK_SIZE)
            return info.st_size;
    }
    int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = cursor->position + offset;
        break;
    case SEEK_END:
        target = info.st_size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0)
        return AVERROR(EINVAL);
    cursor->position = target;
    return target;
}

MovieFile::MovieFile(const std::string& path) : path_(path) {
    if (path.empty())
        throw ImagingError("empty movie path");
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw ImagingError("cannot open movie: " + std::string(std::strerror(errno)));
    fd_ = fd;
    if (::fstat(fd_, &identity_) != 0) {
        ::close(fd_);
        throw ImagingError("cannot examine movie: " + std::string(std::strerror(errno)));
    }
    if (!S_ISREG(identity_.st_mode)) {
        ::close(fd_);
        throw ImagingError(std::string("the movie is ") + KindOf(identity_.st_mode));
    }
    // Reads of a regular file never wait for a writer; the flag is cleared all the same, as a plain read
    // expects.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
}

MovieFile::~MovieFile() {
    ::close(fd_);
}

void FdIoContext::Deleter::operator()(AVIOContext* context) const {
    if (!context)
        return;
    // A writing context's last bytes would be lost with it: whoever wants them flushes first and checks.
    delete static_cast<Cursor*>(context->opaque);
    av_freep(&context->buffer); // FFmpeg may have replaced the buffer it was given
    avio_context_free(&context);
}

int FdIoContext::writeError() const {
    return static_cast<const Cursor*>(context_->opaque)->writeError;
}

void FdIoContext::Free(AVIOContext* context) {
    Deleter()(context);
}

FdIoContext::FdIoContext(int fd, bool writable) {
    auto cursor = std::make_unique<Cursor>(Cursor{fd});
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        throw ImagingError("out of memory for a movie's input or output");
    context_.reset(avio_alloc_context(buffer, kBufferSize, writable ? 1 : 0, cursor.get(), ReadPacket,
                                      writable ? WritePacket : nullptr, Seek));
    if (!context_) {
        av_free(buffer);
        throw ImagingError("out of memory for a movie's input or output");
    }
    cursor.release(); // the context owns it now: the deleter frees it
    context_->seekable = AVIO_SEEKABLE_NORMAL;
}

} // namespace aw::imaging
