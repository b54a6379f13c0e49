// SPDX-License-Identifier: MIT
#include "dialogs/helpbook.h"

#include <string>

#include <gtest/gtest.h>

#include "album/browserplayback.h"
#include "album/mediapath.h"
#include "support/testpaths.h"

namespace aw {
namespace {

// The built book's main page names every kind the program takes and what plays as it is, in both languages,
// from the program's tables.
TEST(HelpBook, MainPageListsTheKindsOfTheProgramsTables) {
    for (const char* language : {"en", "ja"}) {
        const std::string page = test::ReadWholeFile(test::BinDir() / "help" / language / "2000.html");
        EXPECT_EQ(page.find("<!-- kinds"), std::string::npos) << language;
        for (const MediaPath::Extension& extension : MediaPath::kExtensions) {
            const std::string name = LoadText(extension.text);
            EXPECT_TRUE(page.find(name + " ") != std::string::npos ||
                        page.find(name + "<") != std::string::npos)
                << language << " " << name;
        }
        EXPECT_NE(page.find(PlayableSounds().back().audio.back().shown), std::string::npos) << language;
    }
}

} // namespace
} // namespace aw
