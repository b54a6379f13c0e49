// SPDX-License-Identifier: MIT
#include "album/albumlock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aw {
namespace {

int Flock(int fd, int operation) {
    int result = 0;
    while ((result = ::flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

} // namespace

AlbumLock::AlbumLock(const std::string& path) {
    if (path.empty())
        return;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info {};
    // Another user's file there is no lock of this user's runs.
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid())
        return;
    alone_ = Flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
    if (!alone_ && Flock(fd.get(), LOCK_SH) != 0)
        return;
    fd_ = std::move(fd);
}

void AlbumLock::Share() {
    if (fd_ && alone_)
        Flock(fd_.get(), LOCK_SH);
}

} // namespace aw
