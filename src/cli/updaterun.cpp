// SPDX-License-Identifier: MIT
#include "cli/updaterun.h"

#include <cstring>
#include <optional>

#include "album/albummanifest.h"
#include "cli/console.h"
#include "platform/paths.h"
#include "session/outputfolders.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

std::optional<TextId> StateText(ManifestState state) {
    switch (state) {
    case ManifestState::Damaged:
        return TextId::ManifestDamaged;
    case ManifestState::OtherProgram:
        return TextId::ManifestOtherVersion;
    case ManifestState::Future:
        return TextId::ManifestLaterVersion;
    case ManifestState::Foreign:
        return TextId::ManifestForeign;
    default:
        return std::nullopt;
    }
}

} // namespace

std::unique_ptr<ReusePlan> PlanUpdate(const ProgressRequest& request, bool prune, Console& console) {
    const std::string& album = request.job.outputFolder;
    ManifestRead earlier = LoadManifest(album, ALBUMWRIGHT_VERSION_TEXT);
    if (const std::optional<TextId> text = StateText(earlier.state))
        console.Note(FormatText(LoadText(*text), {ManifestPath(album)}));
    ReuseTarget target;
    target.albumFolder = album;
    target.dataFolder = request.dataPath;
    // Without thumbnails the run has no Thumb folder, but a prune still finds the earlier ones there.
    target.thumbnails = request.arrangementMarker != 1;
    target.thumbFolder =
        target.thumbnails ? request.thumbPath : JoinPath(album, LoadText(TextId::ThumbFolderName));
    target.audioPicture = request.job.audioPicture;
    if (request.job.backgroundIndex > 0)
        target.backgroundPath = request.job.backgroundText;
    target.version = ALBUMWRIGHT_VERSION_TEXT;
    target.prune = prune;
    target.densities = request.job.gallery ? 3 : 1;
    target.withoutPrivateFields = request.job.removeLocation != 0;
    return std::make_unique<ReusePlan>(request.items, std::move(target), std::move(earlier.entries));
}

void ReportUpdate(const ReusePlan& plan, const std::string& albumFolder, Console& console) {
    console.Note(FormatText(LoadText(TextId::ReusedAndMade),
                            {std::to_string(plan.reused()), std::to_string(plan.made())}));
    if (plan.pruned() > 0)
        console.Note(FormatText(LoadText(TextId::FilesPruned), {std::to_string(plan.pruned())}));
    if (plan.saveError() != 0)
        console.Message(FormatText(LoadText(TextId::ManifestNotWritten),
                                   {ManifestPath(albumFolder), std::strerror(plan.saveError())}),
                        LoadText(TextId::WarningCaption));
}

} // namespace aw::cli
