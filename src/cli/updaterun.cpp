// SPDX-License-Identifier: MIT
#include "cli/updaterun.h"

#include <cstring>

#include "album/albummanifest.h"
#include "cli/console.h"
#include "mainwindow/outputfolders.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

constexpr int kThumbFolderText = 312;

int StateText(ManifestState state) {
    switch (state) {
    case ManifestState::Damaged:
        return 3122;
    case ManifestState::OtherProgram:
        return 3123;
    case ManifestState::Future:
        return 3124;
    case ManifestState::Foreign:
        return 3125;
    default:
        return 0;
    }
}

} // namespace

std::unique_ptr<ReusePlan> PlanUpdate(const ProgressRequest& request, bool prune, Console& console) {
    const std::string& album = request.job.outputFolder;
    ManifestRead earlier = LoadManifest(album, ALBUMWRIGHT_VERSION_TEXT);
    if (const int text = StateText(earlier.state); text != 0)
        console.Note(FormatText(LoadText(text), {ManifestPath(album)}));
    ReuseTarget target;
    target.albumFolder = album;
    target.dataFolder = request.dataPath;
    // Without thumbnails the run has no Thumb folder, but a prune still finds the earlier ones there.
    target.thumbnails = request.arrangementMarker != 1;
    target.thumbFolder =
        target.thumbnails ? request.thumbPath : OutputFolders::JoinPath(album, LoadText(kThumbFolderText));
    target.audioPicture = request.job.audioPicture;
    if (request.job.backgroundIndex > 0)
        target.backgroundPath = request.job.backgroundText;
    target.version = ALBUMWRIGHT_VERSION_TEXT;
    target.prune = prune;
    target.withoutPrivateFields = request.job.removeLocation != 0;
    return std::make_unique<ReusePlan>(request.items, std::move(target), std::move(earlier.entries));
}

void ReportUpdate(const ReusePlan& plan, const std::string& albumFolder, Console& console) {
    console.Note(FormatText(LoadText(3126), {std::to_string(plan.reused()), std::to_string(plan.made())}));
    if (plan.pruned() > 0)
        console.Note(FormatText(LoadText(3127), {std::to_string(plan.pruned())}));
    if (plan.saveError() != 0)
        console.Message(
            FormatText(LoadText(3128), {ManifestPath(albumFolder), std::strerror(plan.saveError())}),
            LoadText(438));
}

} // namespace aw::cli
