// SPDX-License-Identifier: MIT
// The checks an imaging module file passes before the dynamic loader opens it, that keep a bad file from
// hanging or crashing the program or from running code another user planted: a regular file (a FIFO
// would hang dlopen), that only its owner, root or the user running the program, can write, in a folder
// that only such an owner can write, whose loadable segments all lie inside it (a cut file would end the
// process with SIGBUS when its code runs). Thread-safe (no shared state).
#pragma once

#include <string>

#include "album/runfailure.h"

namespace aw {

struct CheckedModule {
    FailureCause cause = FailureCause::None; // why it may not be loaded; None when it may
    std::string detail;                      // the system's text for a file that cannot be opened
};

CheckedModule CheckModuleFile(const std::string& path);

} // namespace aw
