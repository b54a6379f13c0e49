// SPDX-License-Identifier: MIT
#include "platform/handoverlistener.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/handoverchannel.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// The listener's socket is private, never made through a link or over a file, and cleaned up after.
TEST(HandOverListener, ItsSocketIsPrivateAndNeverReplacesWhatIsNotItsOwn) {
    const test::ScratchDir dir;
    const auto SocketPath = [&] { return HandOverChannel::SocketPathIn(dir.str()); };
    {
        HandOverListener first(SocketPath()), second(SocketPath());
        ASSERT_TRUE(first.Listen());
        struct stat status {};
        ASSERT_EQ(::lstat(SocketPath().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);
        EXPECT_FALSE(second.Listen());
        EXPECT_EQ(second.error(), EADDRINUSE);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketPath())));
    test::WriteWholeFile(dir / "target", "keep");
    fs::create_symlink(dir / "target", SocketPath());
    HandOverListener overLink(SocketPath());
    EXPECT_FALSE(overLink.Listen());
    EXPECT_EQ(overLink.error(), EEXIST);
    EXPECT_EQ(test::ReadWholeFile(dir / "target"), "keep");
}

} // namespace
} // namespace aw
