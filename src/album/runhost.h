// SPDX-License-Identifier: MIT
// What the generation thread talks to while it writes an album: a status line, a progress bar, two kinds of
// message box and the close request that ends the run. Implemented by the progress window, by the command
// line's terminal host and by test doubles; nothing here knows about a window system.
//
// Threading contract (no call can leave the run waiting on a thread that is itself waiting for the run):
//  - Every call is made from the generation thread; nothing else calls a RunHost the run was given.
//    CCreateThread::RequestStop only raises the cancel flag and never calls the host: whoever asks for
//    the stop shows "Finishing..." (string 434) itself.
//  - SetStatusText, AdvanceProgress and ReportFailure are posted to the host's own thread in the run's
//    order and return at once; the worker never waits for them.
//  - AskYesNo and Inform wait for the user, but on an answer the owner's teardown can give: once the
//    owner shuts its display down, a pending and every later question answers kNo and Inform returns.
//    RelayedRunHost (album/relayedrunhost.h) is the reusable form of all this.
//  - ReportFailure comes at most once per run, only before a close request with RunFailed.
//  - RequestClose comes exactly once per run, as the run's last call, also when something in the run
//    threw (then with RunFailed); it is posted and never blocks.
//  - A call that throws fails the run: the run catches it and ends with RunFailed.
//
// Ownership: the host is borrowed by the run and must outlive the thread that runs it.
#pragma once

#include <string>

namespace aw {

class RunHost {
public:
    // Answers of AskYesNo, numbered like the platform's message box results.
    static constexpr int kYes = 6;
    static constexpr int kNo = 7;

    virtual ~RunHost() = default;

    // Replaces the one line of status text.
    virtual void SetStatusText(const std::string& text) = 0;

    // Moves the progress bar forward by `steps` (10 per item; its range is 0 .. 10 x item count).
    virtual void AdvanceProgress(int steps) = 0;

    // A modal question with the question icon and the buttons Yes (the default) and No; kYes or kNo.
    virtual int AskYesNo(const std::string& text, const std::string& caption) = 0;

    // A modal message with the information icon and one OK button.
    virtual void Inform(const std::string& text, const std::string& caption) = 0;

    // One line naming the file and the cause of a failed run (DescribeFailure), kept by the host for the
    // closing message. Not called for a stop or a success.
    virtual void ReportFailure(const std::string& reason) = 0;

    // Ends the run with its code: RunWritten 1, RunStopped 2 or RunFailed 3 (album/albumjob.h).
    virtual void RequestClose(int runCode) = 0;
};

} // namespace aw
