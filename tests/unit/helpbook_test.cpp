// SPDX-License-Identifier: MIT
#include "dialogs/helpbook.h"

#include <filesystem>
#include <utility>

#include <gtest/gtest.h>

#include "album/browserplayback.h"
#include "album/mediapath.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

TEST(HelpBook, FindsThePageBesideTheProgramThenInstalledThenInEnglish) {
    test::ScratchDir root;
    for (const char* page : {"bin/help/en/2000.html", "share/albumwright/help/en/2000.html",
                             "share/albumwright/help/en/2001.html", "share/albumwright/help/ja/2001.html"}) {
        fs::create_directories((root / page).parent_path());
        test::WriteWholeFile(root / page, "<html></html>");
    }
    const auto found = [&](Language language, int context) {
        const std::string page = HelpBook::PagePath((root / "bin").string(), language, context);
        return page.empty() ? std::string() : fs::relative(page, root.path()).string();
    };
    const std::string share = "share/albumwright/help/";
    EXPECT_EQ(found(Language::English, 2000), "bin/help/en/2000.html");
    EXPECT_EQ(found(Language::Japanese, 2000), "bin/help/en/2000.html");
    EXPECT_EQ(found(Language::English, 2001), share + "en/2001.html");
    EXPECT_EQ(found(Language::Japanese, 2001), share + "ja/2001.html");
    EXPECT_EQ(found(Language::English, 2002) + found(Language::English, -1), "");
    // The built book has every topic in both languages.
    for (int context : {2000, 2001})
        for (const auto& [language, folder] :
             {std::pair{Language::English, "/en/"}, {Language::Japanese, "/ja/"}})
            EXPECT_NE(HelpBook::PagePath(test::BinDir().string(), language, context).find(folder),
                      std::string::npos)
                << context;
}

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
