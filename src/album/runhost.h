// What the generation thread talks to while it writes an album: a status line, a progress bar, two kinds of
// message box and the close request that ends the run. Implemented by the progress window, by the command
// line's terminal host and by test doubles; nothing here knows about a window system.
//
// Threading contract:
//  - Every call is made from the generation thread, with one exception: CCreateThread::RequestStop calls
//    SetStatusText on the thread that asks for the stop (the window's own user-interface thread, or a test
//    callback already on the generation thread). An implementation that hands calls over to its own thread
//    must therefore carry out a call made on that thread directly instead of waiting for itself.
//  - SetStatusText, AdvanceProgress, AskYesNo and Inform are carried out on the host's own thread and return
//    when they are done (the window uses blocking queued calls; a sent message on the original platform).
//    The generation thread waits meanwhile, so the order of everything the user sees is the run's order.
//  - ReportFailure comes at most once per run, only before a close request with RunFailed.
//  - RequestClose comes exactly once per run, as the run's last call, and must not block: the host posts
//    it (the window ends its modal run with the code) and returns at once.
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
