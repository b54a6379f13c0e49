#include "medialist/ui/thumbnaillist.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>

#include "mainwindow/messageservice.h"
#include "medialist/blockintake.h"
#include "medialist/ui/droppane.h"
#include "stringtable.h"

namespace aw {
namespace {

// Page Up, Page Down, End, Home, Left, Up, Right, Down: the keys that move the selection.
bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Sets the busy flag for one scope and puts back what it was.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy), was_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = was_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
    const bool was_;
};

} // namespace

ThumbnailList::ThumbnailList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    items_.Attach(this, this);
}

ThumbnailList::~ThumbnailList() {
    items_.Attach(nullptr, nullptr);
}

void ThumbnailList::Attach(QAbstractButton* create, DropPane* pane, QAbstractButton* showThumbnail,
                           QStatusBar* status, MessageService* messages) {
    if (pane_)
        disconnect(pane_, nullptr, this, nullptr);
    create_ = create;
    pane_ = pane;
    showThumbnail_ = showThumbnail;
    status_ = status;
    messages_ = messages;
    if (pane_) {
        connect(pane_, &DropPane::PreviewFinished, this, &ThumbnailList::OnPreviewEnded);
        connect(pane_, &DropPane::PreviewAbandoned, this, [this] {
            if (noteFor_)
                SetStatusText(*noteFor_);
        });
    }
}

int ThumbnailList::AcceptBrowserSelection(const Bytes& selectionBlock) {
    const std::optional<Bytes> block = ConvertBrowserSelection(selectionBlock, items_);
    if (!block || !pane_)
        return 446;
    return pane_->AcceptFileBlock(*block);
}

void ThumbnailList::SetStatusText(const std::string& text) {
    items_.statusText = text;
    noteFor_.reset();
    if (status_) {
        const QString shown = QString::fromStdString(text);
        status_->showMessage(shown);
        // The bar may cut a long name; the tooltip shows all of it.
        status_->setToolTip(shown);
    }
}

bool ThumbnailList::OnSelectionMaybeChanged() {
    if (LineCount() == 0)
        return true;
    bool changed = false;
    for (int i = 0; i < LineCount(); ++i) {
        if (item(i)->isSelected() && i != items_.currentIndex) {
            changed = true;
            items_.currentIndex = i;
        }
    }
    if (!changed)
        return true;
    const std::string text = LineText(items_.currentIndex);
    SetStatusText(text);
    if (!IsShowThumbnailChecked())
        return true;
    const MediaItem* current = items_.at(items_.currentIndex);
    if (current == nullptr)
        return true;
    // The first item with the same path stands for every copy of that file.
    for (const MediaItem& item : items_.items())
        if (item.path == current->path)
            return StartPreview(text, item.path, item.kind) != PreviewStart::Failed;
    return true;
}

PreviewStart ThumbnailList::StartPreview(int index) {
    const MediaItem* item = items_.at(index);
    if (item == nullptr)
        return PreviewStart::Failed;
    return StartPreview(LineText(index), item->path, item->kind);
}

PreviewStart ThumbnailList::StartPreview(const std::string& text, const std::string& path, int kind) {
    SetStatusText(text + LoadText(437));
    const bool accepted = !pane_ || pane_->ShowThumbnail(path, kind);
    if (accepted && pane_ && pane_->isPreparing()) {
        noteFor_ = text;
        return PreviewStart::Pending;
    }
    SetStatusText(text);
    return accepted ? PreviewStart::Shown : PreviewStart::Failed;
}

void ThumbnailList::OnPreviewEnded(bool ok) {
    if (noteFor_)
        SetStatusText(*noteFor_);
    if (!ok)
        WarnPreviewFailed();
}

void ThumbnailList::WarnPreviewFailed() {
    const BusyScope busy(items_.busy); // input meanwhile is dropped, as while a preview starts
    ShowWarning(LoadText(424), LoadText(438));
}

int ThumbnailList::LineCount() const {
    return count();
}

int ThumbnailList::SelectedLine() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

// Selecting and rebuilding raise the widget's own signals; blocked, so nothing reacts to a change the
// item list is making itself.
void ThumbnailList::SelectLine(int index) {
    const QSignalBlocker blocker(this);
    if (index >= 0 && index < count())
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    else
        clearSelection();
}

std::string ThumbnailList::LineText(int index) const {
    const QListWidgetItem* line = item(index);
    return line ? line->text().toStdString() : std::string();
}

void ThumbnailList::RemoveAllLines() {
    const QSignalBlocker blocker(this);
    clear();
}

void ThumbnailList::AppendLine(const std::string& text) {
    const QSignalBlocker blocker(this);
    addItem(QString::fromStdString(text));
}

void ThumbnailList::EnableCreate(bool enabled) {
    if (create_)
        create_->setEnabled(enabled);
}

void ThumbnailList::ClearPreview() {
    if (pane_)
        pane_->ClearThumbnail();
}

bool ThumbnailList::IsShowThumbnailChecked() const {
    return showThumbnail_ && showThumbnail_->isChecked();
}

PreviewStart ThumbnailList::ShowPreview(const std::string& path, int kind) {
    // The item list has put up "<line>  Displaying thumbnail..." already; the line's text is what stays.
    std::string text = items_.statusText;
    const std::string note = LoadText(437);
    if (text.size() >= note.size() && text.compare(text.size() - note.size(), note.size(), note) == 0)
        text.resize(text.size() - note.size());
    return StartPreview(text, path, kind);
}

void ThumbnailList::ShowWarning(const std::string& text, const std::string& caption) {
    if (messages_)
        messages_->Inform(text, caption, MessageIcon::Exclamation);
}

void ThumbnailList::mousePressEvent(QMouseEvent* event) {
    if (items_.busy || event->button() != Qt::LeftButton) {
        event->accept(); // only a left click selects; nothing at all while busy
        return;
    }
    QListWidget::mousePressEvent(event);
    bool ok = true;
    {
        const BusyScope busy(items_.busy);
        ok = OnSelectionMaybeChanged();
    }
    if (!ok)
        WarnPreviewFailed();
}

void ThumbnailList::mouseMoveEvent(QMouseEvent* event) {
    // Dragging with the button held would move the selection with no click to notice it.
    if (event->buttons() & Qt::LeftButton) {
        event->accept();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void ThumbnailList::keyPressEvent(QKeyEvent* event) {
    if (items_.busy) {
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        // A one-column list moves up and down for the sideways arrows too.
        QKeyEvent vertical(event->type(), key == Qt::Key_Left ? Qt::Key_Up : Qt::Key_Down, event->modifiers(),
                           event->text(), event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QListWidget::keyPressEvent(&vertical);
    } else {
        QListWidget::keyPressEvent(event);
    }
    if (IsNavigationKey(key)) {
        event->accept();
        const BusyScope busy(items_.busy);
        if (!OnSelectionMaybeChanged())
            WarnPreviewFailed();
    } else if (key == Qt::Key_Delete) {
        event->accept();
        items_.DeleteSelection();
    }
}

} // namespace aw
