// SPDX-License-Identifier: MIT
// The user's choices for one album run. Filled afresh by every Create command; read (never changed) by
// the generation thread through a reference while the run lasts.
#pragma once

#include <string>

namespace aw {

struct AlbumJob {
    std::string outputFolder;    // receives Index.html
    std::string pageTitle;       // $TS$, written raw: users put markup in titles on purpose
    std::string fontColourText;  // "#rrggbb", lower-case hex; $FC$
    int backgroundIndex = 0;     // 0 solid colour, 1..4 a background picture
    std::string backgroundText;  // index 0: "#rrggbb"; 1..4: full path of the picture; $BC$
    std::string arrangementFile; // full path of the arrangement file
    std::string audioPicture;    // full path of the picture standing for every audio item
    int openWhenDone = 0;        // not used by the generation thread
    int embedPlayback = 0;       // 1: movies get an embedded player on the page
    bool gallery = false;        // arrangement 5: index.html of today's page, no arrangement file
    std::string viewerFolder;    // with gallery: the installed folder of the viewer's files, with "/"
    int removeLocation = 0;      // 1: Data copies without location, owner and serial fields
    bool originals = false;      // with gallery: byte copies of the sources in Data/originals as well
};

// The Gallery's number among the arrangements (as users give it; its index in the window's row is one less).
constexpr int kGalleryArrangement = 5;

// Run codes carried by the close request of every run.
enum RunCode : int { RunWritten = 1, RunStopped = 2, RunFailed = 3 };

} // namespace aw
