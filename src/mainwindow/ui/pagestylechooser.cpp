// SPDX-License-Identifier: MIT
#include "mainwindow/ui/pagestylechooser.h"

#include <QAbstractButton>

#include "dialogs/colourgrid.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "mainwindow/ui/bitmapbutton.h"

namespace aw {

namespace {

constexpr int kNoPicture = -1;
constexpr int kBackgroundPickerMode = 0;

// The faces of the picture buttons are 137/138 .. 143/144, of the arrangement buttons 145/146 .. 151/152
// and 170/171;
// the first of each pair is the plain face, and also what the preview shows for that background.
int PictureFace(int k) {
    return 137 + 2 * (k - 1);
}
int ArrangementFace(int j) {
    return j < 4 ? 145 + 2 * j : 170; // the Gallery's faces came later
}

// The picker's cell of `colour`, `fallback` when the table has none.
int CellOf(const Rgb& colour, int fallback) {
    for (int cell = 0; cell < ColourGrid::kCells; ++cell) {
        const GridColour c = ColourGrid::Colour(cell);
        if (c.red == colour.red && c.green == colour.green && c.blue == colour.blue)
            return cell;
    }
    return fallback;
}

// A chosen button shows its pressed-looking face while up.
void ShowChosen(BitmapButton* button, int plainFace, bool chosen) {
    if (chosen)
        button->SetFaces(plainFace + 1, plainFace);
    else
        button->SetFaces(plainFace, plainFace + 1);
}

} // namespace

PageStyleChooser::PageStyleChooser(const Controls& controls, QWidget* dialogParent)
    : controls_(controls), dialogParent_(dialogParent) {
    connect(controls_.solidColour, &QAbstractButton::clicked, this, &PageStyleChooser::ChooseSolidColour);
    for (int k = 1; k <= kBackgroundPictureCount; ++k)
        connect(controls_.pictures[k - 1], &QAbstractButton::clicked, this, [this, k] { ChoosePicture(k); });
    for (int j = 0; j < kArrangementCount; ++j)
        connect(controls_.arrangements[j], &QAbstractButton::clicked, this,
                [this, j] { ChooseArrangement(j); });
    connect(controls_.fontColourButton, &QAbstractButton::clicked, this, &PageStyleChooser::ChooseFontColour);
    connect(controls_.backgroundColourButton, &QAbstractButton::clicked, this,
            &PageStyleChooser::ChooseBackgroundColour);
}

void PageStyleChooser::Initialise() {
    controls_.fontSwatch->SetForeground(fontColour_);
    controls_.fontSwatch->RedrawNow();
    controls_.preview->SetForeground(fontColour_);
    controls_.preview->SetBackground(backgroundColour_);
    controls_.preview->SetBackgroundPicture(kNoPicture);
    controls_.preview->RedrawNow();
    controls_.solidColour->SetFillColour(backgroundColour_);
    ChooseSolidColour();
    ChooseArrangement(0);
}

void PageStyleChooser::ShowPictureFaces(int chosen) {
    for (int k = 1; k <= kBackgroundPictureCount; ++k)
        ShowChosen(controls_.pictures[k - 1], PictureFace(k), k == chosen);
}

void PageStyleChooser::RedrawBackgroundButtons() {
    controls_.solidColour->update();
    for (BitmapButton* button : controls_.pictures)
        button->update();
}

void PageStyleChooser::ChooseSolidColour() {
    controls_.solidColour->SetState(1);
    ShowPictureFaces(0);
    controls_.backgroundColourButton->setEnabled(true);
    backgroundIndex_ = 0;
    // The colour comes back from under a picture chosen meanwhile.
    controls_.preview->SetBackground(backgroundColour_);
    controls_.preview->SetBackgroundPicture(kNoPicture);
    controls_.preview->RedrawNow();
    RedrawBackgroundButtons();
}

void PageStyleChooser::ChoosePicture(int k) {
    controls_.solidColour->SetState(0);
    ShowPictureFaces(k);
    controls_.backgroundColourButton->setEnabled(false);
    backgroundIndex_ = k;
    controls_.preview->SetBackgroundPicture(PictureFace(k));
    controls_.preview->RedrawNow();
    RedrawBackgroundButtons();
}

void PageStyleChooser::ChooseArrangement(int j) {
    for (int i = 0; i < kArrangementCount; ++i)
        ShowChosen(controls_.arrangements[i], ArrangementFace(i), i == j);
    arrangementIndex_ = j;
}

void PageStyleChooser::ChooseFontColour() {
    ColourPicker picker(ColourPicker::kFontMode, fontColour_, backgroundColour_, fontCell_, backgroundCell_,
                        controls_.preview, controls_.fontSwatch, dialogParent_);
    if (picker.Run() == 1) {
        fontColour_ = picker.fontColour();
        fontCell_ = picker.fontCell();
        return;
    }
    // The picker showed every colour tried; put back the one kept.
    controls_.fontSwatch->SetForeground(fontColour_);
    controls_.fontSwatch->RedrawNow();
    controls_.preview->SetForeground(fontColour_);
    controls_.preview->RedrawNow();
}

void PageStyleChooser::ChooseBackgroundColour() {
    ColourPicker picker(kBackgroundPickerMode, fontColour_, backgroundColour_, fontCell_, backgroundCell_,
                        controls_.preview, nullptr, dialogParent_);
    if (picker.Run() == 1) {
        backgroundColour_ = picker.backgroundColour();
        backgroundCell_ = picker.backgroundCell();
        controls_.solidColour->SetFillColour(backgroundColour_);
        controls_.solidColour->update();
        return;
    }
    controls_.preview->SetBackground(backgroundColour_);
    controls_.preview->RedrawNow();
}

void PageStyleChooser::FillChoices(SessionChoices& choices) const {
    choices.fontColour = fontColour_;
    choices.backgroundColour = backgroundColour_;
    choices.background = backgroundIndex_;
    choices.arrangement = arrangementIndex_;
}

void PageStyleChooser::ApplyChoices(const SessionChoices& choices) {
    fontColour_ = choices.fontColour;
    backgroundColour_ = choices.backgroundColour;
    fontCell_ = CellOf(fontColour_, fontCell_);
    backgroundCell_ = CellOf(backgroundColour_, backgroundCell_);
    Initialise();
    if (choices.background >= 1 && choices.background <= kBackgroundPictureCount)
        ChoosePicture(choices.background);
    if (choices.arrangement >= 0 && choices.arrangement < kArrangementCount)
        ChooseArrangement(choices.arrangement);
}

} // namespace aw
