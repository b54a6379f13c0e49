// SPDX-License-Identifier: MIT
#include "metadata/filewindow.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace aw {
namespace {

// Enough for the headers of many chunks at a time, small beside the picture data skipped between them.
constexpr std::size_t kSpan = 64 * 1024;

bool ReadAt(int fd, std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, into + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

FileWindow::FileWindow(int fd) : fd_(fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        size_ = static_cast<std::uint64_t>(info.st_size);
}

const std::uint8_t* FileWindow::At(std::uint64_t offset, std::size_t count) {
    if (offset > size_ || size_ - offset < count)
        return nullptr;
    if (offset >= start_ && offset - start_ + count <= window_.size())
        return window_.data() + (offset - start_);
    const std::size_t span =
        static_cast<std::size_t>(std::min<std::uint64_t>(std::max(count, kSpan), size_ - offset));
    window_.resize(span);
    start_ = offset;
    if (!ReadAt(fd_, offset, window_.data(), span)) {
        window_.clear();
        return nullptr;
    }
    return window_.data();
}

bool FileWindow::Read(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& out) {
    if (offset > size_ || size_ - offset < count)
        return false;
    out.resize(count);
    return ReadAt(fd_, offset, out.data(), count);
}

} // namespace aw
