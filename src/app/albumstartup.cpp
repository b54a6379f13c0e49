// SPDX-License-Identifier: MIT
#include "app/albumstartup.h"

#include <utility>

#include "app/startupcommand.h"
#include "stringtable.h"

namespace aw {

AlbumStartup::AlbumStartup(MessageService& boxes, std::string lockFolder, std::filesystem::path moduleFolder)
    : boxes_(boxes), moduleFolder_(std::move(moduleFolder)), lock_(std::move(lockFolder)) {}

void AlbumStartup::ShowError(TextId text) {
    boxes_.Inform(LoadText(text), LoadText(TextId::ErrorCaption), MessageIcon::Stop);
}

StartupState AlbumStartup::Run(const std::vector<std::string>& arguments,
                               const MainWindowRunner& runMainWindow) {
    // A lock file that cannot even be opened is no sign of another instance: go on without the lock
    // rather than refuse to start for good.
    if (!lock_.Acquire() && lock_.error() == EWOULDBLOCK) {
        ShowError(TextId::AlreadyRunning);
        return StartupState::Refused;
    }
    // Another user's folder or lock file is never used; the user is told whose it is.
    if (!lock_.problem().empty())
        boxes_.Inform(lock_.problem(), LoadText(TextId::ErrorCaption), MessageIcon::Exclamation);
    const ImagingLoadResult loaded = moduleFolder_.empty() ? loader_.Load() : loader_.Load(moduleFolder_);
    if (loaded != ImagingLoadResult::Loaded) {
        // The box names the module file and why, as the command line does: "not found" alone would send
        // the user looking for a file that is there but refused.
        boxes_.Inform(LoadText(loader_.failureTextId()) + "\n" + loader_.errorText(),
                      LoadText(TextId::ErrorCaption), MessageIcon::Stop);
        return StartupState::LibraryFailure;
    }
    runMainWindow(loader_.library(), StartupFileName(arguments));
    return StartupState::Ran;
}

} // namespace aw
