#include "cli/commandline.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stringtable.h"

namespace aw::cli {
namespace {

using Args = std::vector<std::string>;

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguage(Language::English); }
};

TEST_F(CommandLineTest, DefaultsWithTheRequiredParts) {
    std::string error;
    const auto line = CommandLine::Parse({"-o", "out", "a.jpg"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->action, CommandLine::Action::Make);
    EXPECT_EQ(line->outputFolder, "out");
    EXPECT_EQ(line->pageTitle, "");
    EXPECT_EQ(line->arrangement, 1);
    EXPECT_EQ(line->background, 0);
    EXPECT_EQ(CreateWorkflow::ColourText(line->backgroundColour), "#ffffff");
    EXPECT_EQ(CreateWorkflow::ColourText(line->fontColour), "#000000");
    EXPECT_FALSE(line->embed || line->openWhenDone || line->quiet);
    EXPECT_EQ(line->answer, Answer::Ask);
    EXPECT_TRUE(line->workFolder.empty() && line->arrangementFile.empty());
    EXPECT_EQ(line->files, Args{"a.jpg"});
}

TEST_F(CommandLineTest, EveryOptionInItsForms) {
    struct Case {
        Args args;
        std::string (*field)(const CommandLine&);
        std::string expected;
    };
    auto title = [](const CommandLine& l) { return l.pageTitle; };
    auto output = [](const CommandLine& l) { return l.outputFolder; };
    auto arrangement = [](const CommandLine& l) { return std::to_string(l.arrangement); };
    auto background = [](const CommandLine& l) { return std::to_string(l.background); };
    auto bgColour = [](const CommandLine& l) { return CreateWorkflow::ColourText(l.backgroundColour); };
    auto fgColour = [](const CommandLine& l) { return CreateWorkflow::ColourText(l.fontColour); };
    auto flags = [](const CommandLine& l) {
        return std::string(l.embed ? "e" : "") + (l.openWhenDone ? "o" : "") + (l.quiet ? "q" : "") +
               (l.answer == Answer::Yes  ? "y"
                : l.answer == Answer::No ? "n"
                                         : "");
    };
    auto work = [](const CommandLine& l) { return l.workFolder; };
    auto form = [](const CommandLine& l) { return l.arrangementFile; };
    auto files = [](const CommandLine& l) {
        std::string joined;
        for (const std::string& f : l.files)
            joined += "[" + f + "]";
        return joined;
    };
    const Case cases[] = {
        {{"-t", "My <b>Trip</b>"}, title, "My <b>Trip</b>"},
        {{"--title", "x y"}, title, "x y"},
        {{"--title=a=b"}, title, "a=b"},
        {{"-tJoined"}, title, "Joined"},
        {{"--output=/o2"}, output, "/o2"},
        {{"-a", "4"}, arrangement, "4"},
        {{"--arrangement=2"}, arrangement, "2"},
        {{"-b", "2"}, background, "2"},
        {{"--background", "0"}, background, "0"},
        {{"--background-colour", "#A0b1C2"}, bgColour, "#a0b1c2"},
        {{"-f", "#123456"}, fgColour, "#123456"},
        {{"--font-colour=#ffffff"}, fgColour, "#ffffff"},
        {{"-e", "--open", "-q", "-y"}, flags, "eoqy"},
        {{"-eqn"}, flags, "eqn"},
        {{"--embed", "--quiet", "--no"}, flags, "eqn"},
        {{"-y", "--yes"}, flags, "y"},
        {{"-w", "/tmp/w"}, work, "/tmp/w"},
        {{"-yw/tmp/x"}, work, "/tmp/x"},
        {{"--arrangement-file", "mine.dat"}, form, "mine.dat"},
        {{"b.bmp", "--", "-odd.jpg", "-q"}, files, "[a.jpg][b.bmp][-odd.jpg][-q]"},
        {{"-", "c.mp3"}, files, "[a.jpg][-][c.mp3]"},
    };
    for (const Case& c : cases) {
        Args args{"-o", "/out", "a.jpg"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string error;
        const auto line = CommandLine::Parse(args, error);
        ASSERT_TRUE(line) << c.args[0] << ": " << error;
        EXPECT_EQ(c.field(*line), c.expected) << c.args[0];
    }
}

TEST_F(CommandLineTest, BadUsageIsRefusedWithAReason) {
    struct Case {
        Args args;
        std::string error;
    };
    const Case cases[] = {
        {{"a.jpg"}, "the output folder is missing (-o DIR)"},
        {{"-o", "out"}, "no file given"},
        {{"-o"}, "option -o needs a value"},
        {{"-o", "out", "a.jpg", "--title"}, "option --title needs a value"},
        {{"-o", "out", "-x", "a.jpg"}, "unknown option -x"},
        {{"-o", "out", "--colour=#fff", "a.jpg"}, "unknown option --colour"},
        {{"-o", "out", "-a", "5", "a.jpg"}, "-a is not a number from 1 to 4: 5"},
        {{"-o", "out", "-a", "0", "a.jpg"}, "-a is not a number from 1 to 4: 0"},
        {{"-o", "out", "--arrangement=1x", "a.jpg"}, "--arrangement is not a number from 1 to 4: 1x"},
        {{"-o", "out", "-b", "-1", "a.jpg"}, "-b is not a number from 0 to 4: -1"},
        {{"-o", "out", "-b", "", "a.jpg"}, "-b is not a number from 0 to 4: "},
        {{"-o", "out", "-f", "#12345", "a.jpg"}, "-f is not a colour of the form #rrggbb: #12345"},
        {{"-o", "out", "--background-colour", "red", "a.jpg"},
         "--background-colour is not a colour of the form #rrggbb: red"},
        {{"-o", "out", "-f", "#12345g", "a.jpg"}, "-f is not a colour of the form #rrggbb: #12345g"},
        {{"-o", "out", "-y", "-n", "a.jpg"}, "-y and -n cannot be used together"},
        {{"-o", "out", "--quiet=1", "a.jpg"}, "option --quiet takes no value"},
        {{"-o", "out", "-qz", "a.jpg"}, "unknown option -z"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CommandLine::Parse(c.args, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(CommandLineTest, HelpAndVersionNeedNothingElse) {
    std::string error;
    EXPECT_EQ(CommandLine::Parse({"--help"}, error)->action, CommandLine::Action::Help);
    EXPECT_EQ(CommandLine::Parse({"-h", "--version"}, error)->action, CommandLine::Action::Help);
    EXPECT_EQ(CommandLine::Parse({"--version"}, error)->action, CommandLine::Action::Version);
    EXPECT_NE(UsageText().find("albumwright-make -o DIR [options] FILE..."), std::string::npos);
}

} // namespace
} // namespace aw::cli
