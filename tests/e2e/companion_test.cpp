// SPDX-License-Identifier: MIT
// Whole runs of the built albumwright-pick where it must end with a sentence and status 1 (or 0 for the
// usage and version) rather than abort: no display, a removed current folder, a window that cannot start.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "stringtable.h"
#include "support/fixtures.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ShellQuote;

// The text of `id` up to its first conversion, which is what a message filled in starts with.
std::string Lead(TextId id) {
    const std::string text = LoadText(id);
    return text.substr(0, text.find('%'));
}

TEST(Companion, EndsWithASentenceWhereItCannotGoOn) {
    const test::Watchdog watchdog(120s, "albumwright-pick runs");
    test::ScratchDir dir;
    fs::create_directory(dir / "runtime");
    fs::permissions(dir / "runtime", fs::perms::owner_all);
    test::WriteWholeFile(dir / "a.jpg", "");
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        bool removedFolder;
        int status;
        std::string out, err; // what stdout and stderr start with or hold
    } cases[] = {
        {"usage", {"--help"}, false, 0, Lead(TextId::PickUsage), ""},
        {"version", {"--version"}, false, 0, "albumwright-pick " ALBUMWRIGHT_VERSION_TEXT, ""},
        {"no display for the chooser", {}, false, 1, "", LoadText(TextId::PickNoDisplay)},
        {"relative name, folder removed", {"a.jpg"}, true, 1, "", Lead(TextId::PickNoCurrentFolder)},
        // The window itself cannot open a display here: the companion says how it ended.
        {"window without a display, folder removed",
         {(dir / "a.jpg").string()},
         true,
         1,
         "",
         Lead(TextId::PickEndedWithStatus).substr(0, Lead(TextId::PickEndedWithStatus).find('('))},
    };
    for (const auto& c : cases) {
        fs::create_directory(dir / "gone");
        std::string command =
            "cd " + ShellQuote((dir / (c.removedFolder ? "gone" : "")).string()) +
            (c.removedFolder ? " && rmdir \"$PWD\"" : "") + " && exec env -i LANG=C PATH=/usr/bin:/bin" +
            " XDG_RUNTIME_DIR=" + ShellQuote((dir / "runtime").string()) + " " + ShellQuote(ALBUMWRIGHT_PICK);
        for (const std::string& argument : c.arguments)
            command += " " + ShellQuote(argument);
        command +=
            " </dev/null >" + ShellQuote((dir / "out").string()) + " 2>" + ShellQuote((dir / "err").string());
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status)) << c.name;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.name;
        const std::string out = test::ReadWholeFile(dir / "out"), err = test::ReadWholeFile(dir / "err");
        EXPECT_EQ(out.substr(0, c.out.size()), c.out) << c.name << ": " << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.name << ": " << err;
    }
}

} // namespace
} // namespace aw
