// Opens the help book's page for a topic in the user's default web browser: the page in the user's language
// (Japanese for a Japanese locale, else English), found beside the program or in the installed share
// folder (see HelpBook). User-interface thread only.
#pragma once

#include "dialogs/helpopener.h"

namespace aw {

class DesktopHelpOpener : public HelpOpener {
public:
    // False when the book has no page for `context` or no browser could be started.
    bool OpenHelp(int context) override;
};

} // namespace aw
