// SPDX-License-Identifier: MIT
#include "platform/filecopy.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomicfile.h"
#include "platform/filebytes.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kKernelChunk = std::size_t{1} << 30;
// The kernel copies in units of this size, much faster when the source's offset is a multiple of it.
constexpr off_t kCopyUnit = 64 * 1024;

// Callers use 0 and 1 as results, so no error may come out as EPERM (1): both mean access denied here.
// A failure without errno still must not read as success.
int Normalise(int error) {
    if (error == EPERM)
        return EACCES;
    return error == 0 ? EIO : error;
}

// Reads from `offset` on (positioned: the source's own offset is never used nor moved).
int ReadWriteContent(int in, off_t offset, int out) {
    std::vector<char> buffer(kChunk);
    for (;;) {
        const ssize_t n = ::pread(in, buffer.data(), kChunk, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (int error = WriteAll(out, buffer.data(), static_cast<std::size_t>(n)))
            return error;
        offset += n;
    }
}

// The kernel copies without the bytes passing through this process, sharing the blocks where the file
// system can. Where it will not (another file system, a kernel without the call, a file system that
// refuses it) the bytes are read and written from where the kernel stopped. A file that gives nothing at
// all at its start may be a pseudo-file whose size the kernel does not know: reading tells. The source is
// read from its start whatever its offset (a temporary file just written is copied through its descriptor).
int CopyContent(int in, int out) {
    bool copiedAny = false;
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, &offset, out, nullptr, kKernelChunk, 0);
        if (n > 0) {
            copiedAny = true;
            continue;
        }
        if (n == 0) {
            if (copiedAny)
                return 0;
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
            return errno;
        break;
    }
    return ReadWriteContent(in, offset, out);
}

// Reads and writes `count` bytes from `offset` on; EIO when the source ends before them.
int ReadWriteRange(int in, off_t offset, std::size_t count, int out) {
    std::vector<char> buffer(std::min(count, kChunk));
    while (count > 0) {
        const ssize_t n = ::pread(in, buffer.data(), std::min(count, buffer.size()), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        if (const int error = WriteAll(out, buffer.data(), static_cast<std::size_t>(n)))
            return error;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Copies `count` bytes from `offset` on; EIO when the source ends before them. The bytes before the next
// whole copy unit go by hand, the rest by the kernel.
int CopyRange(int in, off_t offset, std::size_t count, int out) {
    const auto lead = std::min(count, static_cast<std::size_t>((kCopyUnit - offset % kCopyUnit) % kCopyUnit));
    if (const int error = ReadWriteRange(in, offset, lead, out))
        return error;
    offset += static_cast<off_t>(lead);
    count -= lead;
    while (count > 0) {
        const ssize_t n = ::copy_file_range(in, &offset, out, nullptr, count, 0);
        if (n > 0) {
            count -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL))
            return ReadWriteRange(in, offset, count, out);
        return n < 0 ? errno : EIO;
    }
    return 0;
}

int CopySplicedContent(int in, const std::vector<ByteSplice>& splices, int out) {
    std::size_t at = 0;
    for (const ByteSplice& splice : splices) {
        if (splice.offset < at)
            return EINVAL;
        if (const int error = CopyRange(in, static_cast<off_t>(at), splice.offset - at, out))
            return error;
        if (const int error = WriteAll(out, splice.bytes.data(), splice.bytes.size()))
            return error;
        at = splice.offset + splice.length;
    }
    struct stat source {};
    if (::fstat(in, &source) != 0)
        return errno;
    const auto size = static_cast<std::size_t>(source.st_size);
    if (size < at)
        return EIO;
    return CopyRange(in, static_cast<off_t>(at), size - at, out);
}

} // namespace

int CopyFileReplacing(const std::string& from, const std::string& to) {
    OpenedFile in = OpenRegularFile(from);
    if (in.error != 0)
        return Normalise(in.error);
    return CopyDescriptorReplacing(in.fd.get(), to);
}

int CopyDescriptorReplacing(int in, const std::string& to, const std::vector<ByteSplice>& splices) {
    struct stat source {};
    if (::fstat(in, &source) != 0)
        return Normalise(errno);
    if (!S_ISREG(source.st_mode))
        return EINVAL;

    // lstat: a symbolic link planted at the destination is replaced by the rename below, never followed.
    struct stat dest {};
    if (::lstat(to.c_str(), &dest) == 0) {
        if (S_ISDIR(dest.st_mode))
            return EISDIR;
        // Root would write over a read-only file; the refusal is what lets the caller ask first.
        if (S_ISREG(dest.st_mode) && (dest.st_mode & kWriteBits) == 0)
            return EACCES;
        if (dest.st_dev == source.st_dev && dest.st_ino == source.st_ino)
            return EINVAL; // the caller asked to replace the source by itself
    }

    // Only the read and write bits travel (set-id, sticky and execute bits never do), and the umask
    // applies when the file is made: a world-writable source does not give a world-writable copy.
    AtomicFile out(to, source.st_mode & 0666);
    if (!out.valid())
        return Normalise(out.error());
    // Album files are synced by their folders once the run ends, not one by one.
    int error = splices.empty() ? CopyContent(in, out.fd()) : CopySplicedContent(in, splices, out.fd());
    if (error == 0)
        error = out.Commit(AtomicFile::Sync::None);
    return error == 0 ? 0 : Normalise(error);
}

bool IsReadOnly(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & kWriteBits) == 0;
}

// The mode changes do not follow a symbolic link: a link planted in the album must not let the run change
// the bits of a file elsewhere.
bool ClearReadOnly(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::fchmodat(AT_FDCWD, path.c_str(), (info.st_mode & 07777) | S_IWUSR, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SetReadOnly(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::fchmodat(AT_FDCWD, path.c_str(), (info.st_mode & 07777) & ~kWriteBits, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace aw
