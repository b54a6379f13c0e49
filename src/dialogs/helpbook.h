// SPDX-License-Identifier: MIT
// Where the help book lies: one HTML page per topic, "<context>.html", in a folder per language ("en", "ja"),
// either beside the program (<program folder>/help, where the build puts it) or installed under
// <program folder>/../share/albumwright/help. Reads only file names; thread-safe.
#pragma once

#include <string>

#include "stringtable.h"

namespace aw {

class HelpBook {
public:
    enum Lookup { Found, Expected };

    // Found: the absolute path of the page for `context` in `language`, the English page when that
    // language has none, or "" when neither book holds the page (or the context is negative).
    // Expected: where the page in `language` would lie beside the program, whether it exists or not.
    static std::string PagePath(const std::string& programFolder, Language language, int context,
                                Lookup lookup = Found);
};

} // namespace aw
