// SPDX-License-Identifier: MIT
// The main window's controls as data: id, kind, caption string, rectangle and button faces, in the order
// the window creates them (which is also their tab order). Plain constant data; thread-safe.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "session/installedtables.h"
#include "stringtable.h"

namespace aw {

// The main window's controls. The numbers are the controls' object names ("c1014") that tests and the
// window drive find them by.
enum class ControlId : int {
    OutputFolder = 1000,
    Browse = 1001,
    Create = 1002,
    Close = 1003,
    PageTitle = 1004,
    ShowThumbnail = 1005,
    OpenWhenDone = 1006,
    ContentGroup = 1007,
    OutputGroup = 1008,
    PageTitleLabel = 1009,
    BackgroundLabel = 1010,
    ArrangementLabel = 1011,
    DropPane = 1012,
    PreviewLabel = 1013,
    ItemList = 1014,
    FontColourLabel = 1015,
    MoveUp = 1018,
    MoveDown = 1020,
    Delete = 1021,
    FontSwatch = 1022,
    Preview = 1023,
    FontColour = 1024,
    BackgroundColour = 1025,
    SolidColour = 1027,
    Picture1 = 1028,
    Picture2 = 1029,
    Picture3 = 1030,
    Picture4 = 1031,
    Arrangement1 = 1032,
    Arrangement2 = 1033,
    Arrangement3 = 1034,
    Arrangement4 = 1035,
    Gallery = 1036, // the fifth arrangement
    StatusBar = 1077,
    StyleGroup = 1080,
    StyleLine = 1081,
    Help = 1083,
};

// The background picture buttons and the arrangement buttons, in the order the user's choices number them:
// one button for each row of the installed tables.
inline constexpr std::array kPictureButtons{ControlId::Picture1, ControlId::Picture2, ControlId::Picture3,
                                            ControlId::Picture4};
inline constexpr std::array kArrangementButtons{ControlId::Arrangement1, ControlId::Arrangement2,
                                                ControlId::Arrangement3, ControlId::Arrangement4,
                                                ControlId::Gallery};
static_assert(kPictureButtons.size() == kBackgroundPictureCount, "a button for each installed picture");
static_assert(kArrangementButtons.size() == kArrangementCount, "a button for each installed arrangement");

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
    Swatch, // ColourSwatch: the font colour or the page preview
};

struct ControlSpec {
    ControlId id = ControlId::StatusBar;
    ControlKind kind = ControlKind::Label;
    std::optional<TextId> caption;
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
inline constexpr ControlSpec kStatusBarSpec{
    ControlId::StatusBar, ControlKind::Label, std::nullopt, 0, 476, 641, 496};

// The client area the rectangles are laid out in: the default and smallest size.
inline constexpr int kClientWidth = 641;
inline constexpr int kClientHeight = 496;

// `spec` in a client area `dx` wider and `dy` taller than the default (both at least 0): the content group,
// its drop pane and list grow (the list by two thirds of the width, for long names; the preview by the
// rest), the status bar widens, the rest keeps its size, moved right (the right-hand panel, the list's
// buttons) and down (the buttons along the bottom).
ControlSpec GrownRect(const ControlSpec& spec, int dx, int dy);
// The white preview area of the drop pane in that client area.
inline constexpr int kPreviewAreaWidth = 151;
inline constexpr int kPreviewAreaHeight = 281;

} // namespace aw
