#include "medialist/previewworker.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

using namespace std::chrono_literals;

// A preparation that waits for the test to release it, so requests can be made while one is under way.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    bool open = false;
    std::vector<std::string> prepared, delivered;

    bool Prepare(const std::string& path) {
        std::unique_lock lock(mutex);
        ++started;
        prepared.push_back(path);
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
        return path != "bad";
    }
    void Deliver(const PreviewResult& r) {
        const std::lock_guard lock(mutex);
        delivered.push_back(std::to_string(r.sequence) + " " + r.path + (r.ok ? " ok" : " failed"));
        changed.notify_all();
    }
    template <class Pred> bool WaitFor(Pred pred) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, pred);
    }
    void Open(bool value = true) {
        const std::lock_guard lock(mutex);
        open = value;
        changed.notify_all();
    }
};

// Destroyed during a preparation, the worker waits for it and delivers nothing more.
TEST(PreviewWorker, TheNewestWaitingRequestReplacesOlderOnesAndNothingIsDeliveredLate) {
    Gate gate;
    auto worker =
        std::make_unique<PreviewWorker>([&](const std::string& p, int, Picture&) { return gate.Prepare(p); },
                                        [&](PreviewResult r) { gate.Deliver(r); });
    worker->Request(1, "a", 0);
    ASSERT_TRUE(gate.WaitFor([&] { return gate.started == 1; }));
    worker->Request(2, "b", 0);   // waits behind "a" ...
    worker->Request(3, "bad", 0); // ... and is replaced
    gate.Open();
    ASSERT_TRUE(gate.WaitFor([&] { return gate.delivered.size() == 2; }));
    EXPECT_EQ(gate.prepared, (std::vector<std::string>{"a", "bad"}));
    EXPECT_EQ(gate.delivered, (std::vector<std::string>{"1 a ok", "3 bad failed"}));

    gate.Open(false);
    worker->Request(4, "c", 0);
    ASSERT_TRUE(gate.WaitFor([&] { return gate.started == 3; }));
    std::thread release([&] {
        std::this_thread::sleep_for(100ms);
        gate.Open();
    });
    worker.reset();
    release.join();
    EXPECT_EQ(gate.delivered.size(), 2u);
}

} // namespace
} // namespace aw
