// Ctrl-C for albumwright-make. The first SIGINT only raises a flag (the handler does nothing else, so it
// stays async-signal-safe); the program polls the flag and asks the run to stop at its next check point.
// A second SIGINT ends the process the default way, for a user who does not want to wait.
//
// Process-wide: Install once from main; Raised may be read from any thread.
#pragma once

namespace aw::cli {

class InterruptFlag {
public:
    static void Install();
    static bool Raised();
    static void Raise(); // what the handler does; for tests
    static void Reset(); // for tests
};

} // namespace aw::cli
