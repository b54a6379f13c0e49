// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "stringtable.h"

namespace aw::cli {
namespace {

using Args = std::vector<std::string>;
constexpr auto Colour = &CreateWorkflow::ColourText;

TEST(CommandLine, DefaultsAndOptionForms) {
    std::string error;
    const auto plain = CommandLine::Parse({"-o", "out", "a.jpg"}, error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(std::to_string(plain->arrangement) + std::to_string(plain->background) +
                  Colour(plain->backgroundColour) + Colour(plain->fontColour),
              "10#ffffff#000000");
    EXPECT_FALSE(plain->embed || plain->openWhenDone || plain->quiet || plain->update || plain->prune ||
                 plain->answer != Answer::Ask);
    // Joined values, values holding "=", clustered flags, "--" before names that look like options.
    const auto line =
        CommandLine::Parse({"--output=/o", "--title=a=b", "--arrangement=2", "-b", "3", "-eqyw/w", "-f",
                            "#A0b1C2", "--open", "--update", "--prune", "a.jpg", "--", "-q", "-"},
                           error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->outputFolder + "|" + line->pageTitle + "|" + line->workFolder, "/o|a=b|/w");
    EXPECT_EQ(std::to_string(line->arrangement) + std::to_string(line->background) + Colour(line->fontColour),
              "23#a0b1c2");
    EXPECT_TRUE(line->embed && line->openWhenDone && line->quiet && line->update && line->prune &&
                line->answer == Answer::Yes);
    EXPECT_EQ(line->files, (Args{"a.jpg", "-q", "-"}));
    EXPECT_EQ(CommandLine::Parse({"-h", "--version"}, error)->action, CommandLine::Action::Help);
    EXPECT_EQ(CommandLine::Parse({"--version"}, error)->action, CommandLine::Action::Version);
}

TEST(CommandLine, BadUsageIsRefusedWithAReason) {
    SetLanguage(Language::English);
    const std::pair<Args, std::string> cases[] = {
        {{"a.jpg"}, "the output folder is missing (-o DIR)"},
        {{"-o", "out"}, "no file given"},
        {{"-o"}, "option -o needs a value"},
        {{"-o", "out", "--colour=#fff", "a.jpg"}, "unknown option --colour"},
        {{"-o", "out", "-qz", "a.jpg"}, "unknown option -z"},
        {{"-o", "out", "-a", "5", "a.jpg"}, "-a is not a number from 1 to 4: 5"},
        {{"-o", "out", "--arrangement=1x", "a.jpg"}, "--arrangement is not a number from 1 to 4: 1x"},
        {{"-o", "out", "-b", "", "a.jpg"}, "-b is not a number from 0 to 4: "},
        {{"-o", "out", "-f", "#12345g", "a.jpg"}, "-f is not a colour of the form #rrggbb: #12345g"},
        {{"-o", "out", "-y", "-n", "a.jpg"}, "-y and -n cannot be used together"},
        {{"-o", "out", "--quiet=1", "a.jpg"}, "option --quiet takes no value"},
        {{"-o", "out", "--prune", "a.jpg"}, "--prune needs --update"},
    };
    for (const auto& [args, reason] : cases) {
        std::string error;
        EXPECT_FALSE(CommandLine::Parse(args, error));
        EXPECT_EQ(error, reason);
    }
}

} // namespace
} // namespace aw::cli
