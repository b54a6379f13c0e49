#include "album/prepareahead.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using test::Watchdog;

// A fake preparer: each item takes its own time (or throws), and the preparer records how far ahead of
// the consumer it ever ran and how many results lived at once.
class FakePreparer {
public:
    struct Result {
        Result(std::size_t i, FakePreparer& o) : index(i), owner(&o) { Count(+1); }
        Result(Result&& other) noexcept : index(other.index), owner(other.owner) { Count(+1); }
        Result& operator=(Result&& other) noexcept {
            index = other.index;
            return *this;
        }
        ~Result() { Count(-1); }
        void Count(int step) {
            const int now = owner->live += step;
            int seen = owner->mostLive;
            while (now > seen && !owner->mostLive.compare_exchange_weak(seen, now)) {
            }
        }
        std::size_t index;
        FakePreparer* owner;
    };

    std::function<Result(std::size_t)> Preparer() {
        return [this](std::size_t index) {
            const long ahead = static_cast<long>(index) - taken.load();
            long seen = mostAhead;
            while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead)) {
            }
            ++started;
            if (index < delays.size())
                std::this_thread::sleep_for(delays[index]);
            if (index == failAt)
                throw std::runtime_error("item " + std::to_string(index));
            return Result(index, *this);
        };
    }

    std::vector<std::chrono::milliseconds> delays;
    std::size_t failAt = SIZE_MAX;
    std::atomic<long> taken{0}; // the item the consumer takes or commits
    std::atomic<long> mostAhead{0};
    std::atomic<int> live{0};
    std::atomic<int> mostLive{0};
    std::atomic<int> started{0};
};

// Early items slow, later ones fast, or the reverse: the effects still come in item order, a failing
// item surfaces when the consumer reaches it (every item before it consumed, nothing after it), and no
// worker ever runs more than the window ahead of the consumer.
TEST(PrepareAheadTest, EffectsInItemOrderWithinTheWindow) {
    struct Case {
        const char* name;
        unsigned workers;
        std::size_t window;
        std::vector<int> delaysMs;
        std::size_t failAt;
    };
    const std::vector<Case> cases = {
        {"one worker", 1, 1, {5, 0, 3, 0, 1, 0, 2, 0}, SIZE_MAX},
        {"slow first", 4, 4, {40, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, SIZE_MAX},
        {"slow last", 3, 5, {0, 0, 0, 0, 0, 0, 0, 30}, SIZE_MAX},
        {"window wider than the workers", 2, 6, {9, 0, 7, 0, 5, 0, 3, 0, 1, 0}, SIZE_MAX},
        {"fails in the middle", 3, 3, {0, 20, 0, 10, 0, 0, 0, 0}, 3},
        {"fails at once, others slow", 2, 4, {0, 15, 15, 15}, 0},
        {"fails last", 2, 2, {0, 0, 0, 0, 0}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Watchdog watchdog(20s, c.name);
        FakePreparer fake;
        for (int ms : c.delaysMs)
            fake.delays.push_back(std::chrono::milliseconds(ms));
        fake.failAt = c.failAt;
        const std::size_t count = c.delaysMs.size();
        std::vector<std::string> effects;
        {
            PrepareAhead<FakePreparer::Result> ahead(count, fake.Preparer(), c.workers, c.window);
            for (std::size_t i = 0; i < count; ++i) {
                fake.taken = static_cast<long>(i);
                try {
                    auto result = ahead.Take(i);
                    ASSERT_TRUE(result.has_value());
                    effects.push_back("item " + std::to_string(result->index));
                    std::this_thread::sleep_for(1ms); // the commit takes a while too
                } catch (const std::runtime_error& error) {
                    effects.push_back(std::string("failed ") + error.what());
                    break; // the run ends at its failing item
                }
            }
        }
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < count && i <= c.failAt; ++i)
            expected.push_back((i == c.failAt ? "failed item " : "item ") + std::to_string(i));
        EXPECT_EQ(effects, expected);
        // Never more than the window beyond the item being taken or committed.
        EXPECT_LE(fake.mostAhead.load(), static_cast<long>(c.window));
        // The window's results, the one the consumer holds, and one being handed over by each worker.
        EXPECT_LE(fake.mostLive.load(), static_cast<int>(c.window + 1 + c.workers));
        EXPECT_EQ(fake.live.load(), 0);
    }
}

// Items passed over are dropped unseen; indexes that do not rise give nothing.
TEST(PrepareAheadTest, SkippedItemsAreDiscarded) {
    Watchdog watchdog(20s, "skipping");
    FakePreparer fake;
    fake.delays = {0ms, 10ms, 10ms, 0ms, 0ms, 0ms, 0ms, 0ms, 0ms, 0ms};
    {
        PrepareAhead<FakePreparer::Result> ahead(10, fake.Preparer(), 2, 3);
        EXPECT_EQ(ahead.Take(0)->index, 0u);
        EXPECT_EQ(ahead.Take(2)->index, 2u);
        EXPECT_FALSE(ahead.Take(2).has_value());
        EXPECT_FALSE(ahead.Take(1).has_value());
        // Beyond everything claimed so far: the workers start there.
        EXPECT_EQ(ahead.Take(8)->index, 8u);
        EXPECT_EQ(ahead.Take(9)->index, 9u);
        EXPECT_FALSE(ahead.Take(10).has_value());
    }
    // The window never reached items 6 and 7 (at most 0 .. 5, 8 and 9 were prepared); what was passed
    // over is gone once the workers are.
    EXPECT_LE(fake.started.load(), 8);
    EXPECT_EQ(fake.live.load(), 0);
}

// A preparation that will not end until released: the test decides when the workers are busy.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> waiting{0};

    void Pass() {
        std::unique_lock lock(mutex);
        ++waiting;
        opened.wait(lock, [this] { return open; });
    }
    void Open() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

// A stop or the destructor at any moment ends promptly: never started, with every worker inside a
// preparation, with results waiting, after the last item; what was prepared is discarded and nothing is
// prepared after it. Run under ThreadSanitizer by scripts/sanitize.sh.
TEST(PrepareAheadTest, StopAndDestroyAtAnyTime) {
    enum class When { AtOnce, WorkersBusy, ResultsWaiting, AfterLastItem, AfterFailure };
    for (When when :
         {When::AtOnce, When::WorkersBusy, When::ResultsWaiting, When::AfterLastItem, When::AfterFailure}) {
        for (bool viaDestructor : {false, true}) {
            SCOPED_TRACE(static_cast<int>(when) * 2 + viaDestructor);
            Watchdog watchdog(20s, "stopping the look-ahead");
            Gate gate;
            FakePreparer fake;
            fake.failAt = when == When::AfterFailure ? 0 : SIZE_MAX;
            std::atomic<int> prepared{0};
            auto inner = fake.Preparer();
            const std::size_t count = when == When::AfterLastItem ? 3 : 50;
            auto preparer = [&](std::size_t index) {
                if (when == When::WorkersBusy)
                    gate.Pass();
                ++prepared;
                return inner(index);
            };
            std::optional<PrepareAhead<FakePreparer::Result>> ahead;
            ahead.emplace(count, preparer, 2, 4);
            switch (when) {
            case When::AtOnce:
                break;
            case When::WorkersBusy:
                ASSERT_TRUE(test::WaitUntil([&] { return gate.waiting.load() == 2; }));
                break;
            case When::ResultsWaiting:
                ASSERT_TRUE(test::WaitUntil([&] { return fake.live.load() == 4; }));
                break;
            case When::AfterLastItem:
                for (std::size_t i = 0; i < count; ++i)
                    ASSERT_TRUE(ahead->Take(i).has_value());
                break;
            case When::AfterFailure:
                EXPECT_THROW(ahead->Take(0), std::runtime_error);
                break;
            }
            // The gated preparations end only when opened; the stop waits for them and nothing more.
            std::thread opener([&] {
                std::this_thread::sleep_for(20ms);
                gate.Open();
            });
            if (viaDestructor) {
                ahead.reset();
            } else {
                ahead->Stop();
                EXPECT_FALSE(ahead->Take(0).has_value());
                ahead->Stop();
            }
            opener.join();
            const int afterStop = prepared.load();
            ahead.reset();
            EXPECT_EQ(fake.live.load(), 0);
            EXPECT_EQ(prepared.load(), afterStop);
            EXPECT_LE(fake.started.load(), when == When::AfterLastItem ? 3 : 4 + 1);
        }
    }
}

TEST(PrepareAheadTest, DefaultsAndNoItems) {
    Watchdog watchdog(20s, "defaults");
    FakePreparer fake;
    PrepareAhead<FakePreparer::Result> none(0, fake.Preparer());
    EXPECT_EQ(none.workers(), 0u);
    EXPECT_FALSE(none.Take(0).has_value());

    PrepareAhead<FakePreparer::Result> ahead(100, fake.Preparer());
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    EXPECT_EQ(ahead.workers(), std::min<std::size_t>(cores, 100));
    EXPECT_EQ(ahead.window(), 2 * ahead.workers());
    PrepareAhead<FakePreparer::Result> narrow(100, fake.Preparer(), 3, 1);
    EXPECT_EQ(narrow.window(), 3u); // never fewer than the workers
}

} // namespace
} // namespace aw
