// SPDX-License-Identifier: MIT
#include "medialist/ui/thumbnaillist.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolTip>

#include "medialist/ui/droppane.h"
#include "platform/messageservice.h"

namespace aw {
namespace {

// The keys that move the selection; a one-column list moves up and down for the sideways arrows too.
std::optional<ListKey> NavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return ListKey::Up;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return ListKey::Down;
    case Qt::Key_PageUp:
        return ListKey::PageUp;
    case Qt::Key_PageDown:
        return ListKey::PageDown;
    case Qt::Key_Home:
        return ListKey::Home;
    case Qt::Key_End:
        return ListKey::End;
    default:
        return std::nullopt;
    }
}

// Marks a drag of the list's own lines; the lines themselves are the controller's selection.
const QString kOwnLines = QStringLiteral("application/x-albumwright-lines");

SelectMode ModeOf(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier)
        return SelectMode::Range;
    if (modifiers & Qt::ControlModifier)
        return SelectMode::Toggle;
    return SelectMode::Only;
}

} // namespace

ThumbnailList::ThumbnailList(ListController& controller, QWidget* parent)
    : QListWidget(parent), controller_(controller) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAcceptDrops(true);
    // Long names are cut with an ellipsis, as at the start, and shown whole in the tooltip; a drag must not
    // turn that into sideways scrolling.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDropIndicatorShown(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    controller_.Attach(this);
}

ThumbnailList::~ThumbnailList() {
    if (controller_.view() == this)
        controller_.Attach(nullptr);
}

void ThumbnailList::Attach(QAbstractButton* create, DropPane* pane, QAbstractButton* showThumbnail,
                           QStatusBar* status, MessageService* messages) {
    create_ = create;
    pane_ = pane;
    showThumbnail_ = showThumbnail;
    status_ = status;
    messages_ = messages;
    controller_.Attach(this); // the Create button starts as the rule says
}

int ThumbnailList::SelectedLine() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

std::string ThumbnailList::LineText(int index) const {
    const QListWidgetItem* line = item(index);
    return line ? line->text().toStdString() : std::string();
}

// Rebuilding and selecting raise the widget's own signals; blocked, as the controller is making the
// change itself.
void ThumbnailList::RemoveAllLines() {
    const QSignalBlocker blocker(this);
    clear();
}

void ThumbnailList::AppendLine(const std::string& text) {
    const QSignalBlocker blocker(this);
    new QListWidgetItem(QString::fromStdString(text), this);
}

void ThumbnailList::SelectLines(const std::vector<int>& lines, int focus) {
    const QSignalBlocker blocker(this);
    const QSignalBlocker modelBlocker(selectionModel());
    clearSelection();
    if (focus >= 0 && focus < count())
        setCurrentRow(focus, QItemSelectionModel::NoUpdate);
    for (const int line : lines)
        if (QListWidgetItem* shown = item(line))
            shown->setSelected(true);
    if (focus >= 0 && focus < count())
        scrollToItem(item(focus));
    viewport()->update();
}

void ThumbnailList::EnableCreate(bool enabled) {
    if (create_)
        create_->setEnabled(enabled);
}

void ThumbnailList::SetStatusText(const std::string& text) {
    if (!status_)
        return;
    const QString shown = QString::fromStdString(text);
    status_->showMessage(shown);
    // The bar may cut a long name; the tooltip shows all of it.
    status_->setToolTip(shown);
}

bool ThumbnailList::IsShowThumbnailChecked() const {
    return showThumbnail_ && showThumbnail_->isChecked();
}

PreviewStart ThumbnailList::StartPreview(std::uint64_t ticket, const std::string& path, MediaKind kind) {
    return pane_ ? pane_->ShowThumbnail(ticket, path, kind) : PreviewStart::Shown;
}

void ThumbnailList::ShowSoundPicture() {
    if (pane_)
        pane_->ShowSoundPicture();
}

void ThumbnailList::ClearPreview() {
    if (pane_)
        pane_->ClearThumbnail();
}

void ThumbnailList::ShowBox(const std::string& text, const std::string& caption, BoxKind kind) {
    if (messages_)
        messages_->Inform(text, caption,
                          kind == BoxKind::Note ? MessageIcon::Information : MessageIcon::Exclamation);
}

void ThumbnailList::ScheduleBoxes() {
    // Queued: a modal box opened inside a mouse or key handler would run its loop inside that handler.
    QMetaObject::invokeMethod(
        this, [this] { controller_.ShowBoxes(); }, Qt::QueuedConnection);
}

int ThumbnailList::PageLines() const {
    return std::max(1, viewport()->height() / std::max(1, sizeHintForRow(0)));
}

void ThumbnailList::mousePressEvent(QMouseEvent* event) {
    event->accept(); // the widget's own selection never moves: the controller selects
    if (event->button() != Qt::LeftButton)
        return;
    pressPosition_ = event->position().toPoint();
    pressedLine_ = indexAt(pressPosition_).row();
    const SelectMode mode = ModeOf(event->modifiers());
    // A plain press on a line of a selection of several may start dragging them all: it selects that
    // line alone only when released without a drag.
    clickOnRelease_ = mode == SelectMode::Only && controller_.selectedLines().size() > 1 &&
                      std::ranges::count(controller_.selectedLines(), pressedLine_) > 0;
    if (!clickOnRelease_)
        controller_.InputClick(pressedLine_, mode);
}

void ThumbnailList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ThumbnailList::mouseMoveEvent(QMouseEvent* event) {
    // Dragging with the button held would move the widget's selection behind the controller's back; a
    // drag that starts on a selected line moves the selection.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        if ((event->buttons() & Qt::LeftButton) && pressedLine_ >= 0 &&
            (event->position().toPoint() - pressPosition_).manhattanLength() >=
                QApplication::startDragDistance() &&
            std::ranges::count(controller_.selectedLines(), pressedLine_) > 0) {
            clickOnRelease_ = false;
            pressedLine_ = -1;
            StartDrag();
        }
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void ThumbnailList::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (std::exchange(clickOnRelease_, false))
        controller_.InputClick(pressedLine_);
    pressedLine_ = -1;
}

void ThumbnailList::StartDrag() {
    auto* drag = new QDrag(this); // owned by Qt's drag machinery, deleted when the drag ends
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kOwnLines, QByteArray());
    drag->setMimeData(mime.release());
    drag->exec(Qt::MoveAction);
}

int ThumbnailList::DropLine(const QPoint& position) const {
    const QModelIndex under = indexAt(position);
    if (!under.isValid())
        return count();
    const QRect line = visualRect(under);
    return position.y() > line.center().y() ? under.row() + 1 : under.row();
}

void ThumbnailList::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void ThumbnailList::dragMoveEvent(QDragMoveEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (event->source() == this && mime->hasFormat(kOwnLines)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (!DropPane::LocalFiles(mime).empty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ThumbnailList::dropEvent(QDropEvent* event) {
    const int before = DropLine(event->position().toPoint());
    if (event->source() == this && event->mimeData()->hasFormat(kOwnLines)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        controller_.DropSelection(before);
        return;
    }
    DropPane::TakeDroppedFiles(event, this, [this, before](const std::vector<std::string>& paths) {
        controller_.TakeFilesAt(paths, before);
    });
}

bool ThumbnailList::viewportEvent(QEvent* event) {
    // The tip is made when asked for: a caption is read from the file, which intake never waits for.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int line = indexAt(help->pos()).row();
        const QString tip = QString::fromStdString(controller_.TipText(line));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(model()->index(line, 0)));
        return true;
    }
    return QListWidget::viewportEvent(event);
}

void ThumbnailList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const QString text = event->text();
    const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (const std::optional<ListKey> move = NavigationKey(key)) {
        controller_.InputKey(*move, PageLines(),
                             event->modifiers() & Qt::ShiftModifier ? SelectMode::Range : SelectMode::Only);
    } else if (key == Qt::Key_Delete) {
        controller_.DeleteSelection();
    } else if (plain && !text.isEmpty() && text.at(0).isPrint()) {
        controller_.InputLetter(text.toStdString());
    } else {
        event->ignore(); // the window's keys (Enter, Esc, F1) and the others go on to it
        return;
    }
    event->accept();
}

} // namespace aw
