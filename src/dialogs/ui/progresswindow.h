// SPDX-License-Identifier: MIT
// The small modal window shown while an album is written: a status line (1078), a smooth bar (1079) and
// Stop (1016), title "Creating..." (214), no close box. It runs one CCreateThread, shows what the run
// reports, turns Stop, Esc and a window-manager close into a stop request ("Finishing..." (434) in the
// status line, then the run's cancel flag), and so does an interrupt (InterruptFlag), and ends its modal run
// with the run's code (1 written,
// 2 stopped, 3 failed).
//
// The run's host calls reach the window through a RelayedRunHost posting to this window's thread: status
// and progress never make the worker wait, and the questions and the message wait for an answer that the
// window's teardown gives as No. Questions and the message are shown by the window's MessageService (boxes
// owned by this window unless a test put its own in place).
//
// Ownership: the window owns the run, the relay and the message service. The request is read during
// construction only (the run takes its own copies of the items and the job); the imaging table is
// borrowed and must outlive the window. The window joins the run after its modal run and in its
// destructor; destroying it during a run shuts the relay down first, so it never waits for itself.
//
// Thread-safety: user-interface thread only (the run's worker reaches it only through the relay).
#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "album/runhost.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace aw {

class CCreateThread;
class MessageService;
class RelayedRunHost;
class ReusePlan;
struct ImagingLibrary;
struct ProgressRequest;

class ProgressWindow : public QDialog, private RunHost {
    Q_OBJECT

public:
    ProgressWindow(const ProgressRequest& request, const ImagingLibrary& imaging, QWidget* owner = nullptr);
    ~ProgressWindow() override;

    // Starts the run, shows the window modally until the run's close request, joins the run and gives its
    // code 1, 2 or 3. Once per window.
    int Run();

    // With code 3: which file and why (may be empty); else empty.
    const std::string& failureLine() const { return failureLine_; }

    // Puts `messages` in place of the boxes; before Run.
    void SetMessageService(std::unique_ptr<MessageService> messages);

    // Has the run keep and record its files by `plan` (CCreateThread::UseReusePlan); before Run. The plan
    // is borrowed and must outlive the window.
    void UseReusePlan(ReusePlan& plan);

    // Starts the run without the modal loop (Run does this first); for tests that drive the event loop
    // themselves. Once per window.
    void Start();

    // How many of the run's questions wait for their answer now.
    int waitingQuestions() const;

protected:
    // Esc, and the window manager's close through QDialog::closeEvent: the stop request while a run lasts.
    void reject() override;

private:
    void RequestStop();
    void StopWhenInterrupted();
    void EndRun();

    // The run's host calls, carried out here on the user-interface thread.
    void SetStatusText(const std::string& text) override;
    void AdvanceProgress(int steps) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void Inform(const std::string& text, const std::string& caption) override;
    void ReportFailure(const std::string& reason) override;
    void RequestClose(int runCode) override;

    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* stop_ = nullptr;
    std::unique_ptr<MessageService> messages_;
    std::unique_ptr<RelayedRunHost> relay_;
    std::unique_ptr<CCreateThread> thread_;
    bool started_ = false;
    bool stopping_ = false;
    bool ended_ = false;
    int closeCode_ = 0; // the code of the close request, once it has arrived
    int done_ = 0;      // progress steps so far
    std::string failureLine_;
};

} // namespace aw
