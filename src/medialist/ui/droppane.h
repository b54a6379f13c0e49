// The framed pane beside the item list (control 1012): files dropped on it from a file manager join the
// album, and it shows the selected item's preview, a picture fitted into 141 x 271 centred on (75, 140) of
// its white 151 x 281 area, with a badge on movie frames, or the sound picture for audio items.
//
// Previews are prepared on a worker thread (PreviewWorker). ShowThumbnail only starts that: it returns
// true when the request was accepted (audio: shown at once, isPreparing() false) and false only for a kind
// that has no preview; the outcome arrives later as PreviewFinished(ok) on the user-interface thread. A
// result is dropped, without a signal, when a newer ShowThumbnail was made since, or when its item is no
// longer the list's current item; a preview that ends without a result (ClearThumbnail, or such a drop
// with nothing newer under way) raises PreviewAbandoned instead.
//
// Ownership: owns the worker and the held picture; the attached widgets, the message service and the
// imaging table are borrowed and must outlive the pane. Destroying the pane stops the worker and waits at
// most for the one preparation under way. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFrame>
#include <QImage>
#include <QPointer>

#include "medialist/fileblock.h"
#include "medialist/previewworker.h"

class QAbstractButton;
class QLineEdit;

namespace aw {

class MediaIntake;
class MessageService;
class ThumbnailList;
struct ImagingLibrary;

class DropPane : public QFrame {
    Q_OBJECT

public:
    explicit DropPane(QWidget* parent);
    ~DropPane() override;

    void Attach(ThumbnailList* list, QAbstractButton* create, QLineEdit* folder,
                QAbstractButton* showThumbnail, MessageService* messages, const ImagingLibrary* imaging);

    // Starts showing the preview of (path, kind); see the contract above. The pane is blank meanwhile.
    bool ShowThumbnail(const std::string& path, int kind);
    // Blank pane; a preview under way is abandoned.
    void ClearThumbnail();
    bool isPreparing() const { return preparing_; }

    // Intake of dropped files: appends the supported ones in order, reports the others (404, caption 421)
    // and names that are not web-safe (403, caption 438), enables Create when the output folder box has
    // text, and selects and previews the first item when the list was empty before.
    void AcceptDroppedFiles(const std::vector<std::string>& paths);
    // A whole FileBlock, such as the converted browser selection: 446 when it holds no path, 447 when the
    // list is still empty afterwards (nothing reported then); otherwise as AcceptDroppedFiles, and 0.
    int AcceptFileBlock(const Bytes& block);
    // The file named at start-up: 447 when it is not supported (the list stays empty), else 0 with the
    // file's folder, without its trailing separator, in `folder`. Create is not touched.
    int AcceptStartupFile(const std::string& path, std::string& folder);

    // The preparation the worker runs; PreparePreview with the attached imaging table unless a test
    // replaces it (for a slow or failing stand-in). Called on the worker thread.
    void SetPreviewPreparer(PreviewWorker::Prepare prepare);

signals:
    void PreviewFinished(bool ok);
    void PreviewAbandoned();

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnPreviewReady(const PreviewResult& result);
    void ReportIntake(const MediaIntake& intake);
    // What follows the per-file steps of a drop or a block: the report, Create, the first selection.
    void FinishIntake(const MediaIntake& intake, bool wasEmpty);
    void SelectFirstItem();
    PreviewWorker& Worker();

    QPointer<ThumbnailList> list_;
    QPointer<QAbstractButton> create_;
    QPointer<QLineEdit> folder_;
    QPointer<QAbstractButton> showThumbnail_;
    MessageService* messages_ = nullptr;
    const ImagingLibrary* imaging_ = nullptr;

    PreviewWorker::Prepare prepare_;
    QImage picture_;      // the held preview, at most 141 x 271; null when blank
    int shownKind_ = -1;  // MediaKind last given to ShowThumbnail
    bool cleared_ = true; // only audio painting looks at it
    bool preparing_ = false;
    uint64_t sequence_ = 0;                 // of the newest request; results of older ones are dropped
    std::unique_ptr<PreviewWorker> worker_; // last: stopped and joined before anything above goes
};

} // namespace aw
