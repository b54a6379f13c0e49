// SPDX-License-Identifier: MIT
#include "album/memorybudget.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;

// A part larger than the whole is the whole, granted once nothing else is held; parts come in the order
// asked, so a large one is not passed over by a small one that would fit; what goes comes back.
TEST(MemoryBudget, GrantsInOrderWithinTheTotal) {
    const test::Watchdog watchdog(30s, "taking parts of a budget");
    MemoryBudget budget(100);
    MemoryBudget::Share first = budget.Take(60);
    EXPECT_EQ(first.bytes(), 60u);
    MemoryBudget::Share large, small;
    std::thread waitsForAll([&] { large = budget.Take(1000); });
    ASSERT_TRUE(test::WaitUntil([&] { return budget.waiting() == 1; }));
    std::thread comesLater([&] { small = budget.Take(10); });
    ASSERT_TRUE(test::WaitUntil([&] { return budget.waiting() == 2; }));
    std::this_thread::sleep_for(50ms); // room for 10 now: still behind the large one
    EXPECT_EQ(budget.waiting(), 2);
    first = MemoryBudget::Share();
    waitsForAll.join();
    EXPECT_EQ(large.bytes(), 100u);
    large = MemoryBudget::Share();
    comesLater.join();
    EXPECT_EQ(small.bytes(), 10u);
}

} // namespace
} // namespace aw
