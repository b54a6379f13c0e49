// SPDX-License-Identifier: MIT
// The program's settings on top of the per-user store: the installed tables written at every start and
// read back into AlbumSettings, and the choices remembered from one session to the next (LoadRemembered,
// SaveRemembered: the only two places that read and write them).
//
// The settings live under the key Software/<company>/<product>/ENV (strings 316, 317, 318); reads name the
// same key through string 307, which differs only in case. Text values count their terminating zero in
// their size, as the 260-byte reading rule expects.
//
// Ownership: the store is referenced, not owned, and must outlive this object. Thread-safety: none; the
// user-interface thread only.
#pragma once

#include <cstddef>
#include <string>

#include "dialogs/systeminfo.h"
#include "platform/profilestore.h"
#include "session/albumsettings.h"
#include "session/sessionchoices.h"

namespace aw {

class SettingsStore {
public:
    // The buffer size the settings are read with; a value of this size or more reads as empty.
    static constexpr std::size_t kValueBufferSize = 260;

    // `programFolder` ends with "/" and holds htmldata/; empty means DataFolderFor(ProgramFolder()).
    explicit SettingsStore(ProfileStore& store, std::string programFolder = {},
                           SystemInfo info = SystemInfo());

    // The names the next profile calls build their key from: Software/<company>/<product>/<section>.
    // They start as the program's own (strings 316 and 317).
    void SetProfileNames(const std::string& company, const std::string& product);
    // The stored number when the value exists and is a number; `fallback` otherwise.
    int GetProfileInt(const std::string& section, const std::string& name, int fallback);

    // The size of the value in bytes (a text's terminating zero included), 0 when the key or the value is
    // missing. `text` receives the value only when that size is below `bufferSize`; else it is left empty.
    // A number is read as its decimal text with size 4.
    std::size_t ReadRegistryPath(const std::string& keyPath, const std::string& name, std::string& text,
                                 std::size_t bufferSize = kValueBufferSize) const;

    // The start-up sequence: each false means the program cannot go on as it is (see SettingsSession).
    // The installed tables, in one save; the remembered choices are left as stored.
    bool WriteDefaultSettings();
    // The tables as stored; false when one of their values is missing.
    bool LoadTables(AlbumSettings& settings);
    // The remembered choices into `choices`: the embed flag, title, colours, background, arrangement,
    // "view in browser", originals, removing locations and the window's place; each one missing or out of
    // its range (a file of an earlier version) leaves its choice alone. The work folder as LoadWorkFolder
    // reads it. False when there is no work folder at all.
    bool LoadRemembered(SessionChoices& choices);
    // The stored TempPath when it has two characters or more and is a usable work folder, else the
    // system's temporary folder. The result always ends with "/"; false (and nothing set) when even the
    // system has none. Reads only.
    bool LoadWorkFolder(std::string& workFolder) const;

    // The remembered choices (as LoadRemembered reads them) and the work folder, in one save. False when they
    // could not be saved; a settings file the user made read-only is left alone and gives false once a
    // session, true afterwards (said once).
    bool SaveRemembered(const SessionChoices& choices);

    const std::string& programFolder() const { return programFolder_; }

private:
    std::string KeyPath(const std::string& section) const;

    ProfileStore& store_;
    std::string programFolder_;
    SystemInfo info_;
    std::string company_;
    std::string product_;
    bool readOnlyReported_ = false;
};

} // namespace aw
