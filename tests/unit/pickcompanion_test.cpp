#include "companion/pickcompanion.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "companion/programlauncher.h"
#include "mainwindow/handoverstate.h"
#include "medialist/selectionblock.h"
#include "platform/handoverchannel.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The whole hand-over: the started program asks and gets both parts, the files named (relative or not,
// supported or not) as the selection; then the companion is done.
TEST(PickCompanion, HandsTheSelectionToTheStartedProgram) {
    test::ScratchDir dir;
    const std::string socket = HandOverChannel::SocketPathIn(dir.str());
    PickCompanion companion({"a.jpg", "../Q/b.avi", "/m/./notes.txt"}, "/m");
    std::thread window;
    HandOverState state;
    const PickCompanion::Launch launch{
        [&](std::string&) {
            window = std::thread([&] {
                for (const auto& answer : HandOverChannel::Ask(socket, {kSelectionFormat, LoadText(325)}))
                    state.Receive(answer);
            });
            return true;
        },
        [] { return false; }};
    EXPECT_EQ(companion.Run(socket, launch, 5s), 0) << companion.error();
    window.join();
    EXPECT_EQ(state.receivedParts(), 3);
    EXPECT_EQ(state.selectionFolder(), "/");
    std::vector<std::string> paths;
    FileBlock::Read(IdListToFileBlock(state.selectionBlock().value_or(Bytes())).value_or(Bytes()), paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"/m/a.jpg", "/Q/b.avi", "/m/notes.txt"}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(socket))); // the socket is gone with the companion
}

// Each way the hand-over can fail ends the companion with its own text, without waiting out the limit.
TEST(PickCompanion, FailuresEndItPromptly) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "file", "");
    const struct {
        const char* name;
        std::string socket;
        bool starts, ends;
        int textId;
    } cases[] = {
        {"program cannot start", (dir / "s1").string(), false, false, 3202},
        {"program ended without asking", (dir / "s2").string(), true, true, 3204},
        {"socket name taken by a file", (dir / "file").string(), true, false, 3203},
    };
    for (const auto& c : cases) {
        PickCompanion companion({"/m/a.jpg"}, "/");
        const auto start = std::chrono::steady_clock::now();
        const PickCompanion::Launch launch{[&](std::string& error) {
                                               error = "no such program";
                                               return c.starts;
                                           },
                                           [&] { return c.ends; }};
        EXPECT_EQ(companion.Run(c.socket, launch, 10s), 1) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << c.name;
        const std::string text = LoadText(c.textId);
        EXPECT_EQ(companion.error().substr(0, text.find('%')), text.substr(0, text.find('%'))) << c.name;
    }
    EXPECT_EQ(test::ReadWholeFile(dir / "file"), "");
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
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (!launcher.Ended() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(launcher.Ended());
    EXPECT_FALSE(ProgramLauncher().Start((dir / "missing").string(), error));
}

} // namespace
} // namespace aw
