#include "platform/handoverchannel.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

#include "mainwindow/handoverstate.h"
#include "mainwindow/outputfolders.h"
#include "medialist/selectionblock.h"
#include "platform/handoverlistener.h"
#include "platform/handoversocket.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using Records = std::vector<HandOverRecord>;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kFormats{kSelectionFormat, LoadText(325)};

HandOverRecord Selection(const std::string& folder, const std::vector<std::string>& items) {
    return {kSelectionFormat, SelectionBlock::Build(folder, items)};
}

HandOverRecord Status(std::size_t size) {
    Bytes bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i + 1));
    return {LoadText(325), bytes};
}

// A companion on a scratch socket: answers the first request with `first`, the second with `second`.
class FakeCompanion {
public:
    FakeCompanion(const std::string& path, Records first, Records second = {})
        : listener_(path), answers_{std::move(first), std::move(second)} {
        EXPECT_TRUE(listener_.Listen()) << listener_.error();
        thread_ = std::thread([this] {
            served = listener_.ServeOne(
                [this](const std::string& format) {
                    formats.push_back(format);
                    return formats.size() <= 2 ? answers_[formats.size() - 1] : Records{};
                },
                Clock::now() + 3s);
        });
    }
    ~FakeCompanion() { thread_.join(); }

    int served = 0;
    std::vector<std::string> formats;

private:
    HandOverListener listener_;
    Records answers_[2];
    std::thread thread_;
};

class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n");
        setenv("XDG_DESKTOP_DIR", (dir_ / "Desktop").c_str(), 1);
        std::filesystem::create_directory(dir_ / "Desktop");
    }
    std::string SocketPath() const { return HandOverChannel::SocketPathIn(dir_.str()); }

    test::ScratchDir dir_;
    struct : MessageService {
        bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
            return false;
        }
        void Inform(const std::string&, const std::string&, MessageIcon) override {}
    } messages_;
    OutputFolders folders_{messages_, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string())};
};

// Every order and mix of answers a media browser may give, through a real socket, and the decision.
TEST_F(HandOverTest, DecisionFromTheAnswersReceived) {
    using S = StartupSource;
    const HandOverRecord pictures = Selection("/home/u/P", {"a.jpg", "b.avi", "c.mp3"});
    const std::string desktop = (dir_ / "Desktop").string();
    const HandOverRecord noPathParent{
        kSelectionFormat, SelectionBlock::FromIdLists({SelectionBlock::IdList({std::string(1, '\0')}),
                                                       SelectionBlock::IdList({"v.jpg"})})};
    const struct Case {
        const char* name;
        Records first, second;
        std::string startupFile;
        S source;
        std::string folder;         // the initial folder with Selection, else the selection folder
        const HandOverRecord* kept; // the selection block kept, nullptr: none or not compared
        std::size_t statusBytes;
    } cases[] = {
        {"both", {pictures}, {Status(12)}, "", S::Selection, "/home/u/P", &pictures, 12},
        {"reverse order", {Status(12)}, {pictures}, "", S::Selection, "/home/u/P", &pictures, 12},
        {"both in one answer",
         {Status(12), pictures},
         {},
         "/x/f.jpg",
         S::Selection,
         "/home/u/P",
         &pictures,
         12},
        {"selection only, with a file",
         {pictures},
         {},
         "/x/f.jpg",
         S::StartupFile,
         "/home/u/P",
         &pictures,
         0},
        {"selection only, no file", {pictures}, {}, "", S::NoFiles, "/home/u/P", &pictures, 0},
        {"status only", {}, {Status(12)}, "", S::NoFiles, "", nullptr, 12},
        {"nothing, with a file", {}, {}, "/x/f.jpg", S::StartupFile, "", nullptr, 0},
        {"a second selection replaces the first",
         {Selection("/a", {"x.jpg"}), Status(12)},
         {pictures},
         "",
         S::Selection,
         "/home/u/P",
         &pictures,
         12},
        {"status of 20 bytes", {pictures}, {Status(20)}, "", S::Selection, "/home/u/P", &pictures, 12},
        {"status of 4 bytes", {pictures}, {Status(4)}, "", S::Selection, "/home/u/P", &pictures, 4},
        {"other tags ignored",
         {{"Other", {1}}, pictures},
         {Status(12)},
         "",
         S::Selection,
         "/home/u/P",
         &pictures,
         12},
        {"camera folder proposes the desktop",
         {Selection("/media/u/CAM/DCIM/100X", {"p.jpg"})},
         {Status(12)},
         "",
         S::Selection,
         desktop,
         nullptr,
         12},
        {"parent without path keeps the folder",
         {pictures, noPathParent},
         {Status(12)},
         "",
         S::Selection,
         "/home/u/P",
         &noPathParent,
         12},
    };
    for (const Case& c : cases) {
        FakeCompanion companion(SocketPath(), c.first, c.second);
        HandOverState state;
        state.AskBrowser(SocketPath());
        const StartupDecision decision = state.Decide(c.startupFile, folders_);
        EXPECT_EQ(decision.source, c.source) << c.name;
        EXPECT_EQ(decision.source == S::Selection ? decision.initialFolder : state.selectionFolder(),
                  c.folder)
            << c.name;
        EXPECT_EQ(state.selectionBlock().has_value(), c.kept != nullptr || c.source == S::Selection)
            << c.name;
        if (c.kept && state.selectionBlock()) {
            EXPECT_EQ(*state.selectionBlock(), c.kept->data) << c.name;
        }
        std::array<std::uint8_t, 12> status{};
        for (std::size_t i = 0; i < c.statusBytes; ++i)
            status[i] = static_cast<std::uint8_t>(i + 1);
        EXPECT_EQ(state.status(), status) << c.name;
        EXPECT_EQ(companion.formats, kFormats) << c.name;
    }
}

// Without a companion the start-up does not wait: no socket, a stale one, a link to a live one, another
// user's socket, each give no answers at once.
TEST_F(HandOverTest, NobodyListeningCostsNoWait) {
    const std::string stale = (dir_ / "stale").string();
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        ASSERT_TRUE(HandOverSocket::Address(stale, address));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    HandOverListener live((dir_ / "live").string());
    ASSERT_TRUE(live.Listen());
    std::filesystem::create_symlink(dir_ / "live", dir_ / "link");
    HandOverListener foreign((dir_ / "foreign").string());
    ASSERT_TRUE(foreign.Listen());
    ASSERT_EQ(::lchown((dir_ / "foreign").c_str(), getuid() + 1, static_cast<gid_t>(-1)), 0);

    for (const char* name : {"missing", "stale", "link", "foreign"}) {
        const auto start = Clock::now();
        EXPECT_TRUE(HandOverChannel::Ask((dir_ / name).string(), kFormats, 2s).empty()) << name;
        EXPECT_LT(Clock::now() - start, 100ms) << name;
    }
    // Nobody got through to the live listener by the link.
    EXPECT_EQ(live.ServeOne([](const std::string&) { return Records{}; }, Clock::now() + 10ms), 0);
}

// A companion that never answers costs the start-up the timeout, not more.
TEST_F(HandOverTest, SilentCompanionCostsTheTimeout) {
    HandOverListener silent(SocketPath());
    ASSERT_TRUE(silent.Listen());
    const auto start = Clock::now();
    EXPECT_TRUE(HandOverChannel::Ask(SocketPath(), kFormats, 150ms).empty());
    EXPECT_GE(Clock::now() - start, 150ms);
    EXPECT_LT(Clock::now() - start, 1s);
}

// The listener's socket is private, never made through a link or over a file, and cleaned up after.
TEST_F(HandOverTest, ListenerSocketIsPrivateAndNeverReplacesWhatIsNotItsOwn) {
    {
        HandOverListener first(SocketPath());
        ASSERT_TRUE(first.Listen());
        struct stat status {};
        ASSERT_EQ(::lstat(SocketPath().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);
        HandOverListener second(SocketPath());
        EXPECT_FALSE(second.Listen());
        EXPECT_EQ(second.error(), EADDRINUSE);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(SocketPath())));

    test::WriteWholeFile(dir_ / "target", "keep");
    std::filesystem::create_symlink(dir_ / "target", SocketPath());
    HandOverListener overLink(SocketPath());
    EXPECT_FALSE(overLink.Listen());
    EXPECT_EQ(overLink.error(), EEXIST);
    EXPECT_EQ(test::ReadWholeFile(dir_ / "target"), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(SocketPath()));
}

// Records arrive in pieces of any size; lengths beyond the limits stop the stream before buffering.
TEST(RecordReader, ReassemblesAndRefusesOversizedLengths) {
    const Bytes stream = [] {
        Bytes all = EncodeRecord("A", {1, 2, 3});
        const Bytes second = EncodeRecord("Shell IDList Array", Bytes(1000, 7));
        all.insert(all.end(), second.begin(), second.end());
        return all;
    }();
    RecordReader reader;
    Records records;
    for (std::uint8_t byte : stream) {
        reader.Feed(&byte, 1);
        while (auto record = reader.Next())
            records.push_back(*record);
    }
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].tag, "Shell IDList Array");
    EXPECT_EQ(records[1].data, Bytes(1000, 7));
    EXPECT_FALSE(reader.pending());

    const Bytes oversized[] = {{0xFF, 0xFF, 0, 0}, {1, 0, 0, 0, 'A', 0xFF, 0xFF, 0xFF, 0x7F}};
    for (const Bytes& bytes : oversized) {
        RecordReader bad;
        bad.Feed(bytes.data(), bytes.size());
        EXPECT_FALSE(bad.Next());
        EXPECT_TRUE(bad.bad());
    }
}

} // namespace
} // namespace aw
