// SPDX-License-Identifier: MIT
// A run's side of its album's record, for every run that writes an album (the window's and the command
// line's): before the run it locks the album (AlbumLock), removes what killed runs left behind when it is
// alone on the album, takes the earlier record (moving one out of the album folder, where earlier versions
// kept it) and makes the plan the run keeps and records by; the plan writes the new record when the run
// ends, naming the album's real path, its page and the choices of `request`.
//
// Ownership: the object holds the lock until it goes, and owns the plan, which the run borrows: it must
// outlive the run. The request is read in the constructor only. One thread uses the object.
#pragma once

#include <memory>
#include <string>

#include "album/albumlock.h"
#include "album/albumrecords.h"
#include "album/progressrequest.h"
#include "album/reuseplan.h"

namespace aw {

class RecordedRun {
public:
    struct Mode {
        bool reuse = false; // keep what has not changed (--update); else every file is made
        bool prune = false; // remove the album's files this run no longer uses
    };

    RecordedRun(const ProgressRequest& request, Mode mode, const std::string& version);

    ReusePlan& plan() { return *plan_; }
    const ReusePlan& plan() const { return *plan_; }
    // The record found before the run (with its state; where it was or goes).
    const FoundRecord& earlier() const { return earlier_; }
    // Where this run's record is written (empty when the state folder cannot be used).
    const std::string& recordPath() const { return recordPath_; }
    // How many files that killed runs left behind were removed.
    int staleRemoved() const { return staleRemoved_; }
    // After the run: why it is not recorded (the whole text to show), or empty when it is.
    std::string problem() const;

private:
    std::string realPath_;
    AlbumLock lock_;
    FoundRecord earlier_;
    std::string recordPath_;
    std::unique_ptr<ReusePlan> plan_;
    int staleRemoved_ = 0;
};

} // namespace aw
