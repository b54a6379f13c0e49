// SPDX-License-Identifier: MIT
// The window program's start-up before its main window: one instance at a time (message 400), the two
// imaging modules and their seven entry points (401, 402), the start-up file from the command line, then
// the main window. Every failure is a box without owner, stop icon, caption 411, and the program ends
// without showing its main window.
//
// Ownership: the object holds the instance lock and the modules until it is destroyed, which releases
// the lock first and then the modules (a module released on a failure path is not released again).
// Thread-safety: none; the user-interface thread, before any other thread of the program exists.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "album/imaginglibraryloader.h"
#include "platform/instancelock.h"
#include "platform/messageservice.h"
#include "stringtable.h"

namespace aw {

enum class StartupState {
    Refused,        // another instance holds the lock; no module was loaded
    LibraryFailure, // a module or an entry point is missing; nothing stays loaded
    Ran,            // the main window ran and has closed
};

class AlbumStartup {
public:
    // Runs the main window modally with the imaging table and the start-up file ("" when none).
    using MainWindowRunner = std::function<void(const ImagingLibrary&, const std::string&)>;

    // Empty `lockFolder` / `moduleFolder`: the user's runtime folder / the folder of the running program.
    explicit AlbumStartup(MessageService& boxes, std::string lockFolder = {},
                          std::filesystem::path moduleFolder = {});

    // `arguments` without the program name.
    StartupState Run(const std::vector<std::string>& arguments, const MainWindowRunner& runMainWindow);

    const ImagingLibraryLoader& loader() const { return loader_; }

private:
    void ShowError(TextId text);

    MessageService& boxes_;
    std::filesystem::path moduleFolder_;
    ImagingLibraryLoader loader_; // declared before the lock: released after it
    InstanceLock lock_;
};

} // namespace aw
