// SPDX-License-Identifier: MIT
#include "mainwindow/ui/windowservices.h"

#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/progresswindow.h"

namespace aw {

WindowServices::WindowServices(QWidget* owner, MessageService& boxes, HelpOpener& help,
                               const ImagingLibrary& imaging,
                               std::function<bool(const std::string&)> openPage)
    : owner_(owner), boxes_(boxes), help_(help), imaging_(imaging), openPage_(std::move(openPage)) {}

bool WindowServices::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                              DefaultButton defaultButton) {
    return boxes_.AskYesNo(text, caption, icon, defaultButton);
}

void WindowServices::Inform(const std::string& text, const std::string& caption, MessageIcon icon) {
    boxes_.Inform(text, caption, icon);
}

void WindowServices::InformWithHelp(const std::string& text, const std::string& caption, int helpContext) {
    HelpLinkDialog dialog(text, caption, helpContext, help_, owner_);
    dialog.Run();
}

ProgressOutcome WindowServices::RunProgress(const ProgressRequest& request) {
    ProgressWindow window(request, imaging_, owner_);
    const int code = window.Run();
    return ProgressOutcome{code, window.failureLine()};
}

bool WindowServices::OpenInBrowser(const std::string& pagePath) {
    return openPage_(pagePath);
}

} // namespace aw
