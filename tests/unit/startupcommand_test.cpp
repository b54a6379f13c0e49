#include "app/startupcommand.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(StartupCommand, FirstPlainArgumentUnlessASwitchMakesItAnotherCommand) {
    struct Case {
        std::vector<std::string> arguments;
        std::string file;
    };
    const Case cases[] = {
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
    for (const Case& c : cases)
        EXPECT_EQ(StartupFileName(c.arguments), c.file) << ::testing::PrintToString(c.arguments);
}

} // namespace
} // namespace aw
