// SPDX-License-Identifier: MIT
#include "mainwindow/ui/controltable.h"

namespace aw {

const std::vector<ControlSpec>& MainWindowControls() {
    using I = ControlId;
    using K = ControlKind;
    using T = TextId;
    static const std::vector<ControlSpec> controls = {
        {I::ContentGroup, K::GroupBox, T::ContentFilesLabel, 7, 12, 292, 423},
        {I::OutputGroup, K::GroupBox, T::SaveToLabel, 308, 12, 628, 71},
        {I::StyleGroup, K::GroupBox, {}, 308, 70, 628, 423},
        {I::OutputFolder, K::Edit, {}, 320, 36, 548, 56},
        {I::PageTitle, K::Edit, {}, 320, 110, 611, 130},
        {I::ShowThumbnail, K::CheckBox, T::ShowThumbnailLabel, 22, 330, 150, 350},
        {I::OpenWhenDone, K::CheckBox, T::ViewInBrowserLabel, 320, 392, 611, 412},
        {I::Browse, K::PushButton, T::BrowseButton, 550, 36, 611, 56},
        {I::Create, K::PushButton, T::CreateButton, 348, 428, 438, 448},
        {I::Close, K::PushButton, T::CloseButton, 440, 428, 530, 448},
        {I::Help, K::PushButton, T::HelpCommand, 538, 428, 628, 448},
        {I::StyleLine, K::Line, {}, 320, 295, 611, 297},
        {I::PageTitleLabel, K::Label, T::PageTitleLabel, 320, 90, 611, 105},
        {I::BackgroundLabel, K::Label, T::BackgroundLabel, 320, 160, 611, 175},
        {I::ArrangementLabel, K::Label, T::ArrangementLabel, 320, 305, 611, 320},
        {I::FontColourLabel, K::RightLabel, T::FontColourLabel, 320, 139, 540, 154},
        {I::PreviewLabel, K::RightLabel, T::PreviewLabel, 320, 265, 563, 280},
        {I::DropPane, K::DropPane, {}, 22, 35, 277, 320},
        {I::ItemList, K::ItemList, {}, 175, 37, 275, 318},
        {I::MoveUp, K::BitmapButton, {}, 216, 332, 278, 357, 131, 132},
        {I::MoveDown, K::BitmapButton, {}, 216, 357, 278, 382, 133, 134},
        {I::Delete, K::BitmapButton, {}, 216, 382, 278, 407, 135, 136},
        {I::FontColour, K::BitmapButton, {}, 564, 135, 611, 156, 153, 154, 164},
        {I::BackgroundColour, K::BitmapButton, {}, 320, 241, 367, 262, 153, 154, 164},
        {I::Picture1, K::BitmapButton, {}, 381, 180, 428, 241, 137, 138},
        {I::Picture2, K::BitmapButton, {}, 442, 180, 489, 241, 139, 140},
        {I::Picture3, K::BitmapButton, {}, 503, 180, 550, 241, 141, 142},
        {I::Picture4, K::BitmapButton, {}, 564, 180, 611, 241, 143, 144},
        {I::Arrangement1, K::BitmapButton, {}, 320, 322, 367, 383, 145, 146},
        {I::Arrangement2, K::BitmapButton, {}, 381, 322, 428, 383, 147, 148},
        {I::Arrangement3, K::BitmapButton, {}, 442, 322, 489, 383, 149, 150},
        {I::Arrangement4, K::BitmapButton, {}, 503, 322, 550, 383, 151, 152},
        {I::Gallery, K::BitmapButton, {}, 564, 322, 611, 383, 170, 171},
        {I::SolidColour, K::ColourButton, {}, 320, 180, 367, 241},
        {I::FontSwatch, K::Swatch, {}, 542, 135, 563, 156},
        {I::Preview, K::Swatch, {}, 565, 253, 610, 286},
    };
    return controls;
}

ControlSpec GrownRect(const ControlSpec& spec, int dx, int dy) {
    using I = ControlId;
    ControlSpec grown = spec;
    const auto shift = [&grown](int x, int y) {
        grown.left += x;
        grown.right += x;
        grown.top += y;
        grown.bottom += y;
    };
    switch (spec.id) {
    case I::ContentGroup:
    case I::DropPane:
        grown.right += dx;
        grown.bottom += dy;
        break;
    case I::ItemList:
        grown.left += dx / 3;
        grown.right += dx;
        grown.bottom += dy;
        break;
    case I::StatusBar:
        grown.right += dx;
        shift(0, dy);
        break;
    case I::ShowThumbnail:
        shift(0, dy);
        break;
    case I::MoveUp:
    case I::MoveDown:
    case I::Delete:
    case I::Create:
    case I::Close:
    case I::Help:
        shift(dx, dy);
        break;
    default: // the right-hand panel
        shift(dx, 0);
        break;
    }
    return grown;
}

} // namespace aw
