// SPDX-License-Identifier: MIT
#include "album/relayedrunhost.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// A window's user-interface thread: closures run in order at once (Prompt), or only when RunQueued runs
// them on the caller's thread (Gone).
class FakeUiThread {
public:
    enum class Mode { Prompt, Gone };

    explicit FakeUiThread(Mode mode) : mode_(mode) {
        if (mode_ != Mode::Gone)
            thread_ = std::thread([this] { Loop(); });
    }
    ~FakeUiThread() { Stop(); }
    FakeUiThread(const FakeUiThread&) = delete;
    FakeUiThread& operator=(const FakeUiThread&) = delete;

    std::function<void(std::function<void()>)> Poster() {
        return [this](std::function<void()> call) {
            {
                std::lock_guard guard(lock_);
                calls_.push_back(std::move(call));
            }
            wake_.notify_one();
        };
    }

    // Gone only: runs what is queued now, in order, on the calling thread.
    void RunQueued() {
        for (auto& call : TakeQueued())
            call();
    }

    // Ends the thread after the closure it runs now; the closures still queued are destroyed unrun.
    void Stop() {
        {
            std::lock_guard guard(lock_);
            stopped_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
        TakeQueued(); // destroyed here, outside the lock
    }

private:
    std::deque<std::function<void()>> TakeQueued() {
        std::lock_guard guard(lock_);
        return std::exchange(calls_, {});
    }
    void Loop() {
        for (;;) {
            std::function<void()> call;
            {
                std::unique_lock guard(lock_);
                wake_.wait(guard, [this] { return stopped_ || !calls_.empty(); });
                if (stopped_)
                    return;
                call = std::move(calls_.front());
                calls_.pop_front();
            }
            call();
        }
    }

    const Mode mode_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> calls_;
    bool stopped_ = false;
    std::thread thread_;
};

// Records every call; a text ending in '!' and close request 3 throw; `onAsk` runs inside AskYesNo.
class UiHost : public RunHost {
public:
    void SetStatusText(const std::string& text) override { Record("status " + text); }
    void AdvanceProgress(int steps) override { Record("advance " + std::to_string(steps)); }
    int AskYesNo(const std::string& text, const std::string&) override {
        Record("ask " + text);
        if (onAsk)
            onAsk();
        return kYes;
    }
    void Inform(const std::string& text, const std::string&) override { Record("inform " + text); }
    void ReportFailure(const std::string& reason) override { Record("failure " + reason); }
    void RequestClose(int runCode) override { Record("close " + std::to_string(runCode)); }
    Texts Events() { return std::lock_guard(lock), events; }
    std::function<void()> onAsk;

private:
    void Record(const std::string& event) {
        std::lock_guard guard(lock);
        events.push_back(event);
        if (event.ends_with('!') || event == "close 3")
            throw std::runtime_error(event);
    }
    std::mutex lock;
    Texts events;
};

// Teardown (Shutdown, or the queue lost) answers a waiting question No; then nothing reaches the target.
TEST(RelayedRunHost, TeardownReleasesAWaitingQuestion) {
    for (const int mode : {0, 1, 2, 3}) {
        const bool inform = mode & 1, dropQueue = mode & 2;
        SCOPED_TRACE(mode);
        UiHost ui;
        FakeUiThread thread(FakeUiThread::Mode::Gone);
        RelayedRunHost relay(ui, thread.Poster());
        const test::Watchdog watchdog(10s, "a question released by teardown");
        auto worker = std::async(std::launch::async, [&] {
            relay.SetStatusText("before");
            return inform ? (relay.Inform("message", "-"), RunHost::kNo) : relay.AskYesNo("question", "-");
        });
        ASSERT_TRUE(test::WaitUntil([&] { return relay.waitingQuestions() == 1; }));
        dropQueue ? thread.Stop() : relay.Shutdown();
        EXPECT_EQ(worker.get(), RunHost::kNo);
        if (dropQueue)
            continue;
        EXPECT_EQ(relay.AskYesNo("later", "-"), RunHost::kNo);
        relay.Inform("later", "-");
        relay.RequestClose(2);
        thread.RunQueued();
        EXPECT_EQ(ui.Events(), Texts{});
    }
}

// A window closed from inside its own question box neither deadlocks nor lets the late answer through.
TEST(RelayedRunHost, ShutdownInsideTheTargetsQuestion) {
    UiHost ui;
    FakeUiThread thread(FakeUiThread::Mode::Prompt);
    RelayedRunHost relay(ui, thread.Poster());
    ui.onAsk = [&] { relay.Shutdown(); };
    const test::Watchdog watchdog(10s, "Shutdown inside a question");
    EXPECT_EQ(relay.AskYesNo("question", "Confirmation"), RunHost::kNo);
}

} // namespace
} // namespace aw
