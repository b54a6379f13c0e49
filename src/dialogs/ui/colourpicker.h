// SPDX-License-Identifier: MIT
// The modal window in which the user picks the page's font colour (mode 1, title string 222) or background
// colour (any other mode, title 221) from the 40 colours of ColourGrid. Every click on a cell shows its
// colour at once in the caller's controls: in font mode the font swatch and the preview's letter, otherwise
// the preview's background (its picture cleared). OK (result 1) copies the pick into the colour and cell of
// the mode; Cancel, Esc and the close box end with 2 and copy nothing - the caller then restores its own
// controls, which the picker has already changed.
//
// The swatches are the caller's and must outlive the picker; either may be null (nothing is updated then).
// A widget: user-interface thread only.
#pragma once

#include <array>

#include <QDialog>

#include "dialogs/rgb.h"

class QMouseEvent;

namespace aw {

class ColourSwatch;

class ColourPicker : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFontMode = 1;

    ColourPicker(int mode, Rgb fontColour, Rgb backgroundColour, int fontCell, int backgroundCell,
                 ColourSwatch* preview, ColourSwatch* fontSwatch, QWidget* parent = nullptr);

    // Runs the window modally: 1 after OK, 2 after Cancel, Esc or the close box.
    int Run();

    Rgb fontColour() const { return fontColour_; }
    Rgb backgroundColour() const { return backgroundColour_; }
    int fontCell() const { return fontCell_; }
    int backgroundCell() const { return backgroundCell_; }
    // The outlined cell, -1 for none.
    int currentCell() const { return currentCell_; }

    void accept() override;
    void reject() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Pick(int cell);
    void SetOutline(int cell, bool outlined);

    int mode_;
    Rgb fontColour_;
    Rgb backgroundColour_;
    Rgb workingColour_;
    int fontCell_;
    int backgroundCell_;
    int currentCell_ = -1;
    ColourSwatch* preview_;
    ColourSwatch* fontSwatch_;
    std::array<ColourSwatch*, 40> cells_{};
};

} // namespace aw
