// SPDX-License-Identifier: MIT
#include "platform/instancelock.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

// A holder that ends without its destructor (_exit in the child) leaves no stale lock: the kernel frees it.
TEST(InstanceLock, FreedHoweverTheHolderEndsAndNeverThroughAPlantedLink) {
    test::ScratchDir folder;
    const auto otherProcessAcquires = [&] {
        return test::InChildProcess([&] { return InstanceLock(folder.str()).Acquire(); });
    };
    ASSERT_TRUE(otherProcessAcquires());
    InstanceLock lock(folder.str());
    EXPECT_TRUE(lock.Acquire());
    EXPECT_FALSE(otherProcessAcquires());

    test::ScratchDir planted; // nothing is created at the link's target
    std::filesystem::create_symlink(planted / "elsewhere", planted / "PageBinder");
    EXPECT_FALSE(InstanceLock(planted.str()).Acquire());
    EXPECT_FALSE(std::filesystem::exists(planted / "elsewhere"));
}

} // namespace
} // namespace aw
