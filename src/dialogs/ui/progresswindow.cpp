// SPDX-License-Identifier: MIT
#include "dialogs/ui/progresswindow.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "album/albumjob.h"
#include "album/createthread.h"
#include "album/progressrequest.h"
#include "album/relayedrunhost.h"
#include "dialogs/ui/messageboxservice.h"
#include "platform/interruptflag.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kWidth = 333;
constexpr int kHeight = 144;
constexpr int kStatusId = 1078;
constexpr int kBarId = 1079;
constexpr int kStopId = 1016;
constexpr std::chrono::milliseconds kInterruptPoll{100};

QString Text(TextId id) {
    return QString::fromStdString(LoadText(id));
}

// Places a control by its client rectangle (left, top, right, bottom; right and bottom exclusive).
void Place(QWidget* widget, int id, int left, int top, int right, int bottom) {
    widget->setObjectName(QStringLiteral("c%1").arg(id));
    widget->setProperty("controlId", id);
    widget->setGeometry(left, top, right - left, bottom - top);
}

} // namespace

ProgressWindow::ProgressWindow(const ProgressRequest& request, const ImagingLibrary& imaging, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(std::make_unique<MessageBoxService>(this)) {
    // Children inherit the window's font; the bar draws no text of its own.
    status_ = new QLabel(this);
    Place(status_, kStatusId, 30, 30, 300, 50);
    bar_ = new QProgressBar(this);
    Place(bar_, kBarId, 30, 50, 300, 65);
    bar_->setTextVisible(false);
    stop_ = new QPushButton(this);
    Place(stop_, kStopId, 120, 80, 200, 100);
    stop_->setFocusPolicy(Qt::StrongFocus);
    stop_->setDefault(true);
    setFixedSize(kWidth, kHeight);

    setWindowTitle(Text(TextId::CreatingTitle));
    status_->setText(Text(TextId::CreatingTitle));
    stop_->setText(Text(TextId::StopButton));

    // Not cut to 16 bits: the steps saturate long before an int would wrap.
    bar_->setRange(0, ProgressSteps(request.items.size()));
    bar_->setValue(0);
    connect(stop_, &QPushButton::clicked, this, &ProgressWindow::RequestStop);
    // SIGTERM, SIGINT or SIGHUP (a logout, a shutdown) stop the run as Stop does: at its next step, its
    // temporary files removed and the earlier page kept.
    auto* interruptWatch = new QTimer(this);
    connect(interruptWatch, &QTimer::timeout, this, &ProgressWindow::StopWhenInterrupted);
    interruptWatch->start(kInterruptPoll);

    // The relay posts to this window's thread; a post to a window already gone is dropped by Qt, and the
    // destructor shuts the relay down before anything else goes.
    relay_ =
        std::make_unique<RelayedRunHost>(static_cast<RunHost&>(*this), [this](RelayedRunHost::Call call) {
            QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
        });
    thread_ = std::make_unique<CCreateThread>(
        *relay_, request.items, request.job,
        RunFolders{request.dataPath, request.thumbPath, request.workFolder, request.arrangementMarker},
        imaging);
}

ProgressWindow::~ProgressWindow() {
    EndRun();
}

void ProgressWindow::SetMessageService(std::unique_ptr<MessageService> messages) {
    if (messages)
        messages_ = std::move(messages);
}

void ProgressWindow::UseReusePlan(ReusePlan& plan) {
    thread_->UseReusePlan(plan);
}

void ProgressWindow::Start() {
    if (started_)
        return;
    started_ = true;
    try {
        thread_->Start();
    } catch (const std::system_error& error) {
        // No thread for the run (the process is out of threads or memory): the run ends as failed, saying
        // why, instead of the exception leaving the window's slot.
        ReportFailure(FormatText(LoadText(TextId::WorkNotStarted), {error.what()}));
        RequestClose(RunFailed);
    }
}

int ProgressWindow::Run() {
    Start();
    if (closeCode_ == 0)
        exec();
    EndRun();
    // Without a close request (the modal run was ended from outside) the run's own code tells how it ended.
    return closeCode_ != 0 ? closeCode_ : thread_->result();
}

int ProgressWindow::waitingQuestions() const {
    return relay_->waitingQuestions();
}

void ProgressWindow::reject() {
    if (started_ && !ended_ && closeCode_ == 0)
        RequestStop();
    else
        QDialog::reject();
}

void ProgressWindow::RequestStop() {
    // Once the close request has come there is nothing left to stop; the window is closing.
    if (closeCode_ != 0 || ended_)
        return;
    stopping_ = true;
    status_->setText(Text(TextId::Finishing));
    thread_->RequestStop();
}

void ProgressWindow::EndRun() {
    if (ended_)
        return;
    ended_ = true;
    // Raise the flag first, so that a run released from its question stops at its next check; then
    // release that question and keep later calls away from this window, and join: the worker can no
    // longer wait for this thread.
    thread_->RequestStop();
    relay_->Shutdown();
    thread_->Join();
}

void ProgressWindow::SetStatusText(const std::string& text) {
    // Item texts still on their way must not hide that the run is finishing.
    if (!stopping_)
        status_->setText(QString::fromStdString(text));
}

void ProgressWindow::AdvanceProgress(int steps) {
    done_ = static_cast<int>(
        std::min<long long>(static_cast<long long>(done_) + std::max(steps, 0), bar_->maximum()));
    bar_->setValue(done_);
}

void ProgressWindow::StopWhenInterrupted() {
    if (InterruptFlag::Raised())
        RequestStop();
}

int ProgressWindow::AskYesNo(const std::string& text, const std::string& caption) {
    const bool yes = messages_->AskYesNo(text, caption, MessageIcon::Question, DefaultButton::Yes);
    StopWhenInterrupted(); // before the run goes on: an interrupt while the question was shown stops it
    return yes ? kYes : kNo;
}

void ProgressWindow::Inform(const std::string& text, const std::string& caption) {
    messages_->Inform(text, caption, MessageIcon::Information);
}

void ProgressWindow::ReportFailure(const std::string& reason) {
    failureLine_ = reason;
}

void ProgressWindow::RequestClose(int runCode) {
    // Only the three run codes end the window.
    if (runCode < RunWritten || runCode > RunFailed || closeCode_ != 0)
        return;
    closeCode_ = runCode;
    done(runCode);
}

} // namespace aw
