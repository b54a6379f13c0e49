// SPDX-License-Identifier: MIT
#include "cli/updaterun.h"

#include "cli/console.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

constexpr int kWarningText = 438;

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

std::unique_ptr<RecordedRun> PlanRun(const ProgressRequest& request, RecordedRun::Mode mode,
                                     Console& console) {
    auto run = std::make_unique<RecordedRun>(request, mode, ALBUMWRIGHT_VERSION_TEXT);
    if (const int text = StateText(run->earlier().read.state); text != 0 && mode.reuse)
        console.Note(FormatText(LoadText(text), {run->earlier().path}));
    return run;
}

void ReportRun(const RecordedRun& run, RecordedRun::Mode mode, Console& console) {
    const ReusePlan& plan = run.plan();
    if (mode.reuse)
        console.Note(
            FormatText(LoadText(3126), {std::to_string(plan.reused()), std::to_string(plan.made())}));
    if (plan.pruned() > 0)
        console.Note(FormatText(LoadText(3127), {std::to_string(plan.pruned())}));
    if (const std::string problem = run.problem(); !problem.empty())
        console.Message(problem, LoadText(kWarningText));
}

} // namespace aw::cli
