// SPDX-License-Identifier: MIT
// Starts the window program for the companion and tells whether it has ended: found beside the
// companion, else on PATH; started without arguments, without a shell, detached from the companion's
// descriptors (every descriptor of this program is close-on-exec).
//
// Ownership: remembers the child's process id; the child outlives the launcher (nobody waits for it
// after the hand-over). Thread-safety: none.
#pragma once

#include <string>

extern "C" {
#include <sys/types.h>
}

namespace aw {

class ProgramLauncher {
public:
    // `name` in `ownFolder` when it is an executable file there; otherwise the first executable `name`
    // in the folders of `searchPath` (a PATH value); empty when there is none.
    static std::string Find(const std::string& name, const std::string& ownFolder,
                            const std::string& searchPath);

    // Starts `program`, in `folder` when it is not empty (else in this process's current folder); false
    // with the reason in `error`.
    bool Start(const std::string& program, std::string& error, const std::string& folder = {});
    // The started program has ended (it is reaped then); false while it runs or before Start.
    bool Ended();
    // The started program's process id; -1 before Start.
    pid_t child() const { return child_; }
    // Its wait status once Ended() has said so.
    int status() const { return status_; }

private:
    pid_t child_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace aw
