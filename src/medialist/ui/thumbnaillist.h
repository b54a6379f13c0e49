// The list of album items in the main window (control 1014): one text line per item, in album order. It
// owns the ItemList, decides when the drop pane's preview must change, and keeps the status bar told
// which item is selected. The list's own mouse and key handling runs first; what changed the selection
// is detected afterwards (the window is not told of selection changes).
//
// Previews are prepared off the user-interface thread by the DropPane: the status bar shows
// "<name>  Displaying thumbnail..." (string 437) from the request until the preview ends, then "<name>";
// a preview that fails shows 424 (caption 438) when it ends, only if its item is still selected.
//
// Ownership: owns the ItemList; the attached widgets and the message service are borrowed and must
// outlive the list (or be detached with nulls). User-interface thread only.
#pragma once

#include <optional>
#include <string>

#include <QListWidget>
#include <QPointer>

#include "medialist/fileblock.h"
#include "medialist/itemlist.h"
#include "medialist/itemlistpeers.h"
#include "medialist/linelist.h"

class QAbstractButton;
class QStatusBar;

namespace aw {

class DropPane;
class MessageService;

class ThumbnailList : public QListWidget, public LineList, public ItemListPeers {
    Q_OBJECT

public:
    explicit ThumbnailList(QWidget* parent);
    ~ThumbnailList() override;

    ItemList& items() { return items_; }
    const ItemList& items() const { return items_; }

    // Any pointer may be null: that peer is then left out (no preview, no box, Create untouched).
    void Attach(QAbstractButton* create, DropPane* pane, QAbstractButton* showThumbnail, QStatusBar* status,
                MessageService* messages);

    // The media browser's selection block: converted, the source folder set from its first path, and
    // taken in through the drop pane's AcceptFileBlock. 0, or 446 (no block, or no pane) or 447.
    int AcceptBrowserSelection(const Bytes& selectionBlock);

    // Puts `text` in the status bar, with the whole text as the bar's tooltip, and keeps it in statusText.
    void SetStatusText(const std::string& text) override;

    // After the list's own handling of input: when the selected line is not the current item any more, it
    // becomes current, the status bar names it and (with "Show Thumbnail" checked) its preview is asked
    // for. True when nothing needed showing or the preview was accepted; false when it failed at once.
    bool OnSelectionMaybeChanged();

    // Shows the preview of item `index` with the status note; the status and a later failure are handled
    // as described above. A failure known at once is returned as PreviewStart::Failed for the caller to
    // report. Used by the selection change, the Delete command and the first files of an intake.
    PreviewStart StartPreview(int index);

    // LineList
    int LineCount() const override;
    int SelectedLine() const override;
    void SelectLine(int index) override;
    std::string LineText(int index) const override;
    void RemoveAllLines() override;
    void AppendLine(const std::string& text) override;

    // ItemListPeers
    void EnableCreate(bool enabled) override;
    void ClearPreview() override;
    bool IsShowThumbnailChecked() const override;
    PreviewStart ShowPreview(const std::string& path, int kind) override;
    void ShowWarning(const std::string& text, const std::string& caption) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PreviewStart StartPreview(const std::string& text, const std::string& path, int kind);
    void OnPreviewEnded(bool ok);
    void WarnPreviewFailed();

    ItemList items_;
    QPointer<QAbstractButton> create_;
    QPointer<DropPane> pane_;
    QPointer<QAbstractButton> showThumbnail_;
    QPointer<QStatusBar> status_;
    MessageService* messages_ = nullptr;
    std::optional<std::string> noteFor_; // the line text whose 437 note is up while a preview is prepared
};

} // namespace aw
