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

// The listener's socket is private, never made through a link or over a file, and cleaned up after.
TEST_F(HandOverTest, ListenerSocketIsPrivateAndNeverReplacesWhatIsNotItsOwn) {
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
    test::WriteWholeFile(dir_ / "target", "keep");
    fs::create_symlink(dir_ / "target", SocketPath());
    HandOverListener overLink(SocketPath());
    EXPECT_FALSE(overLink.Listen());
    EXPECT_EQ(overLink.error(), EEXIST);
    EXPECT_EQ(test::ReadWholeFile(dir_ / "target"), "keep");
}

// Records arrive in pieces of any size; lengths beyond the limits stop the stream before buffering.
TEST(RecordReader, ReassemblesAndRefusesOversizedLengths) {
    Bytes stream = EncodeRecord("A", {1, 2, 3});
    const Bytes second = EncodeRecord("Shell IDList Array", Bytes(1000, 7));
    stream.insert(stream.end(), second.begin(), second.end());
    RecordReader reader;
    Records records;
    for (std::uint8_t byte : stream) {
        reader.Feed(&byte, 1);
        while (auto record = reader.Next())
            records.push_back(*record);
    }
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, Bytes(1000, 7));
    for (const Bytes& bytes : {Bytes{0xFF, 0xFF, 0, 0}, Bytes{1, 0, 0, 0, 'A', 0xFF, 0xFF, 0xFF, 0x7F}}) {
        RecordReader bad;
        bad.Feed(bytes.data(), bytes.size());
        EXPECT_FALSE(bad.Next());
        EXPECT_TRUE(bad.bad());
    }
}

// Each way the hand-over can fail ends the companion with its own text, without waiting out the limit and
// without leaving its socket. A whole hand-over to the window is walked by tst_mainwindow.
TEST_F(PickCompanionTest, FailuresEndItPromptly) {
    EXPECT_EQ(PickCompanion({"a.jpg", "../Q/b.avi", "/m/./notes.txt"}, "/m").files(),
              (std::vector<std::string>{"/m/a.jpg", "/Q/b.avi", "/m/notes.txt"}));
    test::WriteWholeFile(dir_ / "file", "");
    const struct {
        std::string socket;
        bool starts, ends;
        std::string text; // 3202: cannot start, 3203: socket name taken, 3204: ended without asking
    } cases[] = {{(dir_ / "s1").string(), false, false,
                  FormatText(LoadText(TextId::PickCannotStart), {"no such program"})},
                 {(dir_ / "s2").string(), true, true, LoadText(TextId::PickNotAsked)},
                 {(dir_ / "file").string(), true, false,
                  FormatText(LoadText(TextId::PickSocketUnusable),
                             {(dir_ / "file").string(), std::strerror(EEXIST)})}};
    for (const auto& c : cases) {
        const test::Watchdog watchdog(5s, c.text);
        PickCompanion companion({"/m/a.jpg"}, "/");
        const auto launch = [&](std::string& error) {
            error = "no such program";
            return c.starts;
        };
        EXPECT_EQ(companion.Run(c.socket, {launch, [&] { return c.ends; }}, 30s), 1) << c.text;
        EXPECT_EQ(companion.error(), c.text);
        EXPECT_EQ(fs::exists(fs::symlink_status(c.socket)), c.socket == (dir_ / "file").string()) << c.text;
    }
    EXPECT_EQ(test::ReadWholeFile(dir_ / "file"), "");
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

// The companion's command line: files, "--", the usage and version, an unknown option; relative names need
// the current folder, absolute ones do not.
TEST(PickCompanionArguments, ParsedAsTheOtherProgramsDo) {
    using Action = PickCompanion::Arguments::Action;
    const std::tuple<std::vector<std::string>, Action, std::vector<std::string>> cases[] = {
        {{"a.jpg", "/b.avi"}, Action::HandOver, {"a.jpg", "/b.avi"}},
        {{"a.jpg", "--help"}, Action::Help, {}},
        {{"--version", "a.jpg"}, Action::Version, {}},
        {{"--", "--help", "-x.jpg"}, Action::HandOver, {"--help", "-x.jpg"}},
        {{"a.jpg", "-z"}, Action::Bad, {}}};
    for (const auto& [arguments, action, files] : cases) {
        const PickCompanion::Arguments parsed = PickCompanion::Parse(arguments);
        EXPECT_EQ(std::tuple(parsed.action, parsed.files, parsed.error.empty()),
                  std::tuple(action, files, action != Action::Bad))
            << arguments.back();
    }
    EXPECT_NE(PickCompanion::CurrentFolderProblem({"/a.jpg", "b.jpg"}, "", "gone"), "");
    EXPECT_EQ(PickCompanion::CurrentFolderProblem({"/a.jpg"}, "", "gone"), "");
}

// The window program is taken from beside the companion first, then from PATH (absolute entries only).
TEST(ProgramLauncher, FindsTheProgramBesideThenOnPath) {
    test::ScratchDir dir;
    for (const char* folder : {"own", "bin1", "bin2", "plain"})
        fs::create_directory(dir / folder);
    for (const char* file : {"own/albumwright", "bin2/albumwright", "plain/albumwright"})
        test::WriteWholeFile(dir / file, "#!/bin/sh\n");
    for (const char* file : {"own/albumwright", "bin2/albumwright"}) // "plain" is not executable
        fs::permissions(dir / file, fs::perms::owner_exec, fs::perm_options::add);
    const std::string path = (dir / "bin1").string() + "::relative:" + (dir / "bin2").string();
    const auto Find = [&](const char* beside, const std::string& searched) {
        return ProgramLauncher::Find("albumwright", beside[0] ? (dir / beside).string() : "", searched);
    };
    EXPECT_EQ(Find("own", path), (dir / "own/albumwright").string());
    EXPECT_EQ(Find("plain", path), (dir / "bin2/albumwright").string());
    EXPECT_EQ(Find("", (dir / "plain").string()), "");
}

} // namespace
} // namespace aw
