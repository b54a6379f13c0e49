// SPDX-License-Identifier: MIT
#include "session/albumsession.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "album/albumjob.h"
#include "album/albumrecords.h"
#include "medialist/itemlist.h"
#include "session/handoverstate.h"
#include "session/installedtables.h"
#include "session/outputfolders.h"
#include "session/reopenedalbum.h"
#include "stringtable.h"

namespace aw {

AlbumSession::AlbumSession(SessionPlaces places)
    : settingsSession_(std::move(places.settingsFile), std::move(places.dataFolder)),
      mounts_(std::move(places.mounts)) {}

bool AlbumSession::LoadSettings(MessageService& boxes) {
    return settingsSession_.Load(boxes, settings_, choices_);
}

bool AlbumSession::TakeStartupFiles(const std::string& startupFile, const std::string& socketPath,
                                    MessageService& boxes) {
    HandOverState handOver;
    handOver.AskBrowser(socketPath);
    const OutputFolders folders(boxes, mounts_);
    const StartupDecision decision = handOver.Decide(startupFile, folders);
    if (decision.source == StartupSource::EmptyList)
        return true;
    if (decision.source == StartupSource::NoFiles) {
        boxes.Inform(LoadText(TextId::NoFilesSelected), LoadText(TextId::ErrorCaption), MessageIcon::Stop);
        return false;
    }
    const IntakeRefusal refused = decision.source == StartupSource::Selection
                                      ? list_.TakeBrowserSelection(*handOver.selectionBlock())
                                      : list_.TakeStartupFile(startupFile);
    if (refused) {
        boxes.Inform(LoadText(*refused), LoadText(TextId::ErrorCaption), MessageIcon::Stop);
        return false;
    }
    choices_.outputFolder = decision.initialFolder;
    return true;
}

void AlbumSession::SaveSettings(MessageService& boxes) {
    settingsSession_.Save(boxes, choices_);
}

void AlbumSession::UseInstalledTables() {
    FillInstalledTables(settingsSession_.dataFolder(), settings_);
}

bool AlbumSession::ReadSavedWorkFolder(std::string& workFolder) const {
    return settingsSession_.ReadWorkFolder(workFolder);
}

bool AlbumSession::Reopen(const std::string& albumFolder, MessageService& boxes) {
    const ReopenedAlbum album = ReadReopenedAlbum(albumFolder);
    if (!album.found) {
        boxes.Inform(album.problem, LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
        return false;
    }
    // Files the user already had in the list are added to the album after its own items.
    std::vector<std::string> paths = album.sources;
    for (const MediaItem& item : list_.items().items())
        if (std::find(paths.begin(), paths.end(), item.path) == paths.end())
            paths.push_back(item.path);
    list_.Reset();
    list_.TakeFiles(paths);
    ApplyRecordedChoices(album.choices, choices_);
    choices_.outputFolder = albumFolder;
    reopened_ = AlbumRealPath(albumFolder);
    if (!album.missing.empty()) {
        std::string names;
        for (const std::string& path : album.missing)
            names += (names.empty() ? "" : "\n") + path;
        boxes.Inform(FormatText(LoadText(TextId::SourcesMissing), {names}),
                     LoadText(TextId::InformationCaption), MessageIcon::Information);
    }
    return true;
}

bool AlbumSession::WritesIntoReopened() const {
    return !reopened_.empty() &&
           AlbumRealPath(ExpandHomeFolder(WithoutLeadingBlanks(choices_.outputFolder))) == reopened_;
}

CreateResult AlbumSession::Create(CreateServices& services) {
    // Into the album reopened, an update (no question about its own files); anywhere else, as chosen.
    if (!reopened_.empty())
        choices_.update = WritesIntoReopened();
    // The run names and numbers the items in its copy; the list the user sees keeps its own.
    ItemList snapshot(list_.items().items());
    AlbumJob job;
    const CreateResult result = CreateWorkflow(services, mounts_).Run(job, snapshot, choices_, settings_);
    if (result.reachedRun)
        SaveSettings(services);
    return result;
}

} // namespace aw
