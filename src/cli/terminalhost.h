// The generation run's host on a terminal: status and progress go to the Console, the questions and the
// message of the run are asked and shown there, and the close request wakes the thread that waits in
// WaitForClose.
//
// Thread-safety: the RunHost calls come from the generation thread (SetStatusText also from the thread
// that requests a stop); WaitForClose runs on the owner's thread. The Console serialises the output.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "album/runhost.h"

namespace aw::cli {

class Console;

class TerminalHost : public RunHost {
public:
    // `itemCount` sets the bar's range (10 steps per item).
    TerminalHost(Console& console, int itemCount);

    void SetStatusText(const std::string& text) override;
    void AdvanceProgress(int steps) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void Inform(const std::string& text, const std::string& caption) override;
    void ReportFailure(const std::string& reason) override;
    void RequestClose(int runCode) override;

    // Waits for the close request and gives its code; `poll` is called about ten times a second while
    // waiting, outside any lock (the command line checks for Ctrl-C there).
    int WaitForClose(const std::function<void()>& poll);

    std::string failureLine() const;

private:
    Console& console_;
    mutable std::mutex lock_;
    std::condition_variable closed_;
    int runCode_ = 0;
    std::string failureLine_;
};

} // namespace aw::cli
