#include "platform/handoverchannel.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <numeric>
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

const std::vector<std::string> kFormats{kSelectionFormat, LoadText(325)};

HandOverRecord Selection(const std::string& folder, const std::vector<std::string>& items) {
    return {kSelectionFormat, SelectionBlock::Build(folder, items)};
}

HandOverRecord Status(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), 1);
    return {LoadText(325), bytes};
}

// A camera card at /media/u/CAM and /media/u/My Cam; every question answered alike and kept.
class FolderFixture : public ::testing::Test, public MessageService {
protected:
    void SetUp() override {
        test::WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n"
                                                 "3 1 8:33 / /media/u/My\\040Cam rw - vfat /dev/sdc1 rw\n");
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
        {"selection only, no file", {P}, {}, "", None, p, &P, 0},
        {"status only", {}, {Status(12)}, "", None, "", nullptr, 12},
        {"nothing, with a file", {}, {}, f, File, "", nullptr, 0},
        {"second selection replaces the first", {other, Status(12)}, {P}, "", Sel, p, &P, 12},
        {"status of 20 bytes", {P}, {Status(20)}, "", Sel, p, &P, 12},
        {"status of 4 bytes", {P}, {Status(4)}, "", Sel, p, &P, 4},
        {"other tags ignored", {{"Other", {1}}, P}, {Status(12)}, "", Sel, p, &P, 12},
        {"camera folder proposes the desktop", {cam}, {Status(12)}, "", Sel, desktop, &cam, 12},
        {"parent without path keeps the folder", {P, noPath}, {Status(12)}, "", Sel, p, &noPath, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandOverListener listener(SocketPath());
        ASSERT_TRUE(listener.Listen()) << listener.error();
        std::vector<std::string> formats;
        std::thread companion([&] {
            const auto answer = [&](const std::string& format) {
                formats.push_back(format);
                return formats.size() == 1 ? c.first : formats.size() == 2 ? c.second : Records{};
            };
            listener.ServeOne(answer, Clock::now() + 3s);
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
        EXPECT_EQ(formats, kFormats);
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
    for (const char* name : {"missing", "stale", "link", "foreign"}) {
        const auto start = Clock::now();
        EXPECT_TRUE(HandOverChannel::Ask((dir_ / name).string(), kFormats, 2s).empty()) << name;
        EXPECT_LT(Clock::now() - start, 100ms) << name;
    }
    EXPECT_EQ(live.ServeOne([](const std::string&) { return Records{}; }, Clock::now() + 10ms), 0);
    const auto start = Clock::now(); // one that listens and never answers costs the timeout, not more
    EXPECT_TRUE(HandOverChannel::Ask((dir_ / "live").string(), kFormats, 150ms).empty());
    EXPECT_GE(Clock::now() - start, 150ms);
    EXPECT_LT(Clock::now() - start, 1s);
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

TEST_F(OutputFoldersTest, CameraFolderIsTheFirstFolderBelowTheMountPoint) {
    for (const char* path : {"/media/u/CAM/DCIM/100X", "/media/u/CAM/dcim", "/media/u/CAM/DcMv/a",
                             "/media/u/My Cam/DCIM", "/DCIM/x"})
        EXPECT_TRUE(folders_.IsCameraFolder(path)) << path;
    for (const char* path :
         {"/media/u/CAM/Photos/DCIM", "/media/u/CAM/DCIMX", "/media/u/CAM", "/home/u/DCIM", "DCIM/100X", ""})
        EXPECT_FALSE(folders_.IsCameraFolder(path)) << path;
    EXPECT_EQ(DesktopFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n", "/h"), "/h/Desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/srv/d\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "/h"), "/srv/d");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=\"$HOME", "/h"), "");
}

// Failures carry their errno; a file where Data belongs fails before any question.
TEST_F(OutputFoldersTest, RootRefusedAndFailingFolders) {
    EXPECT_EQ(folders_.PrepareOutputFolder("/").code, FolderGoOn);
    EXPECT_EQ(folders_.PrepareOutputFolder(" /").code, FolderGoOn);
    test::WriteWholeFile(dir_ / "file", "x");
    const auto Failed = [&](const std::string& path, int error) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(std::pair(result.code, result.error), std::pair(+FolderFailed, error)) << path;
    };
    for (const std::string& path :
         {"/a//b"s, "//server/share"s, "relative"s, ""s, "   "s, dir_.str() + "//x"})
        Failed(path, 0);
    Failed(dir_.str() + "/file/sub", ENOTDIR);
    EXPECT_FALSE(fs::exists(dir_ / "x"));
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
    } cases[] = {
        {"Data", true, 0, FolderGoOn, 1},       {"Data", false, 0, FolderNo, 1},
        {"Thumb", true, 0, FolderYes, 1},       {"Thumb", false, 0, FolderNo, 1},
        {"Data Thumb", true, 1, FolderGoOn, 1}, {"Thumb", true, 1, FolderGoOn, 0},
    };
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
        int textId; // 3202: cannot start, 3204: ended without asking, 3203: socket name taken by a file
    } cases[] = {{(dir_ / "s1").string(), false, false, 3202},
                 {(dir_ / "s2").string(), true, true, 3204},
                 {(dir_ / "file").string(), true, false, 3203}};
    for (const auto& c : cases) {
        PickCompanion companion({"/m/a.jpg"}, "/");
        const auto start = Clock::now();
        const auto launch = [&](std::string& error) {
            error = "no such program";
            return c.starts;
        };
        EXPECT_EQ(companion.Run(c.socket, {launch, [&] { return c.ends; }}, 10s), 1) << c.textId;
        EXPECT_LT(Clock::now() - start, 1s) << c.textId;
        const std::string text = LoadText(c.textId);
        EXPECT_EQ(companion.error().substr(0, text.find('%')), text.substr(0, text.find('%'))) << c.textId;
        EXPECT_EQ(fs::exists(fs::symlink_status(c.socket)), c.textId == 3203) << c.textId;
    }
    EXPECT_EQ(test::ReadWholeFile(dir_ / "file"), "");
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
    ProgramLauncher launcher;
    std::string error;
    ASSERT_TRUE(launcher.Start("/bin/true", error)) << error;
    EXPECT_TRUE(test::WaitUntil([&] { return launcher.Ended(); }, 5s));
    EXPECT_FALSE(ProgramLauncher().Start((dir / "missing").string(), error));
}

} // namespace
} // namespace aw
