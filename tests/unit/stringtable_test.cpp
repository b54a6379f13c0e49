#include "stringtable.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

// Texts that code and stored files depend on byte for byte: extensions, settings names, page and folder
// names, names shared with the companion program, htmldata files, module and entry-point names, the help
// reference, the work-folder setting and the page fragments. The ranges have gaps where the table has no
// string.
std::set<int> LanguageNeutralIds() {
    std::set<int> ids{300, 301, 302, 303, 304, 321, 322, 324, 325, 439, 2012};
    for (auto [first, last] : {std::pair{307, 319}, {327, 341}, {412, 420}, {500, 521}})
        for (int id = first; id <= last; ++id)
            ids.insert(id);
    return ids;
}

std::string TextIn(Language language, int id) {
    SetLanguage(language);
    return LoadText(id);
}

// The %s/%d conversions of a text in order; "%%" is a literal percent sign, not a conversion.
std::string Conversions(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (text[i + 1] == 's' || text[i + 1] == 'd')
            out += text[i + 1];
        ++i;
    }
    return out;
}

class StringTable : public ::testing::Test {
protected:
    void TearDown() override { SetLanguage(Language::English); }
};

TEST_F(StringTable, JapaneseKeepsConversionsBreaksAndMarkers) {
    for (int id : TextIds(Language::Japanese)) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(HasText(id)) << "Japanese id missing from the English table";
        const std::string en = TextIn(Language::English, id);
        const std::string ja = TextIn(Language::Japanese, id);
        EXPECT_FALSE(ja.empty());
        EXPECT_EQ(Conversions(ja), Conversions(en));
        // Message boxes are laid out by these breaks; 404 and 429 end with one so that more text follows
        // below.
        EXPECT_EQ(std::count(ja.begin(), ja.end(), '\n'), std::count(en.begin(), en.end(), '\n'));
        EXPECT_EQ(!ja.empty() && ja.back() == '\n', en.back() == '\n');
        // Leading blanks are layout (437 follows a file name, the size units follow a number).
        EXPECT_EQ(ja.front() == ' ', en.front() == ' ');
        EXPECT_EQ(ja.find('&') != std::string::npos, en.find('&') != std::string::npos);
    }
}

TEST_F(StringTable, EveryTextIsTranslatedExceptTheNeutralOnes) {
    const std::set<int> neutral = LanguageNeutralIds();
    const std::vector<int> japanese = TextIds(Language::Japanese);
    const std::set<int> translated(japanese.begin(), japanese.end());
    EXPECT_EQ(translated.size(), japanese.size()) << "duplicate id in the Japanese table";
    for (int id : TextIds(Language::English)) {
        SCOPED_TRACE(id);
        if (neutral.count(id))
            EXPECT_EQ(TextIn(Language::Japanese, id), TextIn(Language::English, id));
        else
            EXPECT_TRUE(translated.count(id)) << "no Japanese text";
    }
}

TEST_F(StringTable, UnknownIdsAreEmptyInBothLanguages) {
    for (Language language : {Language::English, Language::Japanese})
        for (int id : {0, -1, 305, 522, 99999}) {
            SCOPED_TRACE(id);
            EXPECT_EQ(TextIn(language, id), "");
            EXPECT_FALSE(HasText(id));
        }
}

TEST_F(StringTable, SetLanguageSwitches) {
    SetLanguage(Language::Japanese);
    EXPECT_EQ(CurrentLanguage(), Language::Japanese);
    EXPECT_EQ(LoadText(411), "エラー");
    EXPECT_EQ(LoadText(310), "Index.html");
    SetLanguage(Language::English);
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_EQ(LoadText(411), "Error");
}

TEST_F(StringTable, FormatFillsInOrderAndToleratesArgumentCounts) {
    const struct {
        const char* text;
        std::initializer_list<std::string> args;
        const char* expected;
    } cases[] = {
        {"%d of %d images", {"1", "3"}, "1 of 3 images"},
        {"File %s: %s", {"a.jpg", "too large."}, "File a.jpg: too large."},
        {"File %s: %s", {"a.jpg"}, "File a.jpg: "},
        {"File %s", {"a.jpg", "extra", "more"}, "File a.jpg"},
        {"No conversions", {"x"}, "No conversions"},
        {"100%% of %s", {"it"}, "100% of it"},
        {"%x stays, trailing %", {"x"}, "%x stays, trailing %"},
        {"%s", {"%d %s"}, "%d %s"},
        {"", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatText(c.text, c.args), c.expected);
    }
}

TEST_F(StringTable, JapaneseReasonsComposeIntoTheFileMessage) {
    SetLanguage(Language::Japanese);
    for (int id = 3001; id <= 3009; ++id) {
        SCOPED_TRACE(id);
        const std::string message = FormatText(LoadText(3000), {"a.jpg", LoadText(id)});
        EXPECT_EQ(message.rfind("ファイル a.jpg を使用できませんでした: ", 0), 0u);
        EXPECT_TRUE(message.ends_with("。"));
    }
}

} // namespace
} // namespace aw
