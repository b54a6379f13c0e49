// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include <gtest/gtest.h>

#include "session/createworkflow.h"

namespace aw::cli {
namespace {

using Args = std::vector<std::string>;
constexpr auto Colour = &CreateWorkflow::ColourText;

TEST(CommandLine, OptionForms) {
    std::string error;
    // Joined values, values holding "=", clustered flags, "--" before names that look like options.
    const auto line = CommandLine::Parse({"--output=/o", "--title=a=b", "--arrangement=2", "-b", "3",
                                          "-eqyw/w", "-f", "#A0b1C2", "--open", "--update", "--prune",
                                          "--sort=taken", "--remove-location", "a.jpg", "--", "-q", "-"},
                                         error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->outputFolder + "|" + line->pageTitle + "|" + line->workFolder, "/o|a=b|/w");
    EXPECT_EQ(std::to_string(line->arrangement) + std::to_string(line->background) + Colour(line->fontColour),
              "23#a0b1c2");
    EXPECT_TRUE(line->embed && line->openWhenDone && line->quiet && line->update && line->prune &&
                line->answer == Answer::Yes && line->removeLocation && line->sort == SortOrder::Taken);
    EXPECT_EQ(line->files, (Args{"a.jpg", "-q", "-"}));
    EXPECT_EQ(CommandLine::Parse({"-h", "--version"}, error)->action, CommandLine::Action::Help);
    EXPECT_EQ(CommandLine::Parse({"--version"}, error)->action, CommandLine::Action::Version);
}

TEST(CommandLine, BadUsageIsRefusedWithAReason) {
    const Args cases[] = {{"a.jpg"},
                          {"-o", "out"},
                          {"-o"},
                          {"-o", "out", "-qz", "a.jpg"},
                          {"-o", "out", "--arrangement=1x", "a.jpg"},
                          {"-o", "out", "-b", "", "a.jpg"},
                          {"-o", "out", "-f", "#12345g", "a.jpg"},
                          {"-o", "out", "-y", "-n", "a.jpg"},
                          {"-o", "out", "--quiet=1", "a.jpg"},
                          {"-o", "out", "--prune", "a.jpg"},
                          {"-o", "out", "-a", "6", "a.jpg"},
                          {"-o", "out", "-a", "5", "--arrangement-file", "f.dat", "a.jpg"},
                          {"-o", "out", "--sort", "date", "a.jpg"}};
    for (const Args& args : cases) {
        std::string error;
        EXPECT_FALSE(CommandLine::Parse(args, error) || error.empty()) << ::testing::PrintToString(args);
    }
}

} // namespace
} // namespace aw::cli
