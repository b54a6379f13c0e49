// Where the help book lies: one HTML page per topic, "<context>.html", in a folder per language ("en", "ja"),
// either beside the program (<program folder>/help, where the build puts it) or installed under
// <program folder>/../share/albumwright/help. Reads only file names; thread-safe.
#pragma once

#include <string>

#include "stringtable.h"

namespace aw {

class HelpBook {
public:
    // The absolute path of the page for `context` in `language`, the English page when that language has
    // none, or "" when neither book holds the page (or the context is negative).
    static std::string PagePath(const std::string& programFolder, Language language, int context);
};

} // namespace aw
