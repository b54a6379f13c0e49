#include "album/prepareahead.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;

// Each item takes its own time or throws; the preparer notes how far beyond the consumer it ever ran.
struct FakePreparer {
    std::vector<int> delaysMs;
    std::size_t failAt = SIZE_MAX;
    std::atomic<long> taking{0};
    std::atomic<long> mostAhead{0};
    std::atomic<int> started{0};

    std::function<std::size_t(std::size_t)> Function() {
        return [this](std::size_t index) {
            long seen = mostAhead;
            const long ahead = static_cast<long>(index) - taking.load();
            while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead)) {
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

// Early items slow, later ones fast, or the reverse, items passed over: the consumer sees its items in
// its order, a failure when it reaches the failing item (nothing after it), and no worker runs more than
// the window beyond it.
TEST(PrepareAheadTest, ResultsInItemOrderWithinTheWindow) {
    const struct {
        const char* name;
        unsigned workers;
        std::size_t window;
        std::vector<int> delaysMs;
        std::size_t failAt;
        std::vector<std::size_t> taken; // the items the consumer takes, in its order
    } cases[] = {
        {"one worker", 1, 1, {5, 0, 3, 0, 1, 0}, SIZE_MAX, {0, 1, 2, 3, 4, 5}},
        {"slow first", 4, 4, {40, 1, 1, 1, 1, 1, 1, 1, 1, 1}, SIZE_MAX, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"slow last, wide window", 2, 6, {0, 0, 0, 0, 0, 30}, SIZE_MAX, {0, 1, 2, 3, 4, 5}},
        {"fails in the middle", 3, 3, {0, 20, 0, 10, 0, 0, 0}, 3, {0, 1, 2, 3, 4, 5, 6}},
        {"fails first, others slow", 2, 4, {0, 15, 15, 15}, 0, {0, 1, 2, 3}},
        {"items passed over", 2, 3, {0, 10, 10, 0, 0, 0, 0, 0, 0, 0}, SIZE_MAX, {0, 2, 8, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Watchdog watchdog(20s, c.name);
        FakePreparer fake{c.delaysMs, c.failAt};
        std::vector<std::string> seen, expected;
        {
            PrepareAhead<std::size_t> ahead(c.delaysMs.size(), fake.Function(), c.workers, c.window);
            std::size_t last = 0;
            for (std::size_t item : c.taken) {
                fake.taking = static_cast<long>(last = item);
                try {
                    seen.push_back("item " + std::to_string(ahead.Take(item).value_or(SIZE_MAX)));
                } catch (const std::runtime_error& error) {
                    seen.push_back(std::string("failed ") + error.what());
                    break; // a run ends at its failing item
                }
                std::this_thread::sleep_for(1ms); // the commit takes a while too
            }
            EXPECT_FALSE(ahead.Take(last).has_value()); // never the same item twice
        }
        for (std::size_t item : c.taken) {
            expected.push_back((item == c.failAt ? "failed item " : "item ") + std::to_string(item));
            if (item == c.failAt)
                break;
        }
        EXPECT_EQ(seen, expected);
        EXPECT_LE(fake.mostAhead.load(), static_cast<long>(c.window));
        if (c.taken.size() == 4 && c.failAt == SIZE_MAX) {
            EXPECT_LE(fake.started.load(), 8); // items 6 and 7 were never in the window
        }
    }
}

// A stop or the destructor at any moment ends promptly, waiting only for the preparations running: never
// started, workers busy, results waiting, after the last item, after a failure. Nothing is prepared after.
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
                ASSERT_TRUE(
                    test::WaitUntil([&] { return fake.started.load() >= (when == WorkersBusy ? 2 : 4); }));
            }
            for (std::size_t i = 0; when == AfterLastItem && i < count; ++i)
                ASSERT_TRUE(ahead->Take(i).has_value());
            if (when == AfterFailure) {
                EXPECT_THROW(ahead->Take(0), std::runtime_error);
            }
            const auto start = std::chrono::steady_clock::now();
            if (!destroy) {
                ahead->Stop();
                EXPECT_FALSE(ahead->Take(1).has_value());
                ahead->Stop();
            }
            ahead.reset();
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
            const int afterStop = fake.started.load();
            EXPECT_LE(afterStop, when == AfterLastItem ? 3 : 5); // the window and the item taken
            std::this_thread::sleep_for(20ms);
            EXPECT_EQ(fake.started.load(), afterStop);
        }
    }
}

} // namespace
} // namespace aw
