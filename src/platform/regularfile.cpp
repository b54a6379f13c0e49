// SPDX-License-Identifier: MIT
#include "platform/regularfile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace aw {

FileType TypeOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return FileType::Regular;
    if (S_ISDIR(mode))
        return FileType::Folder;
    if (S_ISFIFO(mode))
        return FileType::Fifo;
    if (S_ISCHR(mode))
        return FileType::CharDevice;
    if (S_ISBLK(mode))
        return FileType::BlockDevice;
    if (S_ISSOCK(mode))
        return FileType::Socket;
    return FileType::Other;
}

FileType TypeOfPath(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? TypeOfMode(info.st_mode) : FileType::Missing;
}

OpenedFile OpenRegularFile(const std::string& path) {
    OpenedFile result;
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result.error = errno;
        result.type = TypeOfPath(path);
        return result;
    }
    UniqueFd owned(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
        return result;
    }
    result.type = TypeOfMode(info.st_mode);
    if (result.type != FileType::Regular) {
        result.error = result.type == FileType::Folder ? EISDIR : EINVAL;
        return result;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        result.error = errno;
        return result;
    }
    result.fd = std::move(owned);
    return result;
}

} // namespace aw
