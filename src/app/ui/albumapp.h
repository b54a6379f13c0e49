// SPDX-License-Identifier: MIT
// The application: one instance at a time, the imaging modules loaded, the main window run modally, and
// when it closes the program ends (AlbumStartup holds the steps that need no window).
#pragma once

namespace aw {

class AlbumApp {
public:
    // The whole program; the process exit code.
    static int Run(int argc, char** argv);
};

} // namespace aw
