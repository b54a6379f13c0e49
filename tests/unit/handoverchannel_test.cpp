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
#include "mainwindow/handoverstate.h"
#include "mainwindow/outputfolders.h"
#include "medialist/selectionblock.h"
#include "platform/desktopfolder.h"
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

HandOverRecord Selection(const std::string& folder, const std::vector<std::string>& items) {
    return {kSelectionFormat, SelectionBlock::Build(folder, items)};
}

HandOverRecord Status(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), 1);
    return {LoadText(TextId::BrowserStatusFormat), bytes};
}

// Camera cards at /media/u/CAM, /media/u/My Cam and card; every question answered alike and kept.
class FolderFixture : public ::testing::Test, public MessageService {
protected:
    void SetUp() override {
        test::WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                                 "3 1 8:33 / /media/u/My\\040Cam rw - vfat /dev/sdc1 rw\n"
                                                 "4 1 8:49 / " +
                                                     dir_.str() + "/card rw - vfat /dev/sdd1 rw\n");
        setenv("XDG_DESKTOP_DIR", (dir_.str() + "/Desktop/").c_str(), 1); // read nowhere else
        fs::create_directory(dir_ / "Desktop");
    }
    bool AskYesNo(const std::string& text, const std::string&, MessageIcon, DefaultButton) override {
        asked_.push_back(text);
        return answer_;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    std::string SocketPath() const { return HandOverChannel::SocketPathIn(dir_.str()); }
    FolderResult Media(const std::string& folder, int marker = 0) {
        std::string data, thumb;
        return folders_.PrepareMediaFolders(folder, marker, data, thumb);
    }

    test::ScratchDir dir_;
    bool answer_ = true;
    std::vector<std::string> asked_;
    OutputFolders folders_{*this, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string())};
};
using HandOverTest = FolderFixture;
using OutputFoldersTest = FolderFixture;
using PickCompanionTest = FolderFixture;

// Every order and mix of answers a media browser may give, through a real socket, and the decision.
TEST_F(HandOverTest, DecisionFromTheAnswersReceived) {
    const auto Sel = StartupSource::Selection, File = StartupSource::StartupFile,
               None = StartupSource::NoFiles;
    const std::string p = "/home/u/P", f = "/x/f.jpg", desktop = (dir_ / "Desktop").string();
    const HandOverRecord P = Selection(p, {"a.jpg", "b.avi", "c.mp3"}), other = Selection("/a", {"x.jpg"}),
                         cam = Selection("/media/u/CAM/DCIM/100X", {"p.jpg"}),
                         noPath{kSelectionFormat,
                                SelectionBlock::FromIdLists({SelectionBlock::IdList({std::string(1, '\0')}),
                                                             SelectionBlock::IdList({"v.jpg"})})};
    const struct Case {
        const char* name;
        Records first, second;
        std::string startupFile;
        StartupSource source;
        std::string folder;         // the initial folder with Selection, else the selection folder
        const HandOverRecord* kept; // the selection block kept, nullptr: none
        std::size_t statusBytes;
    } cases[] = {
        {"both", {P}, {Status(12)}, "", Sel, p, &P, 12},
        {"reverse order", {Status(12)}, {P}, "", Sel, p, &P, 12},
        {"both in one answer", {Status(12), P}, {}, f, Sel, p, &P, 12},
        {"selection only, with a file", {P}, {}, f, File, p, &P, 0},
        {"status only", {}, {Status(12)}, "", None, "", nullptr, 12},
        {"nothing, with a file", {}, {}, f, File, "", nullptr, 0},
        {"second selection replaces the first", {other, Status(12)}, {P}, "", Sel, p, &P, 12},
        {"status of 20 bytes", {P}, {Status(20)}, "", Sel, p, &P, 12},
        {"status of 4 bytes", {P}, {Status(4)}, "", Sel, p, &P, 4},
        {"other tags ignored", {{"Other", {1}}, P}, {Status(12)}, "", Sel, p, &P, 12},
        {"camera folder proposes the desktop", {cam}, {Status(12)}, "", Sel, desktop, &cam, 12},
        {"parent without path keeps the folder", {P, noPath}, {Status(12)}, "", Sel, p, &noPath, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandOverListener listener(SocketPath());
        ASSERT_TRUE(listener.Listen()) << listener.error();
        std::thread companion([&, asked = 0]() mutable {
            const auto answer = [&](const std::string&) {
                return ++asked == 1 ? c.first : asked == 2 ? c.second : Records{};
            };
            listener.ServeOne(answer, Clock::now() + 3s, ::getpid());
        });
        HandOverState state;
        state.AskBrowser(SocketPath());
        companion.join();
        const StartupDecision decision = state.Decide(c.startupFile, folders_);
        EXPECT_EQ(decision.source, c.source);
        EXPECT_EQ(c.source == Sel ? decision.initialFolder : state.selectionFolder(), c.folder);
        EXPECT_EQ(state.selectionBlock().value_or(Bytes{}), c.kept ? c.kept->data : Bytes{});
        Bytes status = Status(c.statusBytes).data; // cut to 12 bytes, or padded with zeros
        status.resize(12);
        EXPECT_EQ(Bytes(state.status().begin(), state.status().end()), status);
    }
}

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

// The first folder below a mount point, whatever its case; the path is resolved before the mount table is
// asked, so a link into a card leads to a camera folder.
TEST_F(OutputFoldersTest, CameraFolderIsTheFirstFolderBelowTheMountPoint) {
    fs::create_directories(dir_ / "card/DCIM");
    fs::create_directory_symlink(dir_ / "card", dir_ / "cam");
    const std::string d = dir_.str();
    for (const std::string& path :
         {"/media/u/CAM/DCIM/100X"s, "/media/u/CAM/dcim"s, "/media/u/CAM/DcMv/a"s, "/media/u/My Cam/DCIM"s,
          "/DCIM/x"s, d + "/cam/DCIM/100X", d + "/x/../cam/./DCIM"})
        EXPECT_TRUE(folders_.IsCameraFolder(path)) << path;
    for (const std::string& path : {"/media/u/CAM/Photos/DCIM"s, "/media/u/CAM/DCIMX"s, "/media/u/CAM"s,
                                    "/home/u/DCIM"s, "DCIM/100X"s, ""s, d + "/cam/../DCIM"})
        EXPECT_FALSE(folders_.IsCameraFolder(path)) << path;
    EXPECT_EQ(DesktopFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n", "/h"), "/h/Desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/srv/d\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "/h"), "/srv/d");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=\"$HOME", "/h"), "");
}

// Failures carry their errno; paths past the system's limit are refused at once, one just within it is made;
// a file where Data belongs fails before any question.
TEST_F(OutputFoldersTest, FailingAndOverlongFolders) {
    const test::Watchdog watchdog(20s, "deep output folders");
    std::string deep = dir_.str(), overlong = "/";
    while (deep.size() + 41 <= 4095)
        deep += "/" + std::string(40, 'd');
    for (int i = 0; i < 100000; ++i)
        overlong += "a/";
    test::WriteWholeFile(dir_ / "file", "x");
    const auto Failed = [&](const std::string& path, int error) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(std::pair(result.code, result.error), std::pair(+FolderFailed, error))
            << path.substr(0, 40);
    };
    for (const std::string& path :
         {"/a//b"s, "//server/share"s, "relative"s, ""s, "   "s, dir_.str() + "//x"})
        Failed(path, 0);
    Failed(dir_.str() + "/file/sub", ENOTDIR);
    Failed(overlong, ENAMETOOLONG);
    EXPECT_FALSE(fs::exists(dir_ / "x"));
    for (const std::string& path : {"/"s, " /"s, deep})
        EXPECT_EQ(folders_.PrepareOutputFolder(path).code, FolderGoOn) << path.substr(0, 40);
    EXPECT_TRUE(fs::is_directory(deep));
    fs::create_directory(dir_ / "out");
    test::WriteWholeFile(dir_ / "out/Data", "x");
    const FolderResult media = Media(dir_.str() + "/out");
    EXPECT_EQ(std::pair(media.code, media.error), std::pair(+FolderFailed, ENOTDIR));
    EXPECT_TRUE(asked_.empty());
}

// Below "/" the first existing subfolder asks; with the arrangement marker Thumb does not count.
TEST_F(OutputFoldersTest, WithoutTheFolderQuestionTheFirstExistingSubfolderAsks) {
    const struct {
        std::string existing;
        bool answer;
        int marker, code;
        std::size_t questions;
    } cases[] = {{"Data", true, 0, FolderGoOn, 1},       {"Data", false, 0, FolderNo, 1},
                 {"Thumb", true, 0, FolderYes, 1},       {"Thumb", false, 0, FolderNo, 1},
                 {"Data Thumb", true, 1, FolderGoOn, 1}, {"Thumb", true, 1, FolderGoOn, 0}};
    for (const auto& c : cases) {
        test::ScratchDir dir;
        for (const std::string sub : {"Data", "Thumb"})
            if (c.existing.find(sub) != std::string::npos)
                fs::create_directory(dir / sub);
        asked_.clear();
        answer_ = c.answer;
        folders_.ResetOverwriteQuestion();
        EXPECT_EQ(Media(dir.str(), c.marker).code, c.code) << c.existing;
        EXPECT_EQ(asked_.size(), c.questions) << c.existing;
    }
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
