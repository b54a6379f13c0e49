// SPDX-License-Identifier: MIT
// Puts a copy of a movie or sound file that browsers play into the album, through the video module's
// MakePlayableCopy: a remux or an H.264/AAC encode of a movie, an AAC copy of a sound, or a copy without
// metadata of a file browsers already play (browserplayback.h decides which: PlayableCopyKind).
//
// For arrangements 1-4 with embedded playback the copy goes beside the original's copy under the item's
// reserved MediaItem::playableName. The Gallery calls the same Write: Clean for a playable movie or sound
// whose Data copy must carry no metadata (under the item's Data name), Remux/Encode/Sound for one that
// does not play (under its playable name).
//
// Files: the copy is written into a new file made beside `destination` (an AtomicFile: O_EXCL, so no link
// or existing file is ever opened) and renamed over `destination` only when complete: a link planted there
// is replaced, never followed, and the earlier file stays until then. On a stop or a failure the new file
// is removed here and `destination` is as it was. A destination that is the source itself is refused
// (IsSource): the user's file is never replaced. Like every Data file, the copy reaches the disk when the
// run syncs the folder at its end.
//
// Ownership and threads: borrows the imaging table, which must outlive it. One thread at a time; the
// progress callback runs on the calling thread.
#pragma once

#include <functional>
#include <string>

#include "album/browserplayback.h"
#include "album/runfailure.h"

namespace aw {

struct ImagingLibrary;

class MovieCopier {
public:
    // Told the fraction of the source's duration done (0..1, never falling) at least once per packet;
    // false stops the copy within that packet.
    using Progress = std::function<bool(double fraction)>;
    enum class Result { Written, Stopped, Failed };

    explicit MovieCopier(const ImagingLibrary& imaging) : imaging_(imaging) {}

    // `kind` must not be None. Failed also when the module lacks the entry point (then NoPlayableCopy).
    Result Write(const std::string& source, CopyKind kind, const std::string& destination,
                 const Progress& progress);

    // Why the last Write failed: a full disk or refused write at the destination, the source's type, or
    // NoPlayableCopy with the module's words; empty after any other result.
    const RunFailure& failure() const { return failure_; }

private:
    Result Fail(const std::string& file, FailureCause cause, std::string detail = {});

    const ImagingLibrary& imaging_;
    RunFailure failure_;
};

} // namespace aw
