// SPDX-License-Identifier: MIT
#include "dialogs/ui/colourpicker.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>

#include "dialogs/colourgrid.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/dialogunits.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

Rgb ToRgb(GridColour colour) {
    return {colour.red, colour.green, colour.blue};
}

// Rectangles are client pixels given as left, top, right, bottom (right and bottom just outside).
void Place(QWidget* widget, int id, int left, int top, int right, int bottom) {
    DialogUnits::NameControl(widget, id);
    widget->setGeometry(left, top, right - left, bottom - top);
}

QPushButton* MakeButton(QWidget* parent, int id, TextId text, int left, int right) {
    auto* button = new QPushButton(QString::fromStdString(LoadText(text)), parent);
    Place(button, id, left, 155, right, 175);
    return button;
}

} // namespace

ColourPicker::ColourPicker(int mode, Rgb fontColour, Rgb backgroundColour, int fontCell, int backgroundCell,
                           ColourSwatch* preview, ColourSwatch* fontSwatch, QWidget* parent)
    : QDialog(parent), mode_(mode), fontColour_(fontColour), backgroundColour_(backgroundColour),
      fontCell_(fontCell), backgroundCell_(backgroundCell), preview_(preview), fontSwatch_(fontSwatch) {
    setWindowTitle(QString::fromStdString(
        LoadText(mode_ == kFontMode ? TextId::FontColourTitle : TextId::BackgroundColourTitle)));

    // The frame and the cells let clicks through: the window itself decides which cell was hit.
    auto* group = new QGroupBox(this);
    Place(group, 1082, 10, 2, 214, 145);
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int i = 0; i < ColourGrid::kCells; ++i) {
        const GridRect r = ColourGrid::CellRect(i);
        auto* cell = new ColourSwatch(ColourGrid::kFirstCellId + i, this);
        cell->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        cell->SetBackground(ToRgb(ColourGrid::Colour(i)));
        cells_[static_cast<std::size_t>(i)] = cell;
    }
    auto* ok = MakeButton(this, kOk, TextId::OkButton, 17, 107);
    auto* cancel = MakeButton(this, kCancel, TextId::CancelButton, 115, 205);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ColourPicker::accept);
    connect(cancel, &QPushButton::clicked, this, &ColourPicker::reject);
    setFixedSize(232, 207);

    if (mode_ == kFontMode) {
        currentCell_ = fontCell_;
        workingColour_ = fontColour_;
    } else {
        currentCell_ = backgroundCell_;
        workingColour_ = backgroundColour_;
    }
    SetOutline(currentCell_, true);
}

int ColourPicker::Run() {
    return exec() == kOk ? kOk : kCancel;
}

void ColourPicker::accept() {
    if (mode_ == kFontMode) {
        fontColour_ = workingColour_;
        fontCell_ = currentCell_;
    } else {
        backgroundColour_ = workingColour_;
        backgroundCell_ = currentCell_;
    }
    done(kOk);
}

void ColourPicker::reject() {
    done(kCancel);
}

void ColourPicker::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const int cell = ColourGrid::CellAt(at.x(), at.y());
    if (cell >= 0)
        Pick(cell);
}

void ColourPicker::Pick(int cell) {
    workingColour_ = ToRgb(ColourGrid::Colour(cell));
    if (mode_ == kFontMode) {
        for (ColourSwatch* swatch : {fontSwatch_, preview_}) {
            if (swatch) {
                swatch->SetForeground(workingColour_);
                swatch->RedrawNow();
            }
        }
    } else if (preview_) {
        preview_->SetBackground(workingColour_);
        preview_->SetBackgroundPicture(-1);
        preview_->RedrawNow();
    }
    const int previous = currentCell_;
    currentCell_ = cell;
    SetOutline(previous, false);
    SetOutline(currentCell_, true);
}

void ColourPicker::SetOutline(int cell, bool outlined) {
    if (cell < 0 || cell >= ColourGrid::kCells)
        return;
    ColourSwatch* swatch = cells_[static_cast<std::size_t>(cell)];
    swatch->SetOutlined(outlined);
    swatch->RedrawNow();
}

} // namespace aw
