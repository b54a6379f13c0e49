// SPDX-License-Identifier: MIT
#include "cli/terminalhost.h"

#include <chrono>
#include <utility>

#include "album/progressrequest.h"
#include "cli/console.h"
#include "stringtable.h"

namespace aw::cli {

TerminalHost::TerminalHost(Console& console, std::size_t itemCount) : console_(console) {
    console_.StartProgress(ProgressSteps(itemCount));
}

void TerminalHost::SetStatusText(const std::string& text) {
    // Item texts already on their way when the user stopped must not hide that the run is finishing.
    if (!stopping_)
        console_.Status(text);
}

void TerminalHost::AdvanceProgress(int steps) {
    console_.Advance(steps);
}

int TerminalHost::AskYesNo(const std::string& text, const std::string& caption) {
    return console_.Ask(text, caption, true) ? kYes : kNo;
}

void TerminalHost::Inform(const std::string& text, const std::string& caption) {
    console_.Message(text, caption);
}

void TerminalHost::ReportFailure(const std::string& reason) {
    failureLine_ = reason;
}

void TerminalHost::RequestClose(int runCode) {
    console_.EndProgress();
    runCode_ = runCode;
}

void TerminalHost::ShowStopping() {
    console_.Status(LoadText(TextId::Finishing));
    stopping_ = true;
}

void TerminalHost::Post(std::function<void()> call) {
    {
        std::lock_guard guard(lock_);
        calls_.push_back(std::move(call));
    }
    posted_.notify_one();
}

int TerminalHost::WaitForClose(const std::function<void()>& poll) {
    while (runCode_ == 0) {
        std::function<void()> call;
        {
            std::unique_lock guard(lock_);
            if (posted_.wait_for(guard, std::chrono::milliseconds(100), [this] { return !calls_.empty(); })) {
                call = std::move(calls_.front());
                calls_.pop_front();
            }
        }
        // Outside the lock: a question waits for the terminal, and the run keeps posting meanwhile.
        if (call)
            call();
        poll();
    }
    return runCode_;
}

} // namespace aw::cli
