// SPDX-License-Identifier: MIT
// Turns a hang into a failure: still armed (not destroyed) when its time is up, it names what hung and ends
// the test program with status 1, as a hung thread cannot be joined or cancelled.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace aw::test {

class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, std::string what)
        : what_(std::move(what)), thread_([this, limit] {
              std::unique_lock guard(lock_);
              if (!disarmed_.wait_for(guard, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "HANG: %s did not finish within %lld ms\n", what_.c_str(),
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard guard(lock_);
            done_ = true;
        }
        disarmed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string what_;
    std::mutex lock_;
    std::condition_variable disarmed_;
    bool done_ = false;
    std::thread thread_;
};

// Polls `condition` until it holds (true) or `limit` has passed (false).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace aw::test
