// SPDX-License-Identifier: MIT
#include "platform/handoverchannel.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

#include "companion/pickcompanion.h"
#include "companion/programlauncher.h"
#include "platform/handoverformats.h"
#include "platform/handoverlistener.h"
#include "platform/handoversocket.h"
#include "stringtable.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
namespace fs = std::filesystem;
using Records = std::vector<HandOverRecord>;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kFormats{kSelectionFormat, LoadText(TextId::BrowserStatusFormat)};

HandOverRecord Status(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), 1);
    return {LoadText(TextId::BrowserStatusFormat), bytes};
}

// A scratch folder for the sockets.
class HandOverTest : public ::testing::Test {
protected:
    std::string SocketPath() const { return HandOverChannel::SocketPathIn(dir_.str()); }

    test::ScratchDir dir_;
};
using PickCompanionTest = HandOverTest;

// No socket, a stale one, a link to a live one or another user's give no answers at once.
TEST_F(HandOverTest, NobodyListeningCostsNoWaitAndASilentOneTheTimeout) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    ASSERT_TRUE(HandOverSocket::Address((dir_ / "stale").string(), address));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    HandOverListener live((dir_ / "live").string()), foreign((dir_ / "foreign").string());
    ASSERT_TRUE(live.Listen() && foreign.Listen());
    fs::create_symlink(dir_ / "live", dir_ / "link");
    ASSERT_EQ(::lchown((dir_ / "foreign").c_str(), getuid() + 1, static_cast<gid_t>(-1)), 0);
    {
        // A wait for the hour-long timeout would be a hang: the watchdog ends it as a failure.
        const test::Watchdog watchdog(60s, "an ask that nobody can answer");
        for (const char* name : {"missing", "stale", "link", "foreign"})
            EXPECT_TRUE(HandOverChannel::Ask((dir_ / name).string(), kFormats, 3600s).empty()) << name;
    }
    EXPECT_EQ(live.ServeOne([](const std::string&) { return Records{}; }, Clock::now() + 10ms, 0), 0);
    const test::Watchdog watchdog(60s, "a listener that never answers"); // costs the timeout, not more
    const auto start = Clock::now();
    EXPECT_TRUE(HandOverChannel::Ask((dir_ / "live").string(), kFormats, 150ms).empty());
    EXPECT_GE(Clock::now() - start, 150ms);
}

// A process of the same user other than the window started is turned away unanswered.
TEST_F(HandOverTest, AnswersOnlyTheWindowItStarted) {
    HandOverListener listener(SocketPath());
    ASSERT_TRUE(listener.Listen());
    std::thread companion([&] {
        listener.ServeOne([](const std::string&) { return Records{Status(12)}; }, Clock::now() + 300ms,
                          ::getpid() + 1);
    });
    EXPECT_TRUE(HandOverChannel::Ask(SocketPath(), kFormats, 60s).empty());
    companion.join();
}

// A peer may pile up answers until the timeout: the window keeps a bounded amount of them.
TEST_F(HandOverTest, AnswersKeptAreBoundedInTotal) {
    HandOverListener listener(SocketPath());
    ASSERT_TRUE(listener.Listen());
    const Records three(3, {"Other", Bytes(HandOverChannel::kMaxCollected / 3 + 1024, 1)});
    std::thread companion([&] {
        listener.ServeOne([&](const std::string&) { return three; }, Clock::now() + 60s, ::getpid(), 60s);
    });
    const Records kept = HandOverChannel::Ask(SocketPath(), {kSelectionFormat}, 60s);
    companion.join();
    EXPECT_EQ(kept.size(), 2u);
}

} // namespace
} // namespace aw
