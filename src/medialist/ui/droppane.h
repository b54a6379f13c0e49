// SPDX-License-Identifier: MIT
// The framed pane beside the item list (control 1012): files dropped on it from a file manager join the
// album, and it shows the selected item's preview, a picture fitted into 141 x 271 centred on (75, 140) of
// its white 151 x 281 area, with a badge on movie frames, or the sound picture for audio items.
//
// Previews are prepared on a worker thread (PreviewWorker). ShowThumbnail only starts one, under the
// ticket the list's controller gives it; the result goes to the controller, which says whether to draw it.
// A request that cannot have a thread fails at once.
// Only the newest request's result can be drawn. Without a list every result of the newest request is.
//
// Ownership: owns the worker and the held picture; the list and the imaging table are borrowed and must
// outlive the pane. Destroying the pane stops the worker and waits at most for the one preparation under way.
// User-interface thread only.
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
#include "medialist/blockintake.h"
#include "medialist/listview.h"
#include "medialist/previewworker.h"

namespace aw {

class ThumbnailList;
struct ImagingLibrary;

class DropPane : public QFrame {
    Q_OBJECT

public:
    explicit DropPane(QWidget* parent);
    ~DropPane() override;

    void Attach(ThumbnailList* list, const ImagingLibrary* imaging);

    // Starts showing the preview of (path, kind) under `ticket`, as ListView::StartPreview. The pane is
    // blank meanwhile.
    PreviewStart ShowThumbnail(std::uint64_t ticket, const std::string& path, MediaKind kind);
    // Blank pane; a preview under way is abandoned.
    void ClearThumbnail();
    bool isPreparing() const { return preparing_; }

    // Files dropped, or named at start-up, handed to the list's controller (TakeFiles, TakeStartupFile);
    // without a list nothing is taken and the start-up file is refused as unsupported.
    void AcceptDroppedFiles(const std::vector<std::string>& paths);
    IntakeRefusal AcceptStartupFile(const std::string& path, std::string& folder);

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

    QPointer<ThumbnailList> list_;
    const ImagingLibrary* imaging_ = nullptr;

    PreviewWorker::Prepare prepare_;
    QImage picture_;                               // the held preview, at most 141 x 271; null when blank
    MediaKind shownKind_ = MediaKind::Unsupported; // last given to ShowThumbnail
    bool cleared_ = true;                          // only audio painting looks at it
    bool preparing_ = false;
    uint64_t ticket_ = 0;                   // of the newest request; results of older ones are dropped
    std::unique_ptr<PreviewWorker> worker_; // last: stopped and joined before anything above goes
};

} // namespace aw
