// SPDX-License-Identifier: MIT
#include "medialist/ui/thumbnaillist.h"

#include <algorithm>
#include <optional>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>

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

} // namespace

ThumbnailList::ThumbnailList(ListController& controller, QWidget* parent)
    : QListWidget(parent), controller_(controller) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
    auto* line = new QListWidgetItem(QString::fromStdString(text), this);
    line->setToolTip(line->text());
}

void ThumbnailList::SelectLine(int index) {
    const QSignalBlocker blocker(this);
    if (index >= 0 && index < count())
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    else
        clearSelection();
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
    if (event->button() == Qt::LeftButton)
        controller_.InputClick(indexAt(event->position().toPoint()).row());
}

void ThumbnailList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ThumbnailList::mouseMoveEvent(QMouseEvent* event) {
    // Dragging with the button held would move the widget's selection behind the controller's back.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void ThumbnailList::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void ThumbnailList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const QString text = event->text();
    const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (const std::optional<ListKey> move = NavigationKey(key)) {
        controller_.InputKey(*move, PageLines());
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
