// SPDX-License-Identifier: MIT
// One album session, the same for both front ends: the list of items (its controller), the user's choices
// (SessionChoices), the installed tables, the settings, the start-up from the media browser's hand-over or
// a file, and Create. The window (MainWindow) and the command line (albumwright-make) each own one, fill
// its choices from their controls or options and drive it; widgets are given the list's controller, they
// do not own it.
//
// Where each rule lives: the installed tables in installedtables.h, the folder proposed at start in
// HandOverState::Decide, the folders' checks in OutputFolders, the run in CreateWorkflow, what is saved
// and when in SettingsSession (with the values themselves in SettingsStore::LoadRemembered and
// SaveRemembered), the list's editing and preview rules in ListController.
//
// Options (removing locations now; originals and others later) are a field of SessionChoices each, mapped
// from the command line in cli/makecommand.cpp (ChoicesFromOptions) and from the window's controls in
// MainWindow::CollectChoices, handed to the run in CreateWorkflow::FillJob, and remembered, where they are,
// in SettingsStore::LoadRemembered and SaveRemembered. An arrangement is a row of the installed tables. A
// sort is an edit of the list (ListController::Reorder), not a choice.
//
// Ownership: owns the controller, the choices, the tables and the settings store. Thread-safety: none; the
// user-interface (main) thread only. Create hands the run a copy of the list, so nothing the user does
// while it lasts changes what the run reads.
#pragma once

#include <string>

#include "medialist/listcontroller.h"
#include "platform/messageservice.h"
#include "platform/mountinfo.h"
#include "session/albumsettings.h"
#include "session/createworkflow.h"
#include "session/sessionchoices.h"
#include "session/settingssession.h"

namespace aw {

// Where a session finds its settings and installation; every member left empty is the real place.
struct SessionPlaces {
    std::string settingsFile; // empty: the per-user settings file
    std::string dataFolder;   // holds htmldata/, with its closing "/"; empty: beside the running program
    MountInfo mounts = MountInfo(); // decides camera folders
};

class AlbumSession {
public:
    explicit AlbumSession(SessionPlaces places = {});
    AlbumSession(const AlbumSession&) = delete;
    AlbumSession& operator=(const AlbumSession&) = delete;

    ListController& list() { return list_; }
    const ListController& list() const { return list_; }
    SessionChoices& choices() { return choices_; }
    const SessionChoices& choices() const { return choices_; }
    const AlbumSettings& settings() const { return settings_; }

    // The window's start: the settings (SettingsSession::Load), said on `boxes`; false when the program
    // cannot go on.
    bool LoadSettings(MessageService& boxes);
    // The window's start-up files: asks whoever listens at `socketPath` for the media browser's selection,
    // decides between it and `startupFile` (HandOverState::Decide), takes the files into the list and
    // proposes their folder as the choices' output folder. False, said on `boxes`, when the window must not
    // open (no files, or nothing it can take).
    bool TakeStartupFiles(const std::string& startupFile, const std::string& socketPath,
                          MessageService& boxes);
    // Saves what the settings remember of the choices (on Close); see SettingsSession::Save.
    void SaveSettings(MessageService& boxes);

    // The command line's start: the tables as installed in the data folder, and the saved work folder,
    // read only (SettingsStore::LoadWorkFolder); such a session never saves.
    void UseInstalledTables();
    bool ReadSavedWorkFolder(std::string& workFolder) const;

    // One Create command on a copy of the list taken now, with the choices as they stand; the settings are
    // saved after a run that took place. Into a reopened album it is an update that prunes.
    CreateResult Create(CreateServices& services);

    // Reopens the album in `albumFolder` (ReadReopenedAlbum): the list becomes its items that still exist
    // followed by the files the list held that the album lacks (its history forgotten), the choices those
    // it was made with, the output folder that folder; the
    // files that no longer exist are named in one box. False, said on `boxes`, when the folder holds no
    // album of ours; nothing changes then.
    bool Reopen(const std::string& albumFolder, MessageService& boxes);
    // The output folder is the album reopened: Create keeps what has not changed and removes the files of
    // the items taken out.
    bool WritesIntoReopened() const;

private:
    ListController list_;
    SessionChoices choices_;
    AlbumSettings settings_;
    SettingsSession settingsSession_;
    MountInfo mounts_;
    std::string reopened_; // the real path of the album reopened; empty for none
};

} // namespace aw
