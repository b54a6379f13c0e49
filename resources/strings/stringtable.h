// SPDX-License-Identifier: MIT
// The program's string table: every user-visible text, fixed file name and settings name, in English and
// Japanese. Code names a text by TextId, made from the English table, so a wrong name fails to compile.
// Thread-safe: the tables are constant and the language is chosen once.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace aw {

enum class TextId : int {
#define S(number, name, text) name = number,
#define F(number, name, text) name = number,
#include "strings_en.inc"
#undef S
#undef F
};

enum class Language { English, Japanese };

// The text of `id` in the current language (English where the language has none).
std::string LoadText(TextId id);

// The number of `id` in the table, as data such as arrangement files names it.
constexpr int TextNumber(TextId id) {
    return static_cast<int>(id);
}

// The text whose table number is `number`, for data that names texts by number (arrangement files). An
// empty text when no text has that number: a number that names no string writes nothing.
std::string TextForNumber(int number);

// The ids that the table of `language` itself holds, in table order (no fallback); for checking the tables.
std::vector<TextId> TextIds(Language language);

// The language follows the user's locale (LC_ALL, LC_MESSAGES, LANG: "ja" picks Japanese) unless set here.
Language CurrentLanguage();
void SetLanguage(Language language);

// printf-style filling of a loaded text whose only conversions are %s and %d, in order. Safe against
// texts with fewer or more conversions than arguments: missing ones become empty, extra ones are dropped.
std::string FormatText(const std::string& text, std::initializer_list<std::string> args);

} // namespace aw
