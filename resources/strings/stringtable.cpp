// SPDX-License-Identifier: MIT
#include "stringtable.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

namespace aw {
namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kEnglish[] = {
#include "strings_en.inc"
};

constexpr Entry kJapanese[] = {
#include "strings_ja.inc"
};

std::atomic<int> g_language{-1};

Language LanguageFromLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? Language::Japanese : Language::English;
    }
    return Language::English;
}

const char* Find(std::span<const Entry> table, int id) {
    for (const Entry& e : table)
        if (e.id == id)
            return e.text;
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

void SetLanguage(Language language) { g_language.store(static_cast<int>(language)); }

std::string LoadText(int id) {
    const char* text = nullptr;
    if (CurrentLanguage() == Language::Japanese)
        text = Find(kJapanese, id);
    if (!text)
        text = Find(kEnglish, id);
    return text ? std::string(text) : std::string();
}

bool HasText(int id) { return Find(kEnglish, id) != nullptr; }

std::vector<int> TextIds(Language language) {
    std::vector<int> ids;
    for (const Entry& e : language == Language::Japanese ? std::span<const Entry>(kJapanese)
                                                         : std::span<const Entry>(kEnglish))
        ids.push_back(e.id);
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
