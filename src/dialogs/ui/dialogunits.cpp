// SPDX-License-Identifier: MIT
#include "dialogs/ui/dialogunits.h"

#include <algorithm>

#include <QFontMetrics>
#include <QWidget>

namespace aw {
namespace {

// Whole-number scaling rounded to the nearest pixel, as dialog templates are laid out.
int Scale(int value, int base, int divisor) {
    return (value * base + divisor / 2) / divisor;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, and the full line height.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (letters / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    const int left = Scale(x, baseX_, 4);
    const int top = Scale(y, baseY_, 8);
    return QRect(left, top, Scale(x + width, baseX_, 4) - left, Scale(y + height, baseY_, 8) - top);
}

QSize DialogUnits::Size(int width, int height) const {
    return QSize(Scale(width, baseX_, 4), Scale(height, baseY_, 8));
}

void DialogUnits::Place(QWidget* widget, int id, int x, int y, int width, int height) const {
    NameControl(widget, id);
    widget->setGeometry(Rect(x, y, width, height));
}

void DialogUnits::NameControl(QWidget* widget, int id) {
    widget->setObjectName(QStringLiteral("c%1").arg(id));
    widget->setProperty("controlId", id);
}

} // namespace aw
