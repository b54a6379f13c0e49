// SPDX-License-Identifier: MIT
#include "mainwindow/ui/windowservices.h"

#include "album/itemmetadata.h"
#include "album/recordedrun.h"
#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/progresswindow.h"
#include "stringtable.h"

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

int WindowServices::AskThree(const std::string& text, const std::string& caption, MessageIcon icon,
                             const std::array<std::string, 3>& answers) {
    return boxes_.AskThree(text, caption, icon, answers);
}

void WindowServices::InformWithHelp(const std::string& text, const std::string& caption, int helpContext) {
    HelpLinkDialog dialog(text, caption, helpContext, help_, owner_);
    dialog.Run();
}

ProgressOutcome WindowServices::RunProgress(const ProgressRequest& request) {
    // The window makes every file, and records them for a later update or reopening of the album.
    RecordedRun recorded(request, RecordedRun::Mode{updateAndPrune_, updateAndPrune_},
                         ALBUMWRIGHT_VERSION_TEXT);
    ProgressOutcome outcome;
    {
        ProgressWindow window(request, imaging_, owner_);
        window.UseReusePlan(recorded.plan());
        outcome = ProgressOutcome{window.Run(), window.failureLine()};
    }
    if (const std::string problem = recorded.problem(); !problem.empty())
        boxes_.Inform(problem, LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
    return outcome;
}

bool WindowServices::OpenInBrowser(const std::string& pagePath) {
    return openPage_(pagePath);
}

std::size_t WindowServices::CountPublishingLocation(const std::vector<MediaItem>& items,
                                                    Publishing publishing) {
    return aw::CountPublishingLocation(items, &imaging_, publishing);
}

} // namespace aw
