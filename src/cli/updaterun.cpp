// SPDX-License-Identifier: MIT
#include "cli/updaterun.h"

#include <optional>

#include "cli/console.h"
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

std::unique_ptr<RecordedRun> PlanRun(const ProgressRequest& request, RecordedRun::Mode mode,
                                     Console& console) {
    auto run = std::make_unique<RecordedRun>(request, mode, ALBUMWRIGHT_VERSION_TEXT);
    if (const std::optional<TextId> text = StateText(run->earlier().read.state); text && mode.reuse)
        console.Note(FormatText(LoadText(*text), {run->earlier().path}));
    return run;
}

void ReportRun(const RecordedRun& run, RecordedRun::Mode mode, Console& console) {
    const ReusePlan& plan = run.plan();
    if (mode.reuse)
        console.Note(FormatText(LoadText(TextId::ReusedAndMade),
                                {std::to_string(plan.reused()), std::to_string(plan.made())}));
    if (plan.pruned() > 0)
        console.Note(FormatText(LoadText(TextId::FilesPruned), {std::to_string(plan.pruned())}));
    if (const std::string problem = run.problem(); !problem.empty())
        console.Message(problem, LoadText(TextId::WarningCaption));
}

} // namespace aw::cli
