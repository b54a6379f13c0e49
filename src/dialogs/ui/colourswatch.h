// SPDX-License-Identifier: MIT
// A small sunken control that paints one of three things, chosen by its control id:
//   1022        the font-colour swatch: its client area filled with the foreground colour;
//   1023        the page preview: a 43 x 31 background (the background colour, or the block at (2, 2) of
//               the picture :/bitmaps/bmp<id>.png) with a capital A drawn over it in the foreground colour;
//   1037..1076  a colour picker cell: filled with the background colour (the cell's table colour, which the
//               picker sets) and, while outlined, a dotted black square along its edge.
// Any other id paints only the frame. The owner sets the values and then calls RedrawNow(). It ignores the
// mouse, so clicks fall through to the window below it. A widget: user-interface thread only; owned by
// its Qt parent.
#pragma once

#include <QFrame>
#include <QPixmap>

#include "dialogs/rgb.h"

class QPainter;

namespace aw {

class ColourSwatch : public QFrame {
    Q_OBJECT

public:
    static constexpr int kFontSwatchId = 1022;
    static constexpr int kPreviewId = 1023;

    // Named "c<id>" with the property controlId = `controlId`.
    ColourSwatch(int controlId, QWidget* parent);

    void SetForeground(Rgb colour) { foreground_ = colour; }
    void SetBackground(Rgb colour) { background_ = colour; }
    // A bitmap id (its low 16 bits name :/bitmaps/bmp<id>.png), or -1 (any negative value) for none.
    void SetBackgroundPicture(int bitmapId);
    // Picker cells only: whether the selection outline is drawn.
    void SetOutlined(bool outlined) { outlined_ = outlined; }

    Rgb foreground() const { return foreground_; }
    Rgb background() const { return background_; }
    int backgroundPicture() const { return backgroundPicture_; }
    bool outlined() const { return outlined_; }
    int controlId() const { return controlId_; }

    // Paints the control at once, before returning.
    void RedrawNow() { repaint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintPreview(QPainter& painter) const;
    void PaintCell(QPainter& painter) const;

    int controlId_;
    Rgb foreground_;
    Rgb background_{255, 255, 255};
    int backgroundPicture_ = -1;
    QPixmap picture_; // the loaded background picture; null when none or missing
    bool outlined_ = false;
};

} // namespace aw
