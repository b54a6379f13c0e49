// SPDX-License-Identifier: MIT
// The Create logic's services for albumwright-make: questions and messages on the Console, the generation
// run on a CCreateThread whose host calls are relayed to a TerminalHost on the main thread (Ctrl-C shows
// "Finishing..." and asks the run to stop), and the browser through xdg-open.
//
// Ownership: the console and the imaging table are borrowed and must outlive the object. Thread-safety:
// the owner's (main) thread only; the run's own thread talks to the host, not to this object.
#pragma once

#include <string>

#include "session/createworkflow.h"

namespace aw {
struct ImagingLibrary;
}

namespace aw::cli {

class Console;

// --update and --prune: which files the run may keep, and whether it removes what it no longer uses.
struct UpdateChoice {
    bool update = false;
    bool prune = false;
};

class TerminalServices : public CreateServices {
public:
    TerminalServices(Console& console, const ImagingLibrary& imaging, UpdateChoice update = {});

    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                  DefaultButton defaultButton) override;
    void Inform(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void InformWithHelp(const std::string& text, const std::string& caption, int helpContext) override;
    ProgressOutcome RunProgress(const ProgressRequest& request) override;
    bool OpenInBrowser(const std::string& pagePath) override;

    // True once a question was answered No (the command then ends with status 2, not 3).
    bool declined() const { return declined_; }

private:
    Console& console_;
    const ImagingLibrary& imaging_;
    UpdateChoice update_;
    bool declined_ = false;
};

} // namespace aw::cli
