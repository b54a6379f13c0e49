// SPDX-License-Identifier: MIT
// Opens the help book's page for a topic in the user's default web browser: the page in the user's language
// (Japanese for a Japanese locale, else English), found beside the program or in the installed share
// folder (see HelpBook). When the page is missing or nothing could show it, says so in a box that names
// the page (string 3300), so that a Help press never does nothing. `boxes` is borrowed and must outlive the
// opener. User-interface thread only.
#pragma once

#include "dialogs/helpopener.h"

namespace aw {

class MessageService;

class DesktopHelpOpener : public HelpOpener {
public:
    explicit DesktopHelpOpener(MessageService& boxes) : boxes_(boxes) {}

    // False (after the box) when the book has no page for `context` or no browser could be started.
    bool OpenHelp(int context) override;

private:
    MessageService& boxes_;
};

} // namespace aw
