// SPDX-License-Identifier: MIT
#include "album/prepareahead.h"

#include <atomic>
#include <optional>
#include <stdexcept>
#include <thread>

#include <tuple>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;

// Each item takes its own time or throws; notes how far beyond the consumer a preparation ever started.
struct FakePreparer {
    std::vector<int> delaysMs;
    std::size_t failAt = SIZE_MAX;
    std::atomic<long> taking{0}, mostAhead{0};
    std::atomic<int> started{0};

    std::function<std::size_t(std::size_t)> Function() {
        return [this](std::size_t index) {
            long seen = mostAhead;
            for (const long ahead = long(index) - taking;
                 ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead);) {
            }
            ++started;
            std::this_thread::sleep_for(
                std::chrono::milliseconds(index < delaysMs.size() ? delaysMs[index] : 0));
            if (index == failAt)
                throw std::runtime_error("item " + std::to_string(index));
            return index;
        };
    }
};

// Behind a slow item, or with items passed over: each item taken once, in order, none started beyond the
// window.
TEST(PrepareAheadTest, ResultsInItemOrderWithinTheWindow) {
    const std::tuple<const char*, unsigned, std::size_t, std::vector<int>, std::vector<std::size_t>, int>
        cases[] = {{"slow first", 4, 4, {40, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10},
                   {"items passed over", 2, 3, {0, 10, 10, 0, 0, 0, 0, 0, 0, 0}, {0, 2, 8, 9}, 8}};
    for (const auto& [name, workers, window, delaysMs, taken, mostStarted] : cases) {
        SCOPED_TRACE(name);
        test::Watchdog watchdog(20s, name);
        FakePreparer fake{delaysMs};
        PrepareAhead<std::size_t> ahead(delaysMs.size(), fake.Function(), workers, window);
        for (std::size_t item : taken) {
            fake.taking = long(item);
            EXPECT_EQ(ahead.Take(item), item);
            std::this_thread::sleep_for(1ms); // the commit takes a while too
        }
        EXPECT_FALSE(ahead.Take(taken.back()).has_value()); // never the same item twice
        EXPECT_LE(fake.mostAhead.load(), long(window));
        EXPECT_LE(fake.started.load(), mostStarted);
    }
}

// A stop or the destructor at any moment waits only for the preparations running, not all 50 slow items.
TEST(PrepareAheadTest, StopAndDestroyAtAnyTime) {
    enum When { AtOnce, WorkersBusy, ResultsWaiting, AfterLastItem, AfterFailure };
    for (When when : {AtOnce, WorkersBusy, ResultsWaiting, AfterLastItem, AfterFailure}) {
        for (bool destroy : {false, true}) {
            SCOPED_TRACE(when * 2 + destroy);
            test::Watchdog watchdog(20s, "stopping the look-ahead");
            FakePreparer fake{std::vector<int>(50, when == WorkersBusy ? 100 : 0),
                              when == AfterFailure ? 0 : SIZE_MAX};
            const std::size_t count = when == AfterLastItem ? 3 : 50;
            std::optional<PrepareAhead<std::size_t>> ahead(std::in_place, count, fake.Function(), 2, 4);
            if (when == WorkersBusy || when == ResultsWaiting) {
                ASSERT_TRUE(test::WaitUntil([&] { return fake.started >= (when == WorkersBusy ? 2 : 4); }));
            }
            for (std::size_t i = 0; when == AfterLastItem && i < count; ++i)
                ASSERT_TRUE(ahead->Take(i).has_value());
            if (when == AfterFailure) {
                EXPECT_THROW(ahead->Take(0), std::runtime_error);
            }
            if (!destroy) {
                ahead->Stop();
                EXPECT_FALSE(ahead->Take(1).has_value());
            }
            ahead.reset(); // the workers are joined: nothing more can start
            EXPECT_LE(fake.started.load(), when == AfterLastItem ? 3 : 5); // the window and the item taken
        }
    }
}

} // namespace
} // namespace aw
