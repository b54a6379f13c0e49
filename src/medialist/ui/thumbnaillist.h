// SPDX-License-Identifier: MIT
// The list of album items in the main window (control 1014): one text line per item, in album order, each
// with a tooltip of its whole name and caption (ListController::TipText). A view of the session's
// ListController: mouse and key input (Shift and Ctrl clicks, Shift with the keys, drags inside the list
// and files dropped on it from outside) is reported to the controller, and the lines, the selection, the
// status bar, the Create button, the preview pane and the boxes change only as the controller says.
//
// Ownership: the controller is borrowed and must outlive the list, which detaches itself from it when it
// goes; the attached widgets and the message service are borrowed and must outlive the list (or be
// detached with nulls). User-interface thread only.
#pragma once

#include <string>

#include <QListWidget>
#include <QPointer>

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
    ThumbnailList(ListController& controller, QWidget* parent);
    ~ThumbnailList() override;

    ListController& controller() { return controller_; }
    const ListController& controller() const { return controller_; }

    // Any pointer may be null: that peer is then left out (no preview, no box, Create untouched).
    void Attach(QAbstractButton* create, DropPane* pane, QAbstractButton* showThumbnail, QStatusBar* status,
                MessageService* messages);

    int LineCount() const { return count(); }
    int SelectedLine() const; // -1 when none is
    std::string LineText(int index) const;

    // ListView
    void RemoveAllLines() override;
    void AppendLine(const std::string& text) override;
    void SelectLines(const std::vector<int>& lines, int focus) override;
    void EnableCreate(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    bool IsShowThumbnailChecked() const override;
    PreviewStart StartPreview(std::uint64_t ticket, const std::string& path, MediaKind kind) override;
    void ShowSoundPicture() override;
    void ClearPreview() override;
    void ShowBox(const std::string& text, const std::string& caption, BoxKind kind) override;
    void ScheduleBoxes() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int PageLines() const;
    // The line a drop at `position` (viewport pixels) goes before: lineCount() below the last.
    int DropLine(const QPoint& position) const;
    void StartDrag();

    QPoint pressPosition_;
    int pressedLine_ = -1;
    bool clickOnRelease_ = false; // a press on a selected line: a plain click only if no drag follows

    QPointer<QAbstractButton> create_;
    QPointer<DropPane> pane_;
    QPointer<QAbstractButton> showThumbnail_;
    QPointer<QStatusBar> status_;
    MessageService* messages_ = nullptr;
    ListController& controller_;
};

} // namespace aw
