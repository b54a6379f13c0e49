// SPDX-License-Identifier: MIT
#include "platform/instancelock.h"

#include <cerrno>

extern "C" {
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
}

#include "platform/paths.h"
#include "platform/runtimefolder.h"

namespace aw {

InstanceLock::InstanceLock(std::string folder)
    : folder_(folder.empty() ? RuntimeFolder::Path() : std::move(folder)),
      path_(JoinPath(folder_, "PageBinder")) {}

bool InstanceLock::Acquire() {
    if (held())
        return true;
    problem_ = RuntimeFolder::Prepare(folder_);
    if (!problem_.empty()) {
        error_ = EPERM;
        return false;
    }
    // Never through a planted link, and never a blocking open of something that is not a plain file.
    UniqueFd fd(::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!fd) {
        error_ = errno;
        return false;
    }
    // Another user's lock, held, would keep this user's window from ever starting.
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        error_ = errno;
        return false;
    }
    problem_ = RuntimeFolder::OwnerProblem(path_, status.st_uid);
    if (!problem_.empty()) {
        error_ = EPERM;
        return false;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        error_ = errno;
        return false;
    }
    error_ = 0;
    fd_ = std::move(fd);
    return true;
}

} // namespace aw
