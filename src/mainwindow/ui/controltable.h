// SPDX-License-Identifier: MIT
// The main window's controls as data: id, kind, caption string, rectangle and button faces, in the order
// the window creates them (which is also their tab order). Plain constant data; thread-safe.
#pragma once

#include <vector>

namespace aw {

enum class ControlKind {
    GroupBox,
    Edit,
    CheckBox,
    PushButton,
    Line,       // a 2-pixel grey separating line
    Label,      // static text, left-aligned
    RightLabel, // static text, right-aligned
    DropPane,
    ItemList,
    BitmapButton,
    ColourButton,
    Swatch, // ColourSwatch: 1022 the font colour, 1023 the page preview
};

struct ControlSpec {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    int captionId = 0; // string id; 0 for none
    // Client pixels below the menu bar; right and bottom are exclusive.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // Bitmap buttons: the faces :/bitmaps/bmp<id>.png for the normal, pressed and disabled look (0: none).
    int normalBitmap = 0;
    int pressedBitmap = 0;
    int disabledBitmap = 0;
};

// Every control of the main window but the status bar, in creation order.
const std::vector<ControlSpec>& MainWindowControls();

// The status bar along the bottom of the client area.
inline constexpr int kStatusBarId = 1077;
inline constexpr ControlSpec kStatusBarSpec{kStatusBarId, ControlKind::Label, 0, 0, 476, 641, 496};

// The client area the rectangles are laid out in.
inline constexpr int kClientWidth = 641;
inline constexpr int kClientHeight = 496;

} // namespace aw
