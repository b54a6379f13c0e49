// SPDX-License-Identifier: MIT
// A push button drawn entirely by its pictures: one face while up, one while held down and, where given,
// one while disabled. The faces are the bitmaps :/bitmaps/bmp<id>.png. A chosen style button swaps its
// two faces (SetFaces) so that it looks pressed while it is up. It never takes the keyboard focus.
//
// Ownership: a child widget owned by its parent. User-interface thread only.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace aw {

class BitmapButton : public QAbstractButton {
    Q_OBJECT

public:
    BitmapButton(int normalBitmap, int pressedBitmap, int disabledBitmap, QWidget* parent);

    // The faces shown while up and while held down.
    void SetFaces(int normalBitmap, int pressedBitmap);
    int normalFace() const { return normalId_; }
    int pressedFace() const { return pressedId_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap Face(int bitmapId);

    int normalId_;
    int pressedId_;
    int disabledId_;
};

} // namespace aw
