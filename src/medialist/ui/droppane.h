// SPDX-License-Identifier: MIT
// The framed pane beside the item list (control 1012): files dropped on it from a file manager join the
// album, and it shows the selected item's preview, a picture fitted into 141 x 271 centred on (75, 140) of
// its white 151 x 281 area, with a badge on movie frames, or the sound picture for audio items.
//
// Previews are prepared on a worker thread (PreviewWorker). ShowThumbnail only starts one, under the
// ticket the list's controller gives it; every result goes to the controller, which alone says whether
// to draw it (a late or given-up one is not). A request that cannot have a thread fails at once. Without a
// controller nothing is taken in and no result is drawn.
//
// Ownership: owns the worker and the held picture; the controller and the imaging table are borrowed and
// must outlive the pane. Destroying the pane stops the worker and waits at most for the one preparation
// under way. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFrame>
#include <QImage>
#include <QPointer>

#include "album/mediakind.h"
#include "medialist/listview.h"
#include "medialist/previewworker.h"

class QDropEvent;
class QMimeData;

namespace aw {

class ListController;
struct ImagingLibrary;

class DropPane : public QFrame {
    Q_OBJECT

public:
    explicit DropPane(QWidget* parent);
    ~DropPane() override;

    void Attach(ListController* list, const ImagingLibrary* imaging);

    // Starts preparing the picture of (path, kind) under `ticket`, as ListView::StartPreview. The pane is
    // blank meanwhile.
    PreviewStart ShowThumbnail(std::uint64_t ticket, const std::string& path, MediaKind kind);
    // The picture that stands for sound items.
    void ShowSoundPicture();
    // Blank pane; a preview under way is abandoned.
    void ClearThumbnail();
    // The controller waits for a preview's result.
    bool isPreparing() const;

    // Files dropped, handed to the controller (TakeFiles).
    void AcceptDroppedFiles(const std::vector<std::string>& paths);
    // The white area the preview is drawn in, from the pane's top left inside its frame; never smaller
    // than the default window's.
    void SetPreviewArea(int width, int height);
    // Accepts a drop of local files and has `take` take them once the drop has ended (queued on
    // `context`); ignores any other drop.
    static void TakeDroppedFiles(QDropEvent* event, QObject* context,
                                 std::function<void(const std::vector<std::string>&)> take);
    // The local files a drop carries, in order.
    static std::vector<std::string> LocalFiles(const QMimeData* mime);

    // The preparation the worker runs; PreparePreview with the attached imaging table unless a test
    // replaces it (for a slow or failing stand-in). Called on the worker thread.
    void SetPreviewPreparer(PreviewWorker::Prepare prepare);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnPreviewReady(const PreviewResult& result);
    PreviewWorker& Worker();

    ListController* list_ = nullptr;
    const ImagingLibrary* imaging_ = nullptr;

    PreviewWorker::Prepare prepare_;
    QImage picture_;                               // the held preview, at most 141 x 271; null when blank
    MediaKind shownKind_ = MediaKind::Unsupported; // last given to ShowThumbnail: a movie gets its badge
    bool soundPicture_ = false;
    int areaWidth_ = 151;
    int areaHeight_ = 281;
    std::unique_ptr<PreviewWorker> worker_; // last: stopped and joined before anything above goes
};

} // namespace aw
