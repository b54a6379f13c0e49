// SPDX-License-Identifier: MIT
// What the list controller drives: the list of lines, the preview pane, the Create button, the status bar
// and the message boxes around them. The list widget implements it for the window, test doubles for the
// controller's tests. Every call comes from the controller on the user-interface thread, and none may
// call back into the controller (except ScheduleBoxes' later call).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "album/mediakind.h"

namespace aw {

// How a request to prepare a preview went: shown at once (no pane to show it in), failed at once (no
// thread for it), or accepted and being prepared off the user-interface thread; its result then reaches
// the controller's PreviewArrived with the request's ticket.
enum class PreviewStart { Shown, Failed, Pending };

// The two boxes the list shows: a note (information icon) and a warning (exclamation icon), both with OK.
enum class BoxKind { Note, Warning };

class ListView {
public:
    virtual ~ListView() = default;

    // The lines: one text per item. `lines` (ascending) are selected, `focus` is the one the keyboard
    // moves from (-1 with none selected).
    virtual void RemoveAllLines() = 0;
    virtual void AppendLine(const std::string& text) = 0;
    virtual void SelectLines(const std::vector<int>& lines, int focus) = 0;

    virtual void EnableCreate(bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual bool IsShowThumbnailChecked() const = 0;

    // Blanks the pane and starts preparing the picture of (path, kind) under `ticket`; see PreviewStart.
    // Asked only for kinds whose preview is a picture (PreviewKindOf).
    virtual PreviewStart StartPreview(std::uint64_t ticket, const std::string& path, MediaKind kind) = 0;
    // The picture that stands for sound items, at once; a preview under way is forgotten.
    virtual void ShowSoundPicture() = 0;
    // Blanks the pane; a preview under way is forgotten.
    virtual void ClearPreview() = 0;

    // A modal box, shown now.
    virtual void ShowBox(const std::string& text, const std::string& caption, BoxKind kind) = 0;
    // Asks for one call of the controller's ShowBoxes once the input handler under way has returned.
    virtual void ScheduleBoxes() = 0;
};

} // namespace aw
