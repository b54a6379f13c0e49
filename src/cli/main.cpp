// SPDX-License-Identifier: MIT
// albumwright-make: makes an album from the files named on the command line (see makecommand.h).
#include <string>
#include <vector>

#include "cli/makecommand.h"
#include "platform/interruptflag.h"

int main(int argc, char** argv) {
    aw::InterruptFlag::Install();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return aw::cli::MakeCommand().Run(args);
}
