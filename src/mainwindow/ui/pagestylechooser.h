// SPDX-License-Identifier: MIT
// The page's look as the main window offers it: a background (the solid colour, 1027, or one of the
// installed pictures, 1028..1031), one of the installed arrangements (1032..1035, and 1036 the Gallery),
// the font colour (1024) and the background colour (1025, enabled only with the solid background), with
// the font swatch (1022) and the page preview (1023) showing the choice; the session's choices take them
// (FillChoices). A chosen picture or arrangement button shows its two faces swapped; the colour button is
// pressed in and filled with the background colour while the solid colour is chosen.
//
// Ownership: the buttons and swatches are the main window's children, borrowed for the window's life.
// User-interface thread only.
#pragma once

#include <QObject>

#include <array>

#include "dialogs/rgb.h"
#include "session/installedtables.h"
#include "session/sessionchoices.h"

class QWidget;

namespace aw {

class BitmapButton;
class ColourButton;
class ColourSwatch;

class PageStyleChooser : public QObject {
    Q_OBJECT

public:
    struct Controls {
        ColourButton* solidColour = nullptr;                           // 1027
        std::array<BitmapButton*, kBackgroundPictureCount> pictures{}; // 1028..1031
        std::array<BitmapButton*, kArrangementCount> arrangements{};   // 1032..1035, and 1036 the Gallery
        BitmapButton* fontColourButton = nullptr;                      // 1024
        BitmapButton* backgroundColourButton = nullptr;                // 1025
        ColourSwatch* fontSwatch = nullptr;                            // 1022
        ColourSwatch* preview = nullptr;                               // 1023
    };

    // Connects the buttons; `dialogParent` stands behind the colour pickers. The initial state (solid
    // white background, black font, arrangement 1) is set by Initialise.
    PageStyleChooser(const Controls& controls, QWidget* dialogParent);

    // The swatches in their start colours, then the solid background and the first arrangement chosen.
    void Initialise();

    void ChooseSolidColour();
    void ChoosePicture(int k);     // 1..kBackgroundPictureCount
    void ChooseArrangement(int j); // 0..kArrangementCount - 1
    // Run a colour picker; Cancel puts the swatches back to the colour kept.
    void ChooseFontColour();
    void ChooseBackgroundColour();

    int backgroundIndex() const { return backgroundIndex_; }
    int arrangementIndex() const { return arrangementIndex_; }
    Rgb fontColour() const { return fontColour_; }
    Rgb backgroundColour() const { return backgroundColour_; }
    int fontCell() const { return fontCell_; }
    int backgroundCell() const { return backgroundCell_; }

    // The session's choices made here (colours, background, arrangement); the rest is the window's.
    void FillChoices(SessionChoices& choices) const;
    // Shows `choices` as they were remembered: the inverse of FillChoices. After Initialise.
    void ApplyChoices(const SessionChoices& choices);

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
