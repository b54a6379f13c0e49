// SPDX-License-Identifier: MIT
#include "medialist/previewworker.h"

#include <condition_variable>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

namespace aw {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// Destroyed during a preparation, the worker waits for it and delivers nothing more.
TEST(PreviewWorker, TheNewestWaitingRequestReplacesOlderOnesAndNothingIsDeliveredLate) {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false; // a preparation waits for it, so requests can be made while one is under way
    Texts prepared, delivered;
    const auto WaitFor = [&](auto done) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, done);
    };
    const auto Open = [&](bool value) {
        const std::lock_guard lock(mutex);
        open = value;
        changed.notify_all();
    };
    const auto prepare = [&](const std::string& path, MediaKind, Picture&) {
        std::unique_lock lock(mutex);
        prepared.push_back(path);
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        return path != "bad";
    };
    auto worker = std::make_unique<PreviewWorker>(prepare, [&](PreviewResult r) {
        const std::lock_guard lock(mutex);
        delivered.push_back(std::to_string(r.sequence) + " " + r.path + (r.ok ? " ok" : " failed"));
        changed.notify_all();
    });
    worker->Request(1, "a", MediaKind::StillJpeg);
    ASSERT_TRUE(WaitFor([&] { return prepared.size() == 1; }));
    worker->Request(2, "b", MediaKind::StillJpeg);   // waits behind "a" ...
    worker->Request(3, "bad", MediaKind::StillJpeg); // ... and is replaced
    Open(true);
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 2; }));
    EXPECT_EQ(prepared, (Texts{"a", "bad"}));
    EXPECT_EQ(delivered, (Texts{"1 a ok", "3 bad failed"}));

    Open(false);
    worker->Request(4, "c", MediaKind::StillJpeg);
    ASSERT_TRUE(WaitFor([&] { return prepared.size() == 3; }));
    std::thread release([&] {
        std::this_thread::sleep_for(100ms);
        Open(true);
    });
    worker.reset();
    release.join();
    EXPECT_EQ(delivered.size(), 2u);
}

} // namespace
} // namespace aw
