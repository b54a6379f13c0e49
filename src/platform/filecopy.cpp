#include "platform/filecopy.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/uniquefd.h"

namespace aw {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::size_t kChunk = 1 << 20;

// Callers use 0 and 1 as results, so no error may come out as EPERM (1): both mean access denied here.
// A failure without errno still must not read as success.
int Normalise(int error) {
    if (error == EPERM)
        return EACCES;
    return error == 0 ? EIO : error;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes all of `size` bytes, resuming after short writes; 0 or an errno value.
int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int CopyContent(int in, int out) {
    std::vector<char> buffer(kChunk);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), kChunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (int error = WriteAll(out, buffer.data(), static_cast<std::size_t>(n)))
            return error;
    }
}

} // namespace

int CopyFileReplacing(const std::string& from, const std::string& to) {
    UniqueFd in(OpenRetrying(from.c_str(), O_RDONLY));
    if (!in.valid())
        return Normalise(errno);
    struct stat source {};
    if (::fstat(in.get(), &source) != 0)
        return Normalise(errno);
    if (!S_ISREG(source.st_mode))
        return S_ISDIR(source.st_mode) ? EISDIR : EINVAL;

    // Root would write through a read-only file; the refusal is what lets the caller ask first.
    struct stat dest {};
    if (::stat(to.c_str(), &dest) == 0) {
        if (!S_ISREG(dest.st_mode))
            return S_ISDIR(dest.st_mode) ? EISDIR : EINVAL;
        if ((dest.st_mode & kWriteBits) == 0)
            return EACCES;
        if (dest.st_dev == source.st_dev && dest.st_ino == source.st_ino)
            return EINVAL; // truncating the destination would destroy the source
    }

    const mode_t mode = source.st_mode & 07777;
    UniqueFd out(OpenRetrying(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode));
    if (!out.valid())
        return Normalise(errno);
    int error = CopyContent(in.get(), out.get());
    // An existing destination keeps its old bits after open; the copy carries the source's.
    if (error == 0 && ::fchmod(out.get(), mode) != 0)
        error = errno;
    const int closeError = out.Close(); // delayed write errors (NFS, quota) surface here
    if (error == 0)
        error = closeError;
    return error == 0 ? 0 : Normalise(error);
}

bool IsReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & kWriteBits) == 0;
}

bool ClearReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

bool SetReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 &&
           ::chmod(path.c_str(), (info.st_mode & 07777) & ~kWriteBits) == 0;
}

} // namespace aw
