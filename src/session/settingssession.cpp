// SPDX-License-Identifier: MIT
#include "session/settingssession.h"

#include <utility>

#include "platform/tempfile.h"
#include "session/installedtables.h"
#include "stringtable.h"

namespace aw {

SettingsSession::SettingsSession(std::string settingsFile, std::string dataFolder)
    : profile_(std::move(settingsFile)), store_(profile_, std::move(dataFolder)) {}

bool SettingsSession::Load(MessageService& boxes, AlbumSettings& settings, SessionChoices& choices) {
    saves_ = false;
    if (!store_.WriteDefaultSettings()) {
        // A settings file that cannot be read whole or written (full or read-only, a folder or a FIFO at its
        // path, too large): said once, then this session runs on the defaults and saves nothing.
        if (store_.programFolder().empty())
            return false;
        choices.workFolder = SystemTempPath();
        if (choices.workFolder.empty())
            return false;
        FillInstalledTables(store_.programFolder(), settings);
        choices.embedPlayback = SessionChoices{}.embedPlayback;
        boxes.Inform(LoadText(TextId::SettingsNotSaved) + "\n" +
                         FormatText(LoadText(TextId::SettingsFileUnusable), {profile_.file()}),
                     LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
        return true;
    }
    if (!store_.LoadTables(settings)) {
        boxes.Inform(LoadText(TextId::SettingsBroken), LoadText(TextId::ErrorCaption), MessageIcon::Stop);
        return false;
    }
    if (!store_.LoadRemembered(choices))
        return false;
    saves_ = true;
    return true;
}

void SettingsSession::Save(MessageService& boxes, const SessionChoices& choices) {
    if (saves_ && !store_.SaveRemembered(choices))
        boxes.Inform(LoadText(TextId::SettingsNotSaved), LoadText(TextId::WarningCaption),
                     MessageIcon::Exclamation);
}

} // namespace aw
