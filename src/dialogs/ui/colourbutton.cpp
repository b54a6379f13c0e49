// SPDX-License-Identifier: MIT
#include "dialogs/ui/colourbutton.h"

#include <QPainter>

namespace aw {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kShadow(128, 128, 128);
const QColor kLight(223, 223, 223);

// Lines run from their start towards their end, the end itself not painted; all of them are straight
// across or down, so each is a one-pixel rectangle.
void Across(QPainter& p, int x0, int x1, int y, const QColor& c) {
    p.fillRect(x0, y, x1 - x0, 1, c);
}
void Down(QPainter& p, int x, int y0, int y1, const QColor& c) {
    p.fillRect(x, y0, 1, y1 - y0, c);
}

} // namespace

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {}

void ColourButton::SetState(int state) {
    state_ = state;
    update();
}

void ColourButton::SetFillColour(Rgb colour) {
    fill_ = colour;
    update();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int l = 0, t = 0, r = width(), b = height();
    p.fillRect(rect(), QColor(fill_.red, fill_.green, fill_.blue));
    if (state_ == 1) {
        // Pressed in: dark above and to the left, light below and to the right, twice.
        Across(p, l, r, t, kBlack);
        Down(p, l, t, b, kBlack);
        Across(p, l + 1, r, b - 1, kWhite);
        Down(p, r - 1, t - 1, b, kWhite);
        ++l, ++t, --r, --b;
        Across(p, l, r, t, kShadow);
        Down(p, l, t, b, kShadow);
        Across(p, l + 1, r, b - 1, kLight);
        Down(p, r - 1, t - 1, b, kLight);
        return;
    }
    // Raised: light above and to the left, dark below and to the right; the inner ring first.
    l += 1, t += 1, r -= 2, b -= 2;
    Across(p, l, r, t, kLight);
    Down(p, l, t, b, kLight);
    Across(p, l, r, b, kShadow);
    Down(p, r, t, b + 1, kShadow);
    --l, --t, ++r, ++b;
    Across(p, l, r, t, kWhite);
    Down(p, l, t, b, kWhite);
    Across(p, l, r, b, kBlack);
    Down(p, r, t, b + 1, kBlack);
}

} // namespace aw
