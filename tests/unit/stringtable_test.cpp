// SPDX-License-Identifier: MIT
#include "stringtable.h"

#include <algorithm>
#include <regex>
#include <set>

#include <gtest/gtest.h>

namespace aw {
namespace {

// Switches back to English so that no test leaves the other language behind.
std::string TextIn(Language language, int id) {
    SetLanguage(language);
    const std::string text = LoadText(id);
    SetLanguage(Language::English);
    return text;
}

// The %s/%d conversions of a text in order; "%%" is a literal percent sign, not a conversion.
std::string Conversions(const std::string& text) {
    return std::regex_replace(text, std::regex("(%[sd])|%[\\s\\S]|[\\s\\S]"), "$1");
}

// Fixed names (files, settings, modules, page fragments) stay; every other text is translated keeping the
// conversions, the line breaks, a leading blank and the '&' marker.
TEST(StringTable, JapaneseTextsMatchTheEnglishOnes) {
    std::set<int> fixed{300, 301, 302, 303, 304, 321, 322, 324, 325, 439, 2012};
    for (auto [first, last] :
         {std::pair{307, 319}, {327, 341}, {350, 359}, {412, 420}, {500, 522}, {3500, 3505}})
        for (int id = first; id <= last; ++id)
            fixed.insert(id);
    const std::vector<int> japanese = TextIds(Language::Japanese);
    const std::set<int> translated(japanese.begin(), japanese.end());
    EXPECT_EQ(translated.size(), japanese.size()) << "duplicate id in the Japanese table";
    for (int id : japanese)
        EXPECT_TRUE(HasText(id)) << id << " is missing from the English table";
    for (int id : TextIds(Language::English)) {
        SCOPED_TRACE(id);
        const std::string en = TextIn(Language::English, id), ja = TextIn(Language::Japanese, id);
        if (fixed.count(id)) {
            EXPECT_EQ(ja, en);
            continue;
        }
        ASSERT_TRUE(translated.count(id) && !ja.empty()) << "no Japanese text";
        EXPECT_EQ(Conversions(ja), Conversions(en));
        EXPECT_EQ(std::count(ja.begin(), ja.end(), '\n'), std::count(en.begin(), en.end(), '\n'));
        EXPECT_EQ(ja.front() == ' ', en.front() == ' ');
        EXPECT_EQ(ja.find('&') != std::string::npos, en.find('&') != std::string::npos);
    }
    for (int id : {-1, 305, 523})
        EXPECT_EQ(TextIn(Language::Japanese, id) + TextIn(Language::English, id), "") << id;
}

TEST(StringTable, FormatFillsInOrderAndToleratesArgumentCounts) {
    const struct {
        const char* text;
        std::initializer_list<std::string> args;
        const char* expected;
    } cases[] = {
        {"File %s: %d", {"a.jpg", "3"}, "File a.jpg: 3"},        {"File %s: %s", {"a.jpg"}, "File a.jpg: "},
        {"File %s", {"a.jpg", "extra"}, "File a.jpg"},           {"100%% of %s", {"it"}, "100% of it"},
        {"%x stays, trailing %", {"x"}, "%x stays, trailing %"}, {"%s", {"%d %s"}, "%d %s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatText(c.text, c.args), c.expected) << c.text;
}

} // namespace
} // namespace aw
