// SPDX-License-Identifier: MIT
#include "album/pageplayback.h"

#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/moviecopier.h"
#include "album/runhost.h"
#include "stringtable.h"

namespace aw {

PagePlayback::Plan PagePlayback::PlanFor(const MediaItem& item) const {
    const bool sound = item.kind == MediaKind::Audio;
    if (!embed_ || (!sound && !IsMovieKind(item.kind)))
        return {};
    const std::optional<AwMovieDetails> details = ReadMovieDetails(imaging_, item.path);
    // A module without the details judges movies as before and plays no sound.
    if (!details)
        return {!sound && BrowserPlaysFile(imaging_, item.path), CopyKind::None};
    const CopyKind copy = PlayableCopyKind(*details, sound, metadataFree_);
    const bool plays = sound ? BrowserPlaysSound(details->facts) : BrowserPlays(details->facts);
    if (copy == CopyKind::None || (copy == CopyKind::Clean && !imaging_.MakePlayableCopy))
        return {plays, CopyKind::None};
    if ((copy != CopyKind::Clean && item.playableName.empty()) || !imaging_.MakePlayableCopy)
        return {};
    return {true, copy};
}

PagePlayback::Outcome PagePlayback::MakeCopy(const MediaItem& item, CopyKind copy,
                                             const std::string& destination, int position, int count,
                                             int steps) {
    failure_ = {};
    int given = 0;
    int shown = -1;
    const MovieCopier::Progress progress = [&](double fraction) {
        if (cancel_.load() != 0)
            return false;
        // In tenths, so that a log of the plain output gets a line per tenth at most.
        const int tenth = static_cast<int>(fraction * 10.0);
        if (tenth > shown) {
            shown = tenth;
            host_.SetStatusText(FormatText(LoadText(TextId::PlayableCopyProgress),
                                           {std::to_string(position), std::to_string(count), item.fileName,
                                            std::to_string(tenth * 10)}));
        }
        // The last step is given when the copy is in place.
        const int due = static_cast<int>(fraction * (steps - 1));
        if (due > given) {
            host_.AdvanceProgress(due - given);
            given = due;
        }
        return true;
    };
    MovieCopier copier(imaging_);
    switch (copier.Write(item.path, copy, destination, progress)) {
    case MovieCopier::Result::Written:
        host_.AdvanceProgress(steps - given);
        return Outcome::Done;
    case MovieCopier::Result::Stopped:
        return Outcome::Stopped;
    case MovieCopier::Result::Failed:
        break;
    }
    failure_ = copier.failure();
    return Outcome::Failed;
}

} // namespace aw
