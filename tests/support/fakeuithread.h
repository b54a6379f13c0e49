// SPDX-License-Identifier: MIT
// A window's user-interface thread: closures run in order at once (Prompt), after a delay each (Slow), or
// only when RunQueued runs them on the caller's thread (Gone).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace aw::test {

class FakeUiThread {
public:
    enum class Mode { Prompt, Slow, Gone };

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
            if (mode_ == Mode::Slow)
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
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

} // namespace aw::test
