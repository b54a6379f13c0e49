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

// The named files, made absolute, are the selection; the started program gets both records, then it ends.
TEST(PickCompanion, HandsTheSelectionToTheStartedProgram) {
    test::ScratchDir dir;
    const std::string socket = HandOverChannel::SocketPathIn(dir.str());
    PickCompanion companion({"a.jpg", "../Q/b.avi", "/m/./notes.txt"}, "/m");
    EXPECT_EQ(companion.files(), (std::vector<std::string>{"/m/a.jpg", "/Q/b.avi", "/m/notes.txt"}));
    std::thread window;
    std::vector<HandOverRecord> answers;
    const PickCompanion::Launch launch{
        [&](std::string&) {
            window = std::thread([&] {
                answers = HandOverChannel::Ask(socket, {kSelectionFormat, LoadText(325)});
            });
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
