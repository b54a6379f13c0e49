// The single-instance lock of the window program: an exclusive flock on a lock file named "PageBinder" in
// the user's runtime folder. The kernel drops the lock when the holding process ends, however it ends, so
// a crashed instance never blocks the next start. The file itself stays; only the lock matters.
//
// Ownership: the object holds the descriptor and releases the lock when destroyed. Thread-safety: none.
#pragma once

#include <string>

#include "platform/uniquefd.h"

namespace aw {

class InstanceLock {
public:
    // `folder` holds the lock file; empty means DefaultFolder().
    explicit InstanceLock(std::string folder = {});

    // True when this process now holds the lock (or already did); false when another process holds it or
    // the lock file cannot be opened (errno in error()).
    bool Acquire();
    bool held() const { return fd_.valid(); }
    int error() const { return error_; }
    const std::string& path() const { return path_; }

    // $XDG_RUNTIME_DIR when it is set and absolute, else /tmp. In /tmp the file name carries the user id,
    // so that each user has a lock of their own.
    static std::string DefaultFolder();
    static std::string FileNameIn(const std::string& folder);

private:
    std::string path_;
    UniqueFd fd_;
    int error_ = 0;
};

} // namespace aw
