// SPDX-License-Identifier: MIT
// The program's settings on top of the per-user store: the default file tables written at every start,
// their reading into AlbumSettings, the work folder, and the two values saved after a run and on Close.
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
#include "mainwindow/albumsettings.h"
#include "platform/profilestore.h"

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
    bool WriteProfileString(const std::string& section, const std::string& name, const std::string& text);
    bool WriteProfileInt(const std::string& section, const std::string& name, int value);
    // The stored number when the value exists and is a number; `fallback` otherwise.
    int GetProfileInt(const std::string& section, const std::string& name, int fallback);

    // The size of the value in bytes (a text's terminating zero included), 0 when the key or the value is
    // missing. `text` receives the value only when that size is below `bufferSize`; else it is left empty.
    // A number is read as its decimal text with size 4.
    std::size_t ReadRegistryPath(const std::string& keyPath, const std::string& name, std::string& text,
                                 std::size_t bufferSize = kValueBufferSize) const;

    // The start-up sequence: each false means the program cannot go on as it is (see the main window).
    bool WriteDefaultSettings();
    // The tables, audio picture and embed flag that WriteDefaultSettings stores, straight into `settings`
    // (the work folder is left alone); for a session whose settings file cannot be used. False when the
    // program's data folder is unknown.
    bool DefaultSettings(AlbumSettings& settings) const;
    bool LoadSettings(AlbumSettings& settings);
    // The stored TempPath when it has two characters or more and is a usable work folder, else the
    // system's temporary folder. The result always ends with "/".
    bool LoadWorkFolder(AlbumSettings& settings) const;

    // After every run that reached the progress window, and on Close. False when the value could not be
    // saved; a settings file the user made read-only is left alone and gives false once a session, true
    // afterwards (said once).
    bool SaveEmbedFlag(int embedPlayback);
    bool SaveWorkFolder(const std::string& workFolder);

    // The folder holding htmldata/, with its closing "/", for a program in `programFolder`: that folder
    // itself (the build tree), else <programFolder>/../share/albumwright/ (installed); empty when neither
    // has it.
    static std::string DataFolderFor(const std::string& programFolder);

    const std::string& programFolder() const { return programFolder_; }

private:
    std::string KeyPath(const std::string& section) const;
    bool SaveSessionValue(const ProfileStore::NamedValue& value);

    ProfileStore& store_;
    std::string programFolder_;
    SystemInfo info_;
    std::string company_;
    std::string product_;
    bool readOnlyReported_ = false;
};

} // namespace aw
