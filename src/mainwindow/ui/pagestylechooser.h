// SPDX-License-Identifier: MIT
// The page's look as the main window offers it: a background (the solid colour, 1027, or one of four
// pictures, 1028..1031), one of four arrangements (1032..1035) or the Gallery (1036), the font colour (1024)
// and the background colour (1025, enabled only with the solid background), with the font swatch (1022) and
// the page preview (1023) showing the choice. A chosen picture or arrangement button shows its two faces
// swapped; the colour button is pressed in and filled with the background colour while the solid colour is
// chosen. Nothing here is saved between runs.
//
// Ownership: the buttons and swatches are the main window's children, borrowed for the window's life.
// User-interface thread only.
#pragma once

#include <QObject>

#include <array>

#include "mainwindow/createworkflow.h"

class QWidget;

namespace aw {

class BitmapButton;
class ColourButton;
class ColourSwatch;

class PageStyleChooser : public QObject {
    Q_OBJECT

public:
    struct Controls {
        ColourButton* solidColour = nullptr;            // 1027
        std::array<BitmapButton*, 4> pictures{};        // 1028..1031
        std::array<BitmapButton*, 5> arrangements{};    // 1032..1035, and 1036 the Gallery
        BitmapButton* fontColourButton = nullptr;       // 1024
        BitmapButton* backgroundColourButton = nullptr; // 1025
        ColourSwatch* fontSwatch = nullptr;             // 1022
        ColourSwatch* preview = nullptr;                // 1023
    };

    // Connects the buttons; `dialogParent` stands behind the colour pickers. The initial state (solid
    // white background, black font, arrangement 1) is set by Initialise.
    PageStyleChooser(const Controls& controls, QWidget* dialogParent);

    // The swatches in their start colours, then the solid background and the first arrangement chosen.
    void Initialise();

    void ChooseSolidColour();
    void ChoosePicture(int k);     // 1..4
    void ChooseArrangement(int j); // 0..3, or 4 the Gallery
    // Run a colour picker; Cancel puts the swatches back to the colour kept.
    void ChooseFontColour();
    void ChooseBackgroundColour();

    int backgroundIndex() const { return backgroundIndex_; }
    int arrangementIndex() const { return arrangementIndex_; }
    Rgb fontColour() const { return fontColour_; }
    Rgb backgroundColour() const { return backgroundColour_; }
    int fontCell() const { return fontCell_; }
    int backgroundCell() const { return backgroundCell_; }

    // What Create reads from here (the rest of CreateInputs is the window's).
    void FillCreateInputs(CreateInputs& inputs) const;

private:
    void ShowPictureFaces(int chosen); // 0: none chosen
    void RedrawBackgroundButtons();

    Controls controls_;
    QWidget* dialogParent_;
    int backgroundIndex_ = 0;
    int arrangementIndex_ = 0;
    Rgb fontColour_{0, 0, 0};
    Rgb backgroundColour_{255, 255, 255};
    int fontCell_ = 0;
    int backgroundCell_ = 39;
};

} // namespace aw
