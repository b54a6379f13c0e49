// SPDX-License-Identifier: MIT
#include "stringtable.h"

#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

namespace aw {
namespace {

// Switches back to English so that no test leaves the other language behind.
std::string TextIn(Language language, TextId id) {
    SetLanguage(language);
    const std::string text = LoadText(id);
    SetLanguage(Language::English);
    return text;
}

// The %s/%d conversions of a text in order; "%%" is a literal percent sign, not a conversion.
std::string Conversions(const std::string& text) {
    return std::regex_replace(text, std::regex("(%[sd])|%[\\s\\S]|[\\s\\S]"), "$1");
}

// The build checks that the Japanese table translates exactly the translatable texts; each translation
// keeps the conversions, the line breaks, a leading blank and the '&' marker, and fixed texts stay English.
TEST(StringTable, JapaneseTextsMatchTheEnglishOnes) {
    for (TextId id : TextIds(Language::Japanese)) {
        SCOPED_TRACE(TextNumber(id));
        const std::string en = TextIn(Language::English, id), ja = TextIn(Language::Japanese, id);
        ASSERT_FALSE(ja.empty());
        EXPECT_EQ(Conversions(ja), Conversions(en));
        EXPECT_EQ(std::count(ja.begin(), ja.end(), '\n'), std::count(en.begin(), en.end(), '\n'));
        EXPECT_EQ(ja.front() == ' ', en.front() == ' ');
        EXPECT_EQ(ja.find('&') != std::string::npos, en.find('&') != std::string::npos);
    }
    EXPECT_EQ(TextIn(Language::Japanese, TextId::IndexPageName), "Index.html");
    for (int number : {-1, 305, 523})
        EXPECT_EQ(TextForNumber(number), "") << number;
    EXPECT_EQ(TextForNumber(310), "Index.html");
}

} // namespace
} // namespace aw
