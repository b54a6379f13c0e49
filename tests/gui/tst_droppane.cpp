// The drop pane: dropped local files go through intake in order, and the preview prepared on the worker
// is painted centred with its badge, stale results dropped.
#include <QElapsedTimer>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "album/mediakind.h"
#include "stringtable.h"
#include "support/listpanerig.h"

namespace aw {

using Strings = std::vector<std::string>;

class DropPaneTest : public QObject {
    Q_OBJECT

private:
    // A drag of `urls` entering the pane and dropped on it; whether the pane took the drag.
    static bool Drop(DropPane* pane, const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane, &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane, &drop);
        QCoreApplication::processEvents(); // intake runs once the drop has ended
        return enter.isAccepted() && drop.isAccepted();
    }
    // The pane as painted, from the top-left corner of its white area.
    static QImage Painted(DropPane* pane) {
        return pane->grab().toImage().copy(pane->contentsRect()).convertToFormat(QImage::Format_RGB32);
    }
    // `file` drawn at its own size over `background`, as the pane draws badges and the sound picture.
    static QImage Over(const QString& file, QColor background) {
        const QPixmap picture(file);
        QImage image(picture.size(), QImage::Format_RGB32);
        image.fill(background);
        QPainter(&image).drawPixmap(0, 0, picture);
        return image;
    }
    // The empty white area, with `red` filled in.
    static QImage Blank(QRect red = {}) {
        QImage image(151, 281, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(red, Qt::red);
        return image;
    }
    // A pane showing previews without a list around it (no item needs to be selected).
    static void WithoutList(test::ListPaneRig& rig) {
        rig.pane->Attach(nullptr, rig.create, rig.folder, rig.showThumbnail, &rig.messages, nullptr);
        rig.window.show();
    }

private slots:
    void dropsTakeLocalFilesInOrder() {
        test::ListPaneRig rig;
        rig.folder->setText("/out");
        QVERIFY(!Drop(rig.pane, {QUrl("https://example.org/a.jpg")}));
        QCOMPARE(rig.list->LineCount(), 0);
        QVERIFY(Drop(rig.pane, {QUrl::fromLocalFile("/in/a.jpg"), QUrl::fromLocalFile("/in/notes.txt"),
                                QUrl("https://example.org/c.jpg"), QUrl::fromLocalFile("/in/b.mp3")}));
        const std::vector<MediaItem>& items = rig.list->items().items();
        QCOMPARE(items.size(), std::size_t{2});
        QCOMPARE(items[0].path + items[1].path, std::string("/in/a.jpg/in/b.mp3"));
        QCOMPARE(rig.messages.log, (Strings{"inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt"}));
        QVERIFY(rig.create->isEnabled());
        QCOMPARE(rig.selected(), 0); // the first files: line 0 selected and previewed
        QTRY_COMPARE(rig.statusText(), std::string("a.jpg"));
        QCOMPARE(rig.prepared.load(), 1);

        rig.list->SelectLine(1); // onto a list with items: the selection and the preview stay
        rig.list->items().currentIndex = 1;
        rig.folder->clear();
        QVERIFY(Drop(rig.pane, {QUrl::fromLocalFile("/in/c.jpg"), QUrl::fromLocalFile("/in/c.jpg")}));
        QCOMPARE(rig.list->LineCount(), 4); // the same file twice is listed twice
        QCOMPARE(rig.selected(), 1);
        QCOMPARE(rig.list->items().currentIndex, 1);
        QTest::qWait(50);
        QCOMPARE(rig.prepared.load(), 1);
    }

    // Stills centred on (75, 140), movies with their badge in the corner, sound as its own picture.
    void previewsArePaintedCentredWithTheirBadges() {
        test::ListPaneRig rig;
        WithoutList(rig);
        QSignalSpy finished(rig.pane, &DropPane::PreviewFinished);
        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(Painted(rig.pane), Blank({25, 115, 100, 50})); // 100 x 50 centred on (75, 140)

        QVERIFY(rig.pane->ShowThumbnail("/p/bad.jpg", StillJpeg));
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toBool(), false);
        QCOMPARE(Painted(rig.pane), Blank()); // blank after a failure
        QVERIFY(!rig.pane->ShowThumbnail("/p/red.jpg", Unsupported));

        const QRect badge(25 + 100 - 28, 115 + 50 - 28, 24, 24);
        const struct {
            int kind;
            const char* file;
        } movies[] = {{MovieAvi, ":/bitmaps/bmp162.png"}, {MovieAsfMarked, ":/bitmaps/bmp169.png"}};
        for (const auto& m : movies) {
            QVERIFY(rig.pane->ShowThumbnail("/p/green.asf", m.kind));
            QTRY_VERIFY(!rig.pane->isPreparing());
            QCOMPARE(Painted(rig.pane).copy(badge), Over(m.file, Qt::green));
        }

        QVERIFY(rig.pane->ShowThumbnail("/nowhere/sound.mp3", Audio)); // at once, file or not
        QVERIFY(!rig.pane->isPreparing());
        QCOMPARE(Painted(rig.pane).copy(15, 95, 120, 90), Over(":/bitmaps/bmp163.png", Qt::white));
        rig.pane->ClearThumbnail();
        QCOMPARE(Painted(rig.pane), Blank());
        QCOMPARE(finished.count(), 4);
    }

    void onlyTheNewestResultIsShown() {
        test::ListPaneRig rig;
        WithoutList(rig);
        rig.delayMs = 200;
        QSignalSpy finished(rig.pane, &DropPane::PreviewFinished);
        QSignalSpy abandoned(rig.pane, &DropPane::PreviewAbandoned);
        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        QTRY_COMPARE(rig.prepared.load(), 1); // under way when the next request comes
        QVERIFY(rig.pane->ShowThumbnail("/p/green.jpg", StillJpeg));
        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(300);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(Painted(rig.pane).pixelColor(75, 140), QColor(Qt::green));

        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        rig.pane->ClearThumbnail(); // abandoned: nothing is drawn when it ends
        QCOMPARE(abandoned.count(), 1);
        QTest::qWait(400);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(Painted(rig.pane).pixelColor(75, 140), QColor(Qt::white));
    }

    void closingDuringAPreparationDoesNotHang() {
        test::ListPaneRig rig;
        WithoutList(rig);
        rig.delayMs = 700;
        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        QTRY_COMPARE(rig.prepared.load(), 1);
        QElapsedTimer timer;
        timer.start();
        delete rig.pane; // waits for the preparation under way, no longer
        QVERIFY(timer.elapsed() < 3000);
        QTest::qWait(50); // nothing is delivered to the pane that is gone
        rig.list->items().AppendItem(MediaItem{"/p/a.jpg", "/p/", "a.jpg", "", StillJpeg});
        rig.list->SelectLine(0);
        QCOMPARE(rig.list->OnSelectionMaybeChanged(), true); // the list copes without its pane
    }
};

} // namespace aw

QTEST_MAIN(aw::DropPaneTest)
#include "tst_droppane.moc"
