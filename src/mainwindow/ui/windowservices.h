// SPDX-License-Identifier: MIT
// The Create command's services with the real windows: questions and messages as boxes owned by the main
// window, message 441 with its Help button, the run behind the progress window, and the album page opened
// by the desktop's default browser.
//
// Ownership: everything is borrowed from the main window, which outlives this object. User-interface
// thread only; the run's own thread talks to the progress window, never to this object.
#pragma once

#include <functional>
#include <string>

#include "session/createworkflow.h"

class QWidget;

namespace aw {

class HelpOpener;
struct ImagingLibrary;

class WindowServices : public CreateServices {
public:
    WindowServices(QWidget* owner, MessageService& boxes, HelpOpener& help, const ImagingLibrary& imaging,
                   std::function<bool(const std::string&)> openPage);

    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                  DefaultButton defaultButton) override;
    void Inform(const std::string& text, const std::string& caption, MessageIcon icon) override;
    int AskThree(const std::string& text, const std::string& caption, MessageIcon icon,
                 const std::array<std::string, 3>& answers) override;
    void InformWithHelp(const std::string& text, const std::string& caption, int helpContext) override;
    ProgressOutcome RunProgress(const ProgressRequest& request) override;
    bool OpenInBrowser(const std::string& pagePath) override;
    std::size_t CountPublishingLocation(const std::vector<MediaItem>& items, Publishing publishing) override;

    // Runs keep what has not changed and remove what the album no longer uses (a reopened album).
    void UpdateAndPrune(bool on) { updateAndPrune_ = on; }

private:
    QWidget* owner_;
    MessageService& boxes_;
    HelpOpener& help_;
    const ImagingLibrary& imaging_;
    std::function<bool(const std::string&)> openPage_;
    bool updateAndPrune_ = false;
};

} // namespace aw
