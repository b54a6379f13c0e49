// SPDX-License-Identifier: MIT
#include "medialist/ui/droppane.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QUrl>

#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "medialist/listcontroller.h"
#include "medialist/previewpicture.h"

namespace aw {
namespace {

// The white area the preview is drawn in, and the point the picture is centred on.
constexpr int kAreaWidth = 151;
constexpr int kAreaHeight = 281;
constexpr int kCentreX = 75;
constexpr int kCentreY = 140;

} // namespace

// Links to anything but local files are not files this program can take.
std::vector<std::string> DropPane::LocalFiles(const QMimeData* mime) {
    std::vector<std::string> paths;
    if (mime == nullptr || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        const QString file = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!file.isEmpty())
            paths.push_back(QFile::encodeName(file).toStdString());
    }
    return paths;
}

namespace {

// The modules' 24-bit bottom-up rows (blue first, padded to 4 bytes) as a top-down image; null when the
// picture's header and its pixels disagree.
QImage ToImage(const Picture& picture) {
    const AwBitmapInfoHeader info = picture.header();
    std::size_t size = 0;
    std::size_t row = 0;
    if (!picture.hasImage() || info.biBitCount != 24 || info.biHeight <= 0 ||
        !Rgb24BufferSize(info.biWidth, info.biHeight, size) || !Rgb24RowSize(info.biWidth, row) ||
        size > picture.pixelsSize())
        return {};
    QImage image(info.biWidth, info.biHeight, QImage::Format_RGB888);
    for (int y = 0; y < info.biHeight; ++y) {
        const uint8_t* in = picture.pixels() + row * static_cast<std::size_t>(info.biHeight - 1 - y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < info.biWidth; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return image;
}

} // namespace

DropPane::DropPane(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAcceptDrops(true);
}

DropPane::~DropPane() = default;

void DropPane::Attach(ListController* list, const ImagingLibrary* imaging) {
    list_ = list;
    if (imaging != imaging_)
        worker_.reset(); // made again, with the new table, when next needed
    imaging_ = imaging;
}

void DropPane::SetPreviewPreparer(PreviewWorker::Prepare prepare) {
    worker_.reset();
    prepare_ = std::move(prepare);
}

bool DropPane::isPreparing() const {
    return list_ != nullptr && list_->previewPending();
}

PreviewWorker& DropPane::Worker() {
    if (!worker_) {
        PreviewWorker::Prepare prepare = prepare_;
        if (!prepare) {
            const ImagingLibrary* imaging = imaging_;
            prepare = [imaging](const std::string& path, MediaKind kind, Picture& out) {
                return imaging != nullptr && PreparePreview(path, kind, *imaging, out);
            };
        }
        // The worker only posts; the pane's thread takes the result. Posted results still queued when
        // the pane goes are discarded with it.
        worker_ = std::make_unique<PreviewWorker>(std::move(prepare), [this](PreviewResult result) {
            QMetaObject::invokeMethod(
                this, [this, result = std::move(result)] { OnPreviewReady(result); }, Qt::QueuedConnection);
        });
    }
    return *worker_;
}

PreviewStart DropPane::ShowThumbnail(std::uint64_t ticket, const std::string& path, MediaKind kind) {
    ClearThumbnail();
    shownKind_ = kind;
    try {
        Worker().Request(ticket, path, kind);
    } catch (const std::system_error&) {
        return PreviewStart::Failed; // no thread for the preview: the caller says it cannot be shown
    }
    return PreviewStart::Pending;
}

void DropPane::ShowSoundPicture() {
    ClearThumbnail();
    soundPicture_ = true;
}

void DropPane::ClearThumbnail() {
    picture_ = QImage();
    soundPicture_ = false;
    if (worker_)
        worker_->Cancel(); // whatever has not started is stale now
    update();
}

void DropPane::OnPreviewReady(const PreviewResult& result) {
    if (list_ == nullptr || !list_->PreviewArrived(result.sequence, result.path, result.ok))
        return;
    if (result.picture)
        picture_ = ToImage(*result.picture);
    update();
}

void DropPane::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.fillRect(QRect(0, 0, areaWidth_, areaHeight_), Qt::white);
    // A larger window gives the preview more room: the picture, made for the default area, grows with it.
    const double scale =
        std::max(1.0, std::min(double(areaWidth_) / kAreaWidth, double(areaHeight_) / kAreaHeight));
    const int centreX = kCentreX * areaWidth_ / kAreaWidth;
    const int centreY = kCentreY * areaHeight_ / kAreaHeight;
    if (soundPicture_) {
        const QPixmap sound(QStringLiteral(":/bitmaps/bmp163.png"));
        painter.drawPixmap(centreX - (kCentreX - 15), centreY - (kCentreY - 95), sound);
        return;
    }
    if (picture_.isNull())
        return;
    const int width = static_cast<int>(picture_.width() * scale);
    const int height = static_cast<int>(picture_.height() * scale);
    const int x = centreX - width / 2;
    const int y = centreY - height / 2;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(x, y, width, height), picture_);
    if (IsMovieKind(shownKind_)) {
        const QPixmap badge(shownKind_ == MediaKind::MovieAsfMarked ? QStringLiteral(":/bitmaps/bmp169.png")
                                                                    : QStringLiteral(":/bitmaps/bmp162.png"));
        painter.drawPixmap(x + width - 28, y + height - 28, badge);
    }
}

void DropPane::SetPreviewArea(int width, int height) {
    areaWidth_ = std::max(width, kAreaWidth);
    areaHeight_ = std::max(height, kAreaHeight);
    update();
}

void DropPane::dragEnterEvent(QDragEnterEvent* event) {
    if (LocalFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropPane::dragMoveEvent(QDragMoveEvent* event) {
    if (LocalFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropPane::dropEvent(QDropEvent* event) {
    TakeDroppedFiles(event, this,
                     [this](const std::vector<std::string>& paths) { AcceptDroppedFiles(paths); });
}

void DropPane::TakeDroppedFiles(QDropEvent* event, QObject* context,
                                std::function<void(const std::vector<std::string>&)> take) {
    std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (paths.empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Taken in after the drop has ended: a message box shown inside the drop would hold the file
    // manager's drag until it is answered.
    QMetaObject::invokeMethod(
        context, [take = std::move(take), paths = std::move(paths)] { take(paths); }, Qt::QueuedConnection);
}

void DropPane::AcceptDroppedFiles(const std::vector<std::string>& paths) {
    if (list_)
        list_->TakeFiles(paths);
}

} // namespace aw
