// SPDX-License-Identifier: MIT
// The --update side of albumwright-make: reads the album's record before the run and says when it cannot
// be trusted (then every file is made again), plans which files the run may keep, and after the run says
// how many items were reused and made, what was pruned, and whether the new record could be written.
// Main thread only; the plan itself is then used by the run (album/reuseplan.h).
#pragma once

#include <memory>

#include "album/reuseplan.h"
#include "session/createworkflow.h"

namespace aw::cli {

class Console;

// The plan for the run `request` describes, from the record in its album folder.
std::unique_ptr<ReusePlan> PlanUpdate(const ProgressRequest& request, bool prune, Console& console);

// The lines after a run that used `plan` (nothing for a run that never reached an item is left out).
void ReportUpdate(const ReusePlan& plan, const std::string& albumFolder, Console& console);

} // namespace aw::cli
