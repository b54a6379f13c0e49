// SPDX-License-Identifier: MIT
#include "cli/terminalservices.h"

#include <cerrno>
#include <utility>

extern "C" {
#include <spawn.h>
#include <sys/wait.h>
}

#include "album/createthread.h"
#include "album/relayedrunhost.h"
#include "cli/console.h"
#include "cli/terminalhost.h"
#include "cli/updaterun.h"
#include "medialist/itemlist.h"
#include "platform/interruptflag.h"

extern char** environ;

namespace aw::cli {
namespace {

struct ShutdownFirst {
    RelayedRunHost& relay;
    ~ShutdownFirst() { relay.Shutdown(); }
};

} // namespace

TerminalServices::TerminalServices(Console& console, const ImagingLibrary& imaging, UpdateChoice update)
    : console_(console), imaging_(imaging), update_(update) {}

bool TerminalServices::AskYesNo(const std::string& text, const std::string& caption, MessageIcon,
                                DefaultButton defaultButton) {
    const bool yes = console_.Ask(text, caption, defaultButton == DefaultButton::Yes);
    if (!yes)
        declined_ = true;
    return yes;
}

void TerminalServices::Inform(const std::string& text, const std::string& caption, MessageIcon) {
    console_.Message(text, caption);
}

void TerminalServices::InformWithHelp(const std::string& text, const std::string& caption, int) {
    console_.Message(text, caption);
}

ProgressOutcome TerminalServices::RunProgress(const ProgressRequest& request) {
    // A Ctrl-C during the questions before the run already means "stop": nothing is written.
    if (InterruptFlag::Raised())
        return ProgressOutcome{RunStopped, {}};
    // Made before the run and outliving it: the run records into it to the end.
    const RecordedRun::Mode mode{update_.update, update_.update && update_.prune};
    const std::unique_ptr<RecordedRun> recorded = PlanRun(request, mode, console_);
    TerminalHost host(console_, request.items.size());
    RelayedRunHost relay(host, [&host](RelayedRunHost::Call call) { host.Post(std::move(call)); });
    CCreateThread thread(
        relay, request.items, request.job,
        RunFolders{request.dataPath, request.thumbPath, request.workFolder, request.arrangementMarker},
        imaging_);
    thread.UseReusePlan(recorded->plan());
    // Whatever way this function is left, the relay is shut down before the thread is joined, so a
    // question the worker waits on answers No instead of waiting for this thread.
    const ShutdownFirst shutdownFirst{relay};
    thread.Start();
    bool stopAsked = false;
    const int code = host.WaitForClose([&] {
        if (!stopAsked && InterruptFlag::Raised()) {
            stopAsked = true;
            host.ShowStopping();
            thread.RequestStop();
        }
    });
    relay.Shutdown();
    thread.Join();
    ReportRun(*recorded, mode, console_);
    return ProgressOutcome{code, code == RunFailed ? host.failureLine() : std::string()};
}

bool TerminalServices::OpenInBrowser(const std::string& pagePath) {
    // The desktop's default opener; the path goes as one argument, never through a shell.
    std::string program = "xdg-open";
    std::string argument = pagePath;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace aw::cli
