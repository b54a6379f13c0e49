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
        // Nothing else in this program reads the desktop folder: the variable needs no restoring.
        setenv("XDG_DESKTOP_DIR", (dir_.str() + "/Desktop/").c_str(), 1);
        fs::create_directory(dir_ / "Desktop");
    }
    bool AskYesNo(const std::string& text, const std::string&, MessageIcon, DefaultButton) override {
        asked_.push_back(text);
        return answer_;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    std::string SocketPath() const { return HandOverChannel::SocketPathIn(dir_.str()); }

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
        // A companion on a scratch socket: answers the first request with `first`, the second with `second`.
        HandOverListener listener(SocketPath());
        ASSERT_TRUE(listener.Listen()) << listener.error();
        std::vector<std::string> formats;
        std::thread companion([&] {
            listener.ServeOne(
                [&](const std::string& format) {
                    formats.push_back(format);
                    return formats.size() == 1 ? c.first : formats.size() == 2 ? c.second : Records{};
                },
                Clock::now() + 3s);
        });
        HandOverState state;
        state.AskBrowser(SocketPath());
        companion.join();
        const StartupDecision decision = state.Decide(c.startupFile, folders_);
        EXPECT_EQ(decision.source, c.source) << c.name;
        EXPECT_EQ(c.source == Sel ? decision.initialFolder : state.selectionFolder(), c.folder) << c.name;
        EXPECT_EQ(state.selectionBlock().value_or(Bytes{}), c.kept ? c.kept->data : Bytes{}) << c.name;
        Bytes status = Status(c.statusBytes).data; // cut to 12 bytes, or padded with zeros
        status.resize(12);
        EXPECT_EQ(Bytes(state.status().begin(), state.status().end()), status) << c.name;
        EXPECT_EQ(formats, kFormats) << c.name;
    }
}

// No socket, a stale one, a link to a live one or another user's give no answers at once.
TEST_F(HandOverTest, NobodyListeningCostsNoWaitAndASilentOneTheTimeout) {
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
    fs::create_symlink(dir_ / "live", dir_ / "link");
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
    // One that listens and never answers costs the start-up the timeout, not more.
    const auto start = Clock::now();
    EXPECT_TRUE(HandOverChannel::Ask((dir_ / "live").string(), kFormats, 150ms).empty());
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
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketPath())));

    test::WriteWholeFile(dir_ / "target", "keep");
    fs::create_symlink(dir_ / "target", SocketPath());
    HandOverListener overLink(SocketPath());
    EXPECT_FALSE(overLink.Listen());
    EXPECT_EQ(overLink.error(), EEXIST);
    EXPECT_EQ(test::ReadWholeFile(dir_ / "target"), "keep");
    EXPECT_TRUE(fs::is_symlink(SocketPath()));
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

// New and existing folders, leading blanks and the question asked once are seen through Create's tests.
TEST_F(OutputFoldersTest, RootRefusedAndFailingFolders) {
    EXPECT_EQ(folders_.PrepareOutputFolder("/").code, FolderGoOn);
    EXPECT_EQ(folders_.PrepareOutputFolder(" /").code, FolderGoOn);
    for (const std::string& path :
         {"/a//b"s, "//server/share"s, "relative"s, ""s, "   "s, dir_.str() + "//x"}) {
        const FolderResult result = folders_.PrepareOutputFolder(path);
        EXPECT_EQ(std::pair(result.code, result.error), std::pair(+FolderFailed, 0)) << path;
    }
    EXPECT_FALSE(fs::exists(dir_ / "x"));

    // Failures carry their errno; a file where Data belongs fails before any question.
    test::WriteWholeFile(dir_ / "file", "x");
    const FolderResult output = folders_.PrepareOutputFolder(dir_.str() + "/file/sub");
    EXPECT_EQ(std::pair(output.code, output.error), std::pair(+FolderFailed, ENOTDIR));
    fs::create_directory(dir_ / "out");
    test::WriteWholeFile(dir_ / "out/Data", "x");
    std::string data, thumb;
    const FolderResult media = folders_.PrepareMediaFolders(dir_.str() + "/out", 0, data, thumb);
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
        std::string data, thumb;
        EXPECT_EQ(folders_.PrepareMediaFolders(dir.str(), c.marker, data, thumb).code, c.code) << c.existing;
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

// The named files, made absolute, are the selection; the started program gets both records, then it ends.
TEST_F(PickCompanionTest, HandsTheSelectionToTheStartedProgram) {
    const std::string socket = SocketPath();
    PickCompanion companion({"a.jpg", "../Q/b.avi", "/m/./notes.txt"}, "/m");
    EXPECT_EQ(companion.files(), (std::vector<std::string>{"/m/a.jpg", "/Q/b.avi", "/m/notes.txt"}));
    std::thread window;
    std::vector<HandOverRecord> answers;
    const PickCompanion::Launch launch{[&](std::string&) {
                                           window = std::thread(
                                               [&] { answers = HandOverChannel::Ask(socket, kFormats); });
                                           return true;
                                       },
                                       [] { return false; }};
    EXPECT_EQ(companion.Run(socket, launch, 5s), 0) << companion.error();
    window.join();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].data, SelectionBlock::ForFiles(companion.files()));
    EXPECT_EQ(answers[1].data.size(), 12u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socket))); // the socket is gone with the companion
}

// Each way the hand-over can fail ends the companion with its own text, without waiting out the limit.
TEST_F(PickCompanionTest, FailuresEndItPromptly) {
    test::WriteWholeFile(dir_ / "file", "");
    const struct {
        const char* name;
        std::string socket;
        bool starts, ends;
        int textId;
    } cases[] = {
        {"program cannot start", (dir_ / "s1").string(), false, false, 3202},
        {"program ended without asking", (dir_ / "s2").string(), true, true, 3204},
        {"socket name taken by a file", (dir_ / "file").string(), true, false, 3203},
    };
    for (const auto& c : cases) {
        PickCompanion companion({"/m/a.jpg"}, "/");
        const auto start = Clock::now();
        const PickCompanion::Launch launch{[&](std::string& error) {
                                               error = "no such program";
                                               return c.starts;
                                           },
                                           [&] { return c.ends; }};
        EXPECT_EQ(companion.Run(c.socket, launch, 10s), 1) << c.name;
        EXPECT_LT(Clock::now() - start, 1s) << c.name;
        const std::string text = LoadText(c.textId);
        EXPECT_EQ(companion.error().substr(0, text.find('%')), text.substr(0, text.find('%'))) << c.name;
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
    EXPECT_EQ(ProgramLauncher::Find("albumwright", (dir / "own").string(), path),
              (dir / "own/albumwright").string());
    EXPECT_EQ(ProgramLauncher::Find("albumwright", (dir / "plain").string(), path),
              (dir / "bin2/albumwright").string());
    EXPECT_EQ(ProgramLauncher::Find("albumwright", "", (dir / "plain").string()), "");

    ProgramLauncher launcher;
    std::string error;
    ASSERT_TRUE(launcher.Start("/bin/true", error)) << error;
    EXPECT_TRUE(test::WaitUntil([&] { return launcher.Ended(); }, 5s));
    EXPECT_FALSE(ProgramLauncher().Start((dir / "missing").string(), error));
}

} // namespace
} // namespace aw
