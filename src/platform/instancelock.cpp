#include "platform/instancelock.h"

#include <cerrno>
#include <cstdlib>

extern "C" {
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
}

namespace aw {

InstanceLock::InstanceLock(std::string folder)
    : path_(FileNameIn(folder.empty() ? DefaultFolder() : std::move(folder))) {}

std::string InstanceLock::DefaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/')
        return runtime;
    return "/tmp";
}

std::string InstanceLock::FileNameIn(const std::string& folder) {
    std::string name = folder;
    if (name.empty() || name.back() != '/')
        name += '/';
    name += "PageBinder";
    // /tmp is shared by every user: one lock each, or one user's program would refuse another's.
    if (folder == "/tmp" || folder == "/tmp/")
        name += "-" + std::to_string(::getuid());
    return name;
}

bool InstanceLock::Acquire() {
    if (held())
        return true;
    // Never through a planted link, and never a blocking open of something that is not a plain file.
    UniqueFd fd(::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!fd) {
        error_ = errno;
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
