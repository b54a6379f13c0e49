#include "app/startupcommand.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(StartupCommand, FirstPlainArgumentUnlessASwitchMakesItAnotherCommand) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"/pics/a b.jpg"}, "/pics/a b.jpg"},
        {{"/pics/a.jpg", "/pics/b.jpg"}, "/pics/a.jpg"}, // later plain arguments are ignored
        {{"-embedding", "a.jpg"}, "a.jpg"},              // switches that keep the open command
        {{"-p", "a.jpg"}, ""},                           // print
        {{"a.jpg", "-PT", "printer"}, ""},               // print-to, any case
        {{"-dde"}, ""},
        {{"-Unregserver", "a.jpg"}, ""},
        {{"", "a.jpg"}, ""}, // an empty first argument is the file
    };
    for (const auto& [arguments, file] : cases)
        EXPECT_EQ(StartupFileName(arguments), file) << ::testing::PrintToString(arguments);
}

} // namespace
} // namespace aw
