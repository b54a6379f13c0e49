// SPDX-License-Identifier: MIT
#include "companion/pickcompanion.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "stringtable.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Each way the hand-over can fail ends the companion with its own text, without waiting out the limit and
// without leaving its socket. A whole hand-over to the window is walked by tst_mainwindow.
TEST(PickCompanion, FailuresEndItPromptly) {
    const test::ScratchDir dir;
    EXPECT_EQ(PickCompanion({"a.jpg", "../Q/b.avi", "/m/./notes.txt"}, "/m").files(),
              (std::vector<std::string>{"/m/a.jpg", "/Q/b.avi", "/m/notes.txt"}));
    test::WriteWholeFile(dir / "file", "");
    const struct {
        std::string socket;
        bool starts, ends;
        std::string text; // 3202: cannot start, 3203: socket name taken, 3204: ended without asking
    } cases[] = {
        {(dir / "s1").string(), false, false,
         FormatText(LoadText(TextId::PickCannotStart), {"no such program"})},
        {(dir / "s2").string(), true, true, LoadText(TextId::PickNotAsked)},
        {(dir / "file").string(), true, false,
         FormatText(LoadText(TextId::PickSocketUnusable), {(dir / "file").string(), std::strerror(EEXIST)})}};
    for (const auto& c : cases) {
        const test::Watchdog watchdog(5s, c.text);
        PickCompanion companion({"/m/a.jpg"}, "/");
        const auto launch = [&](std::string& error) {
            error = "no such program";
            return c.starts;
        };
        EXPECT_EQ(companion.Run(c.socket, {launch, [&] { return c.ends; }}, 30s), 1) << c.text;
        EXPECT_EQ(companion.error(), c.text);
        EXPECT_EQ(fs::exists(fs::symlink_status(c.socket)), c.socket == (dir / "file").string()) << c.text;
    }
    EXPECT_EQ(test::ReadWholeFile(dir / "file"), "");
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
}

} // namespace
} // namespace aw
