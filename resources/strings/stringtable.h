// SPDX-License-Identifier: MIT
// The program's string table: every user-visible text, fixed file name and settings name, in English and
// Japanese under the same ids. Thread-safe: the tables are constant and the language is chosen once.
#pragma once

#include <string>
#include <vector>

namespace aw {

enum class Language { English, Japanese };

// The text of `id` in the current language; an empty text when no string has that id (callers such as the
// page writer rely on that: a number that names no string writes nothing).
std::string LoadText(int id);

// True when the table holds `id` (in English, which holds every id).
bool HasText(int id);

// The ids that the table of `language` itself holds, in table order (no fallback); for checking the tables.
std::vector<int> TextIds(Language language);

// The language follows the user's locale (LC_ALL, LC_MESSAGES, LANG: "ja" picks Japanese) unless set here.
Language CurrentLanguage();
void SetLanguage(Language language);

// printf-style filling of a loaded text whose only conversions are %s and %d, in order. Safe against
// texts with fewer or more conversions than arguments: missing ones become empty, extra ones are dropped.
std::string FormatText(const std::string& text, std::initializer_list<std::string> args);

} // namespace aw
