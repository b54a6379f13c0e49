// SPDX-License-Identifier: MIT
#include "mainwindow/ui/bitmapbutton.h"

#include <QPainter>
#include <QStyleOption>

namespace aw {

BitmapButton::BitmapButton(int normalBitmap, int pressedBitmap, int disabledBitmap, QWidget* parent)
    : QAbstractButton(parent), normalId_(normalBitmap), pressedId_(pressedBitmap),
      disabledId_(disabledBitmap) {
    setFocusPolicy(Qt::NoFocus);
}

void BitmapButton::SetFaces(int normalBitmap, int pressedBitmap) {
    normalId_ = normalBitmap;
    pressedId_ = pressedBitmap;
    update();
}

QPixmap BitmapButton::Face(int bitmapId) {
    return bitmapId > 0 ? QPixmap(QStringLiteral(":/bitmaps/bmp%1.png").arg(bitmapId)) : QPixmap();
}

QSize BitmapButton::sizeHint() const {
    const QPixmap face = Face(normalId_);
    return face.isNull() ? QSize(47, 21) : face.size();
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPixmap face;
    if (!isEnabled() && disabledId_ > 0)
        face = Face(disabledId_);
    else
        face = Face(isDown() ? pressedId_ : normalId_);
    if (face.isNull())
        return;
    if (!isEnabled() && disabledId_ <= 0) {
        // No face of its own for the disabled look: the style's greyed rendering of the normal one.
        QStyleOption option;
        option.initFrom(this);
        face = style()->generatedIconPixmap(QIcon::Disabled, face, &option);
    }
    // The faces are made at the button's size; a differently sized button gets them scaled to fit.
    painter.drawPixmap(rect(), face);
}

} // namespace aw
