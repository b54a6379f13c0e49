// SPDX-License-Identifier: MIT
// Opens the program's help at a numbered topic: 2000 for the main window and the work folder option, 2001
// for the note that file names were changed. The windows take it by reference so that tests can record
// what was asked for. User-interface thread only.
#pragma once

namespace aw {

class HelpOpener {
public:
    virtual ~HelpOpener() = default;

    // Shows the topic `context`; false when it has no page or nothing could show it.
    virtual bool OpenHelp(int context) = 0;
};

} // namespace aw
