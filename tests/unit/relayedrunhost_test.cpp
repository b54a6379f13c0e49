// SPDX-License-Identifier: MIT
#include "album/relayedrunhost.h"

#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>

#include <gtest/gtest.h>

#include "support/fakeuithread.h"
#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using test::FakeUiThread;
using Texts = std::vector<std::string>;

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

// A question's exception reaches the worker at once, a posted call's at a next call; a close's is dropped.
TEST(RelayedRunHost, TargetExceptionsReachTheWorker) {
    UiHost ui;
    FakeUiThread thread(FakeUiThread::Mode::Prompt);
    RelayedRunHost relay(ui, thread.Poster());
    EXPECT_THROW(relay.AskYesNo("question!", "Confirmation"), std::runtime_error);
    relay.SetStatusText("1 of 2!");
    // The status has been carried out (and has thrown) by the time the message returns or refuses.
    int thrown = 0;
    for (int call = 0; call < 2; ++call) {
        try {
            call == 0 ? relay.Inform("after the status", "Information") : relay.AdvanceProgress(10);
        } catch (const std::runtime_error&) {
            ++thrown;
        }
    }
    EXPECT_EQ(thrown, 1);
    relay.AdvanceProgress(10);
    relay.RequestClose(3);
    ASSERT_TRUE(test::WaitUntil([&] { return ui.Events().back() == "close 3"; }));
    EXPECT_EQ(ui.Events().end()[-2], "advance 10");
}

} // namespace
} // namespace aw
