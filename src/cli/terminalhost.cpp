#include "cli/terminalhost.h"

#include <chrono>

#include "cli/console.h"

namespace aw::cli {

TerminalHost::TerminalHost(Console& console, int itemCount) : console_(console) {
    console_.StartProgress(10 * itemCount);
}

void TerminalHost::SetStatusText(const std::string& text) {
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
    std::lock_guard guard(lock_);
    failureLine_ = reason;
}

void TerminalHost::RequestClose(int runCode) {
    console_.EndProgress();
    {
        std::lock_guard guard(lock_);
        runCode_ = runCode;
    }
    closed_.notify_all();
}

int TerminalHost::WaitForClose(const std::function<void()>& poll) {
    std::unique_lock guard(lock_);
    while (runCode_ == 0) {
        if (closed_.wait_for(guard, std::chrono::milliseconds(100), [this] { return runCode_ != 0; }))
            break;
        guard.unlock();
        poll();
        guard.lock();
    }
    return runCode_;
}

std::string TerminalHost::failureLine() const {
    std::lock_guard guard(lock_);
    return failureLine_;
}

} // namespace aw::cli
