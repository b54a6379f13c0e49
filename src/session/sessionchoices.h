// SPDX-License-Identifier: MIT
// What the user chooses in a session: where the album goes, its title, colours, background, arrangement and
// options, and the work folder. The window fills it from its controls (MainWindow::CollectChoices), the
// command line from its options (cli/makecommand.cpp, ChoicesFromOptions), and Create reads it
// (CreateWorkflow:: FillJob). The settings remember part of it from one session to the next, through one load
// and one save (SettingsStore::LoadRemembered, SaveRemembered).
//
// A new option is one field here, one line in the command line's mapping, its control in the window, one
// line in FillJob, and, when it is to be remembered, one line in each of LoadRemembered and SaveRemembered.
//
// A plain value; no thread-safety needed.
#pragma once

#include <string>

#include "dialogs/rgb.h"

namespace aw {

// Where the window stood when it was last closed; a width of 0 means never placed.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct SessionChoices {
    std::string outputFolder; // as typed: leading blanks and "~/" are Create's business
    std::string pageTitle;
    Rgb fontColour{0, 0, 0};
    Rgb backgroundColour{0xff, 0xff, 0xff};
    int background = 0;          // 0 the solid colour, 1..kBackgroundPictureCount an installed picture
    int arrangement = 0;         // 0..kArrangementCount - 1: the installed arrangements 1 to N
    std::string arrangementFile; // the user's own arrangement file, used instead of `arrangement`
    bool openWhenDone = false;
    bool embedPlayback = false;    // movies a browser plays play in the page (remembered)
    bool removeLocation = false;   // Data copies without location, owner and serial fields
    bool includeOriginals = false; // the Gallery's byte copies of the sources in Data/originals
    std::string workFolder;        // temporary files of a run; ends with "/" (remembered)
    bool update = false;           // --update: an album whose record proves it ours is not asked about
    WindowPlace window;            // the window's own, remembered; the command line ignores it
};

} // namespace aw
