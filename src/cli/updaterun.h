// SPDX-License-Identifier: MIT
// The album record's side of albumwright-make: every run is recorded (RecordedRun); with --update it says
// when the earlier record cannot be trusted (then every file is made again), and after the run how many
// items were reused and made and what was pruned; every run says when it could not be recorded.
// Main thread only; the plan itself is then used by the run (album/reuseplan.h).
#pragma once

#include <memory>

#include "album/recordedrun.h"

namespace aw::cli {

class Console;

// The recorded run for `request`, reusing and pruning as `mode` says.
std::unique_ptr<RecordedRun> PlanRun(const ProgressRequest& request, RecordedRun::Mode mode,
                                     Console& console);

// The lines after the run that used `run`.
void ReportRun(const RecordedRun& run, RecordedRun::Mode mode, Console& console);

} // namespace aw::cli
