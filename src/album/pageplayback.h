// SPDX-License-Identifier: MIT
// Movies and sounds played in the page of arrangements 1-4 with embedded playback: per item, whether the
// page plays it as it is, through a copy browsers play (browserplayback.h decides which), or not at all;
// and the making of that copy under the item's playable name, its progress shown within the item's
// progress steps (status text 3507) and the run's cancel flag honoured within a packet.
//
// Ownership and threads: used by the generation thread alone; the imaging table, the host and the cancel
// flag are borrowed from the run and must outlive the object.
#pragma once

#include <atomic>
#include <string>

#include "album/browserplayback.h"
#include "album/mediaitem.h"
#include "album/runfailure.h"

namespace aw {

class RunHost;
struct ImagingLibrary;

class PagePlayback {
public:
    struct Plan {
        bool plays = false;             // the page plays the item (itself, or its copy)
        CopyKind copy = CopyKind::None; // the copy to put under the item's playable name
    };
    enum class Outcome { Done, Stopped, Failed };

    // embed: the job's embedded playback; without it no item plays and no copy is made. metadataFree (the
    // Gallery): a movie or sound that plays as it is gets a Clean copy to stand in for it.
    PagePlayback(const ImagingLibrary& imaging, RunHost& host, const std::atomic<int>& cancel, bool embed,
                 bool metadataFree = false)
        : imaging_(imaging), host_(host), cancel_(cancel), embed_(embed), metadataFree_(metadataFree) {}

    // Reads the item's file. A copy is planned only when the video module makes copies and, but for a
    // Clean one (which takes the item's Data name), the item has a playable name reserved; otherwise the
    // item plays only when it plays as it is.
    Plan PlanFor(const MediaItem& item) const;

    // Makes `copy` of the item at `destination`, advancing the host's progress by `steps` in all when done
    // and showing "position of count" with the percentage. Failed: failure() says why.
    Outcome MakeCopy(const MediaItem& item, CopyKind copy, const std::string& destination, int position,
                     int count, int steps);
    const RunFailure& failure() const { return failure_; }

private:
    const ImagingLibrary& imaging_;
    RunHost& host_;
    const std::atomic<int>& cancel_;
    bool embed_;
    bool metadataFree_;
    RunFailure failure_;
};

} // namespace aw
