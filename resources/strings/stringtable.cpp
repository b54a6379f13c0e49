// SPDX-License-Identifier: MIT
#include "stringtable.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>

namespace aw {
namespace {

struct Entry {
    int number;
    bool fixed; // the same text in every language
    const char* text;
};

constexpr Entry kEnglish[] = {
#define S(number, name, text) {number, false, text},
#define F(number, name, text) {number, true, text},
#include "strings_en.inc"
#undef S
#undef F
};

consteval const Entry* EnglishEntry(TextId id) {
    for (const Entry& e : kEnglish)
        if (e.number == static_cast<int>(id))
            return &e;
    return nullptr;
}

// Stops the build at a Japanese line that names a fixed text: those must stay as they are in every language.
consteval TextId Translatable(TextId id) {
    if (EnglishEntry(id)->fixed)
        throw "a fixed text has no translation";
    return id;
}

struct Translation {
    TextId id;
    const char* text;
};

constexpr Translation kJapanese[] = {
#define J(name, text) {Translatable(TextId::name), text},
#include "strings_ja.inc"
#undef J
};

// Two enumerators may share a value, so the numbers' uniqueness is checked here, with the Japanese table's.
consteval bool NumbersUnique() {
    for (std::size_t i = 0; i < std::size(kEnglish); ++i)
        for (std::size_t j = i + 1; j < std::size(kEnglish); ++j)
            if (kEnglish[i].number == kEnglish[j].number)
                return false;
    return true;
}

// Every translatable text exactly once: with Translatable() above, the two tables name the same set.
consteval bool EveryTextTranslatedOnce() {
    for (const Entry& e : kEnglish) {
        int count = 0;
        for (const Translation& t : kJapanese)
            count += static_cast<int>(t.id) == e.number;
        if (count != (e.fixed ? 0 : 1))
            return false;
    }
    return true;
}

static_assert(NumbersUnique(), "two entries of strings_en.inc share a number");
static_assert(EveryTextTranslatedOnce(), "strings_ja.inc must name every S entry of strings_en.inc once");

std::atomic<int> g_language{-1};

Language LanguageFromLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? Language::Japanese : Language::English;
    }
    return Language::English;
}

const char* FindEnglish(int number) {
    for (const Entry& e : kEnglish)
        if (e.number == number)
            return e.text;
    return nullptr;
}

const char* FindJapanese(TextId id) {
    for (const Translation& t : kJapanese)
        if (t.id == id)
            return t.text;
    return nullptr;
}

} // namespace

Language CurrentLanguage() {
    int value = g_language.load();
    if (value < 0) {
        value = static_cast<int>(LanguageFromLocale());
        g_language.store(value);
    }
    return static_cast<Language>(value);
}

void SetLanguage(Language language) {
    g_language.store(static_cast<int>(language));
}

std::string LoadText(TextId id) {
    const char* text = CurrentLanguage() == Language::Japanese ? FindJapanese(id) : nullptr;
    if (!text)
        text = FindEnglish(static_cast<int>(id));
    return text ? std::string(text) : std::string();
}

std::string TextForNumber(int number) {
    return FindEnglish(number) ? LoadText(static_cast<TextId>(number)) : std::string();
}

std::vector<TextId> TextIds(Language language) {
    std::vector<TextId> ids;
    if (language == Language::Japanese) {
        for (const Translation& t : kJapanese)
            ids.push_back(t.id);
    } else {
        for (const Entry& e : kEnglish)
            ids.push_back(static_cast<TextId>(e.number));
    }
    return ids;
}

std::string FormatText(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(text.size() + 64);
    auto next = args.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            const char c = text[i + 1];
            if (c == 's' || c == 'd') {
                if (next != args.end())
                    out += *next++;
                ++i;
                continue;
            }
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace aw
