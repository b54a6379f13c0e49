// SPDX-License-Identifier: MIT
// Ctrl-C and SIGTERM (and, for the window, SIGHUP) for albumwright-make and the window. Each only raises a
// flag (the handler does nothing else, so it
// stays async-signal-safe); the program polls the flag and asks the run to stop at its next check point,
// which removes its temporary files and ends with status 2. A second Ctrl-C or SIGTERM does the same
// rather than killing the process half-way through a file; only a third ends it at once (for a process
// stuck in a system call, which a flag cannot reach). SIGXFSZ (a file-size limit reached) is
// ignored, so that the write fails with EFBIG and the run ends with its message and status 3.
//
// Process-wide: Install once from main; Raised may be read from any thread.
#pragma once

namespace aw {

class InterruptFlag {
public:
    // `hangUpToo`: SIGHUP as well (a logout), unless it is ignored already (nohup).
    static void Install(bool hangUpToo = false);
    static bool Raised();
    static void Raise(); // what the handler does; for tests
    static void Reset(); // for tests
};

} // namespace aw
