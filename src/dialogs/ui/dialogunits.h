// SPDX-License-Identifier: MIT
// Lays out a window whose controls are given in dialog units, the font-relative measure of dialog
// templates: a horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height, so the window grows with the font it shows. Also names controls by their ids.
// User-interface thread only.
#pragma once

#include <QRect>

class QFont;
class QWidget;

namespace aw {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    // The pixel rectangle of a control at (x, y) of size (width, height) in dialog units.
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

    // Places `widget` at the rectangle and names it after `id` (see NameControl).
    void Place(QWidget* widget, int id, int x, int y, int width, int height) const;

    // Object name "c<id>" and the property controlId = id, by which tests and the owner find a control.
    static void NameControl(QWidget* widget, int id);

private:
    int baseX_;
    int baseY_;
};

} // namespace aw
