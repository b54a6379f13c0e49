// SPDX-License-Identifier: MIT
// The settings of one window session: loaded at its start, falling back to the installed defaults when the
// settings file cannot be used, and saved on Close and after a Create that reached its run. The one place
// that decides whether a session saves anything: one on the defaults never does, so a file it could not
// read is never replaced; neither does one that was never loaded (the command line's).
//
// Ownership: owns the store on the settings file. Thread-safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "platform/messageservice.h"
#include "platform/profilestore.h"
#include "session/albumsettings.h"
#include "session/sessionchoices.h"
#include "session/settingsstore.h"

namespace aw {

class SettingsSession {
public:
    // `settingsFile` empty: the per-user file; `dataFolder` (with its closing "/") empty: the installation's
    // beside the running program.
    explicit SettingsSession(std::string settingsFile = {}, std::string dataFolder = {});
    SettingsSession(const SettingsSession&) = delete;
    SettingsSession& operator=(const SettingsSession&) = delete;

    // The installed tables written and read back into `settings`, the remembered choices into `choices`.
    // A settings file that cannot be read whole or written is said on `boxes` once, and the session runs on
    // the defaults. False, said on `boxes` where there is something to say, when the program cannot go on.
    bool Load(MessageService& boxes, AlbumSettings& settings, SessionChoices& choices);

    // The remembered part of `choices`; a failure is said on `boxes`. Nothing when the session does not
    // save (see above).
    void Save(MessageService& boxes, const SessionChoices& choices);

    // The saved work folder, read only, as SettingsStore::LoadWorkFolder reads it (for the command line).
    bool ReadWorkFolder(std::string& workFolder) const { return store_.LoadWorkFolder(workFolder); }

    const std::string& dataFolder() const { return store_.programFolder(); }

private:
    ProfileStore profile_;
    SettingsStore store_;
    bool saves_ = false;
};

} // namespace aw
