// SPDX-License-Identifier: MIT
#include "platform/filebytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/regularfile.h"
#include "platform/uniquefd.h"

namespace aw {
namespace {

// A photo of tens of megabytes read into fresh memory costs a page fault for every 4 KB, which on a
// virtual machine takes longer than reading the bytes; asked for 2 MB pages, the kernel needs a few dozen.
// Only advice: where it is not taken, nothing changes.
void PreferLargePages(std::vector<uint8_t>& bytes, std::size_t size) {
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    if (size < 2 * kLargePage || bytes.capacity() >= size)
        return;
    bytes.reserve(size);
    const auto start = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (start + size) & ~(kLargePage - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

} // namespace

int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit) {
    bytes.clear();
    // A FIFO or device is refused without blocking in open().
    OpenedFile opened = OpenRegularFile(path);
    if (opened.error != 0)
        return opened.error;
    return ReadFileBytes(opened.fd.get(), bytes, limit);
}

int ReadFileBytes(int fd, std::vector<uint8_t>& bytes, std::size_t limit) {
    bytes.clear();
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > limit)
        return EFBIG;
    return ReadFileHead(fd, bytes, static_cast<std::size_t>(info.st_size));
}

int ReadFileHead(int fd, std::vector<uint8_t>& head, std::size_t count) {
    head.clear();
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    const std::size_t size =
        std::min<std::size_t>(count, static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)));
    PreferLargePages(head, size);
    head.resize(size);
    std::size_t done = 0;
    while (done < head.size()) {
        const ssize_t n = ::pread(fd, head.data() + done, head.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO; // a file that shrank is a short read
            head.clear();
            return error;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteAll(int fd, const void* data, std::size_t size, WriteCall write) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace aw
