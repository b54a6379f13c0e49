// SPDX-License-Identifier: MIT
// The single-instance lock of the window program: an exclusive flock on a lock file named "PageBinder" in
// the user's runtime folder (RuntimeFolder), which is checked before use; a lock file of another user is
// never used. The kernel drops the lock when the holding process ends, however it ends, so
// a crashed instance never blocks the next start. The file itself stays; only the lock matters.
//
// Ownership: the object holds the descriptor and releases the lock when destroyed. Thread-safety: none.
#pragma once

#include <string>

#include "platform/uniquefd.h"

namespace aw {

class InstanceLock {
public:
    // `folder` holds the lock file; empty means RuntimeFolder::Path().
    explicit InstanceLock(std::string folder = {});

    // True when this process now holds the lock (or already did); false when another process holds it
    // (EWOULDBLOCK), or the lock file cannot be opened (errno in error()), or the folder or the file may
    // not be used (EPERM, with the text to show in problem()).
    bool Acquire();
    bool held() const { return fd_.valid(); }
    int error() const { return error_; }
    const std::string& problem() const { return problem_; }
    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
    std::string problem_;
    UniqueFd fd_;
    int error_ = 0;
};

} // namespace aw
