// SPDX-License-Identifier: MIT
#include "dialogs/ui/colourswatch.h"

#include <QPainter>

#include "dialogs/colourgrid.h"
#include "dialogs/ui/dialogunits.h"

namespace aw {
namespace {

constexpr int kPreviewWidth = 43;
constexpr int kPreviewHeight = 31;
constexpr int kPictureOffset = 2; // the preview shows the picture from this point on
constexpr int kCellSide = 20;     // the dotted square runs along the edge of the cell's 20 x 20 client area

QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace

ColourSwatch::ColourSwatch(int controlId, QWidget* parent) : QFrame(parent), controlId_(controlId) {
    DialogUnits::NameControl(this, controlId);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ColourSwatch::SetBackgroundPicture(int bitmapId) {
    backgroundPicture_ = bitmapId;
    picture_ = QPixmap();
    if (bitmapId >= 0)
        picture_.load(QStringLiteral(":/bitmaps/bmp%1.png").arg(bitmapId & 0xFFFF));
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event); // the sunken edge
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.translate(contentsRect().topLeft());
    if (controlId_ == kFontSwatchId)
        painter.fillRect(QRect(0, 0, 19, 19), ToQColor(foreground_));
    else if (controlId_ == kPreviewId)
        PaintPreview(painter);
    else if (controlId_ >= ColourGrid::kFirstCellId &&
             controlId_ < ColourGrid::kFirstCellId + ColourGrid::kCells)
        PaintCell(painter);
}

void ColourSwatch::PaintPreview(QPainter& painter) const {
    const QRect area(0, 0, kPreviewWidth, kPreviewHeight);
    // A picture that cannot be loaded leaves the colour behind the letter rather than garbage.
    if (backgroundPicture_ >= 0 && !picture_.isNull())
        painter.drawPixmap(area.topLeft(), picture_,
                           QRect(kPictureOffset, kPictureOffset, kPreviewWidth, kPreviewHeight));
    else
        painter.fillRect(area, ToQColor(background_));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ToQColor(foreground_), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(22, 5, 12, 26);
    painter.drawLine(22, 5, 32, 26);
    painter.drawLine(16, 18, 26, 18);
}

void ColourSwatch::PaintCell(QPainter& painter) const {
    painter.fillRect(QRect(0, 0, kCellSide, kCellSide), ToQColor(background_));
    if (!outlined_)
        return;
    // A dotted square, every other pixel along (0,0) -> (0,19) -> (19,19) -> (19,0) -> (0,0).
    const int last = kCellSide - 1;
    const QPoint corners[] = {{0, 0}, {0, last}, {last, last}, {last, 0}, {0, 0}};
    int step = 0;
    for (int side = 0; side < 4; ++side) {
        const QPoint from = corners[side];
        const QPoint to = corners[side + 1];
        const QPoint direction((to.x() > from.x()) - (to.x() < from.x()),
                               (to.y() > from.y()) - (to.y() < from.y()));
        for (QPoint p = from; p != to; p += direction, ++step)
            if (step % 2 == 0)
                painter.fillRect(QRect(p, QSize(1, 1)), Qt::black);
    }
}

} // namespace aw
