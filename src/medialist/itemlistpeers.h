// What the item list's Delete command needs from the window around it: the Create button, the preview
// pane, the "Show Thumbnail" check box, the status bar and a warning box. None of them is owned by the
// item list. Implemented by the main window's widgets and by test doubles; user-interface thread only.
#pragma once

#include <string>

namespace aw {

class ItemListPeers {
public:
    virtual ~ItemListPeers() = default;

    virtual void EnableCreate(bool enabled) = 0;
    virtual void ClearPreview() = 0;
    virtual bool IsShowThumbnailChecked() const = 0;
    // Shows the preview of the file at `path` of MediaKind `kind`; false when it cannot be shown.
    virtual bool ShowPreview(const std::string& path, int kind) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // A modal warning owned by the main window: exclamation icon, OK button.
    virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
};

} // namespace aw
