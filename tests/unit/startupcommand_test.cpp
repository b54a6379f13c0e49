// SPDX-License-Identifier: MIT
#include "app/startupcommand.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

// A relative name is made absolute against the current folder: its folder is where the album goes.
TEST(StartupCommand, FirstPlainArgumentUnlessASwitchMakesItAnotherCommand) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/pics/a.jpg", "/pics/b.jpg"}, "/pics/a.jpg"},
        {{"-embedding", "a.jpg"}, "/home/u/a.jpg"},
        {{"pics/./b c.jpg"}, "/home/u/pics/b c.jpg"},
        {{"a.jpg", "-PT", "printer"}, ""},
        {{"-Unregserver", "a.jpg"}, ""},
        {{"", "a.jpg"}, ""}, // an empty first argument is the file
    };
    for (const auto& [arguments, file] : cases)
        EXPECT_EQ(StartupFileName(arguments, "/home/u"), file) << ::testing::PrintToString(arguments);
}

} // namespace
} // namespace aw
