// SPDX-License-Identifier: MIT
// The list of album items in the main window (control 1014): one text line per item, in album order, each
// carrying its whole name as a tooltip (the 100-pixel list cuts long names). A view of the ListController
// it owns: mouse and key input is reported to the controller, and the lines, the selection, the status
// bar, the Create button, the preview pane and the boxes change only as the controller says.
//
// Ownership: owns the controller; the attached widgets and the message service are borrowed and must
// outlive the list (or be detached with nulls). User-interface thread only.
#pragma once

#include <string>

#include <QListWidget>
#include <QPointer>

#include "medialist/fileblock.h"
#include "medialist/listcontroller.h"
#include "medialist/listview.h"

class QAbstractButton;
class QStatusBar;

namespace aw {

class DropPane;
class MessageService;

class ThumbnailList : public QListWidget, public ListView {
    Q_OBJECT

public:
    explicit ThumbnailList(QWidget* parent);
    ~ThumbnailList() override;

    ListController& controller() { return controller_; }
    const ListController& controller() const { return controller_; }
    ItemList& items() { return controller_.items(); }
    const ItemList& items() const { return controller_.items(); }

    // Any pointer may be null: that peer is then left out (no preview, no box, Create untouched).
    void Attach(QAbstractButton* create, DropPane* pane, QAbstractButton* showThumbnail, QStatusBar* status,
                MessageService* messages);

    // The media browser's selection block taken in (ListController::TakeBrowserSelection).
    IntakeRefusal AcceptBrowserSelection(const Bytes& selectionBlock);

    int LineCount() const { return count(); }
    int SelectedLine() const; // -1 when none is
    std::string LineText(int index) const;

    // ListView
    void RemoveAllLines() override;
    void AppendLine(const std::string& text) override;
    void SelectLine(int index) override;
    void EnableCreate(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    bool IsShowThumbnailChecked() const override;
    PreviewStart StartPreview(std::uint64_t ticket, const std::string& path, MediaKind kind) override;
    void ClearPreview() override;
    void ShowBox(const std::string& text, const std::string& caption, BoxKind kind) override;
    void ScheduleBoxes() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int PageLines() const;

    QPointer<QAbstractButton> create_;
    QPointer<DropPane> pane_;
    QPointer<QAbstractButton> showThumbnail_;
    QPointer<QStatusBar> status_;
    MessageService* messages_ = nullptr;
    ListController controller_; // last: its view is this list
};

} // namespace aw
