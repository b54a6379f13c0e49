// SPDX-License-Identifier: MIT
#include "mainwindow/ui/controltable.h"

namespace aw {

const std::vector<ControlSpec>& MainWindowControls() {
    using K = ControlKind;
    static const std::vector<ControlSpec> controls = {
        {1007, K::GroupBox, 203, 7, 12, 292, 423},
        {1008, K::GroupBox, 205, 308, 12, 628, 71},
        {1080, K::GroupBox, 0, 308, 70, 628, 423},
        {1000, K::Edit, 0, 320, 36, 548, 56},
        {1004, K::Edit, 0, 320, 110, 611, 130},
        {1005, K::CheckBox, 204, 22, 330, 150, 350},
        {1006, K::CheckBox, 210, 320, 392, 611, 412},
        {1001, K::PushButton, 206, 550, 36, 611, 56},
        {1002, K::PushButton, 211, 348, 428, 438, 448},
        {1003, K::PushButton, 212, 440, 428, 530, 448},
        {1083, K::PushButton, 225, 538, 428, 628, 448},
        {1081, K::Line, 0, 320, 295, 611, 297},
        {1009, K::Label, 207, 320, 90, 611, 105},
        {1010, K::Label, 208, 320, 160, 611, 175},
        {1011, K::Label, 209, 320, 305, 611, 320},
        {1015, K::RightLabel, 220, 320, 139, 540, 154},
        {1013, K::RightLabel, 223, 320, 265, 563, 280},
        {1012, K::DropPane, 0, 22, 35, 277, 320},
        {1014, K::ItemList, 0, 175, 37, 275, 318},
        {1018, K::BitmapButton, 0, 216, 332, 278, 357, 131, 132},
        {1020, K::BitmapButton, 0, 216, 357, 278, 382, 133, 134},
        {1021, K::BitmapButton, 0, 216, 382, 278, 407, 135, 136},
        {1024, K::BitmapButton, 0, 564, 135, 611, 156, 153, 154, 164},
        {1025, K::BitmapButton, 0, 320, 241, 367, 262, 153, 154, 164},
        {1028, K::BitmapButton, 0, 381, 180, 428, 241, 137, 138},
        {1029, K::BitmapButton, 0, 442, 180, 489, 241, 139, 140},
        {1030, K::BitmapButton, 0, 503, 180, 550, 241, 141, 142},
        {1031, K::BitmapButton, 0, 564, 180, 611, 241, 143, 144},
        {1032, K::BitmapButton, 0, 320, 322, 367, 383, 145, 146},
        {1033, K::BitmapButton, 0, 381, 322, 428, 383, 147, 148},
        {1034, K::BitmapButton, 0, 442, 322, 489, 383, 149, 150},
        {1035, K::BitmapButton, 0, 503, 322, 550, 383, 151, 152},
        {1036, K::BitmapButton, 0, 564, 322, 611, 383, 170, 171}, // the Gallery
        {1027, K::ColourButton, 0, 320, 180, 367, 241},
        {1022, K::Swatch, 0, 542, 135, 563, 156},
        {1023, K::Swatch, 0, 565, 253, 610, 286},
    };
    return controls;
}

} // namespace aw
