// SPDX-License-Identifier: MIT
// The about window: the program's icon, the version line, the company line (string 229) and the copyright
// line (string 230), with OK. The version line is the short string 423, or, when Shift and Ctrl are both
// held as the window opens, string 422 filled with the four parts of the version recorded in the running
// program's file (0 . 0 . 0 . 0 when it records none). F1 opens no help here.
// A widget: user-interface thread only.
#pragma once

#include <string>

#include <QDialog>

namespace aw {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    // Takes the keys held at this moment.
    explicit AboutBox(QWidget* parent = nullptr);
    // Takes the keys given: the seam for tests.
    AboutBox(Qt::KeyboardModifiers held, QWidget* parent);

    // Runs the window modally; 1 after OK, 2 after Esc or the close box. Callers ignore it.
    int Run();

    // The version line for the keys `held` and the program file at `programPath`.
    static std::string VersionLine(Qt::KeyboardModifiers held, const std::string& programPath);
};

} // namespace aw
