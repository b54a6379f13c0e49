// SPDX-License-Identifier: MIT
// The lock every run takes on the album it writes (a file beside the album's record in the state folder),
// so that a run can tell whether it is alone on its album: only then may it remove what runs that were
// killed left behind (RemoveStaleTemporaries). Runs share the lock while they last, so two runs of one
// album still go on side by side; a run that found itself alone holds it alone until Share.
//
// Ownership: the object holds the lock file open; the kernel drops the lock when it goes (or the process
// ends, however). One thread uses the object.
#pragma once

#include <string>

#include "platform/uniquefd.h"

namespace aw {

class AlbumLock {
public:
    // Opens (or makes, mode 0600, never through a link) the lock file at `path` and takes the lock: alone
    // when no other run holds it, else shared with the others (waiting only while one is alone). Without
    // a lock file nothing is held and the run is never alone.
    explicit AlbumLock(const std::string& path);

    // This run held the album alone since it was locked.
    bool alone() const { return alone_; }
    // Lets other runs of the album begin: the lock is shared from now on.
    void Share();

private:
    UniqueFd fd_;
    bool alone_ = false;
};

} // namespace aw
