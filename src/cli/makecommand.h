// SPDX-License-Identifier: MIT
// albumwright-make from its arguments to its exit status: option parsing, the installed data beside the
// program, intake of the files named, the work folder, the imaging modules, and one Create command with
// terminal services. Messages go to standard error, help and version to standard output.
//
// Exit status (scripts rely on it): 0 album written; 1 bad usage or no supported file; 2 stopped (Ctrl-C)
// or declined (a No answer); 3 the run or the folder preparation failed (also a broken installation).
// Nothing is written to the settings store; the saved work folder is only read.
#pragma once

#include <string>
#include <vector>

namespace aw::cli {

enum ExitStatus : int { ExitWritten = 0, ExitUsage = 1, ExitStopped = 2, ExitFailed = 3 };

class MakeCommand {
public:
    // `args` without the program name.
    int Run(const std::vector<std::string>& args);
};

} // namespace aw::cli
