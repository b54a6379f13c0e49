// What the item list's Delete command needs from the window around it: the Create button, the preview
// pane, the "Show Thumbnail" check box, the status bar and a warning box. None of them is owned by the
// item list. Implemented by the main window's widgets and by test doubles; user-interface thread only.
#pragma once

#include <string>

namespace aw {

// How a request to show a preview went: shown at once, failed at once, or accepted and still being
// prepared off the user-interface thread. For Pending the peer itself ends the status note with the
// plain text and reports a failure when the preparation ends.
enum class PreviewStart { Shown, Failed, Pending };

class ItemListPeers {
public:
    virtual ~ItemListPeers() = default;

    virtual void EnableCreate(bool enabled) = 0;
    virtual void ClearPreview() = 0;
    virtual bool IsShowThumbnailChecked() const = 0;
    // Shows the preview of the file at `path` of MediaKind `kind`, at once or later (see PreviewStart).
    virtual PreviewStart ShowPreview(const std::string& path, int kind) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // A modal warning owned by the main window: exclamation icon, OK button.
    virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
};

} // namespace aw
