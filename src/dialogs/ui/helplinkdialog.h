// SPDX-License-Identifier: MIT
// An information message with OK and a Help button (string 225) that opens the help at the caller's topic
// and leaves the window open; the Create command uses it for message 441 with topic 2001. `help` must
// outlive the window. A widget: user-interface thread only.
#pragma once

#include <string>

#include <QDialog>

namespace aw {

class HelpOpener;

class HelpLinkDialog : public QDialog {
    Q_OBJECT

public:
    HelpLinkDialog(std::string message, std::string caption, int helpContext, HelpOpener& help,
                   QWidget* parent = nullptr);

    // Runs the window modally; 1 after OK, 2 after Esc or the close box. Callers ignore it.
    int Run();

private:
    void OpenHelp();

    int helpContext_;
    HelpOpener& help_;
};

} // namespace aw
