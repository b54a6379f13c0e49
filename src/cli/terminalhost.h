// SPDX-License-Identifier: MIT
// The generation run's host on a terminal, carried out on the command line's main thread: the run talks
// to a RelayedRunHost whose poster is Post, and WaitForClose runs the posted calls in order on the main
// thread: status and progress go to the Console, the questions and the message of the run are asked and
// shown there, and the close request ends the wait. Nothing here waits for the generation thread.
//
// Thread-safety: Post may be called from any thread. Everything else, the RunHost calls included (they
// arrive through WaitForClose), belongs to the thread that runs WaitForClose.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "album/runhost.h"

namespace aw::cli {

class Console;

class TerminalHost : public RunHost {
public:
    // `itemCount` sets the bar's range (ProgressSteps).
    TerminalHost(Console& console, std::size_t itemCount);

    void SetStatusText(const std::string& text) override;
    void AdvanceProgress(int steps) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void Inform(const std::string& text, const std::string& caption) override;
    void ReportFailure(const std::string& reason) override;
    void RequestClose(int runCode) override;

    // Queues `call` to be run by WaitForClose.
    void Post(std::function<void()> call);

    // Runs the posted calls in order until the close request has been carried out and gives its code;
    // `poll` is called about ten times a second while waiting (the command line checks for Ctrl-C there).
    int WaitForClose(const std::function<void()>& poll);

    // Shows "Finishing..." (434) and keeps it: the run's later status texts are not shown.
    void ShowStopping();

    const std::string& failureLine() const { return failureLine_; }

private:
    Console& console_;
    std::mutex lock_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_; // guarded by lock_
    bool stopping_ = false;
    int runCode_ = 0;
    std::string failureLine_;
};

} // namespace aw::cli
