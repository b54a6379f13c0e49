// The item list and the drop pane wired as the main window wires them. The list: selection changes by
// click and key bring the status text and the preview along, the editing commands keep the selection,
// input is dropped while busy, and the preview's status note and failure box follow the preview prepared
// off the user-interface thread; the media browser's selection block taken in. The pane: dropped local
// files go through intake in order, and the preview is painted centred with its badge, stale results
// dropped.
#include <QElapsedTimer>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "album/mediakind.h"
#include "medialist/selectionblock.h"
#include "stringtable.h"
#include "support/listpanerig.h"

namespace aw {

using Strings = std::vector<std::string>;

class ListPaneTest : public QObject {
    Q_OBJECT

private:
    const std::string note = LoadText(437);
    const std::string warning = "inform " + LoadText(438) + ": " + LoadText(424);

    static void Click(test::ListPaneRig& rig, int row) {
        QTest::mouseClick(rig.list->viewport(), Qt::LeftButton, {},
                          rig.list->visualItemRect(rig.list->item(row)).center());
    }
    static void Show(test::ListPaneRig& rig, const Strings& names) {
        for (const std::string& name : names)
            rig.Add(name);
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    }
    static Strings Lines(test::ListPaneRig& rig) {
        Strings lines;
        for (int i = 0; i < rig.list->LineCount(); ++i)
            lines.push_back(rig.list->LineText(i));
        return lines;
    }
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
    void clickShowsThePreviewWithItsNoteOnce() {
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", "b.jpg", "c.jpg"});
        Click(rig, 1);
        QCOMPARE(rig.list->items().currentIndex, 1);
        QCOMPARE(rig.statusText(), "b.jpg" + note);
        QTRY_COMPARE(rig.pane->isPreparing(), false);
        QCOMPARE(rig.statusLog, (Strings{"b.jpg", "b.jpg" + note, "b.jpg"}));
        Click(rig, 1); // the selected line again: nothing, not even the status text
        QTest::qWait(50);
        QCOMPARE(rig.prepared.load(), 1);
        QCOMPARE(rig.statusLog.size(), std::size_t{3});
        QVERIFY(rig.messages.log.empty());
        const std::string text(300, 'x'); // the status bar's tooltip holds the whole text
        rig.list->SetStatusText(text);
        QCOMPARE(rig.status->toolTip().toStdString(), text);
    }

    void editingCommandsKeepTheSelection() {
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", "b.jpg", "c.jpg"});
        Click(rig, 1);
        QTRY_COMPARE(rig.prepared.load(), 1);
        QSignalSpy rowSignals(rig.list, &QListWidget::currentRowChanged);
        rig.list->items().MoveSelectionUp();
        QCOMPARE(Lines(rig), (Strings{"b.jpg", "a.jpg", "c.jpg"}));
        QCOMPARE(rig.selected(), 0);
        rig.list->items().MoveSelectionDown();
        rig.list->items().MoveSelectionDown();
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.jpg", "b.jpg"}));
        QCOMPARE(rig.selected(), 2);
        QCOMPARE(rowSignals.count(), 0);  // the rebuilds did not call back into the list
        QCOMPARE(rig.prepared.load(), 1); // the same item stays shown

        rig.statusLog.clear();
        QTest::keyClick(rig.list, Qt::Key_Delete); // as the Delete Selection button
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.jpg"}));
        QCOMPARE(rig.selected(), 1);
        QCOMPARE(rig.statusText(), "c.jpg" + note); // up until the preview ends
        QTRY_COMPARE(rig.statusText(), std::string("c.jpg"));
        QCOMPARE(rig.statusLog, (Strings{"c.jpg" + note, "c.jpg"}));
        QCOMPARE(rig.prepared.load(), 2);
    }

    void navigationKeysMoveAndPreview() {
        const struct {
            int from;
            Qt::Key key;
            int to;
        } cases[] = {
            {0, Qt::Key_Down, 1}, {1, Qt::Key_Up, 0},   {0, Qt::Key_Right, 1},    {1, Qt::Key_Left, 0},
            {0, Qt::Key_End, 4},  {4, Qt::Key_Home, 0}, {0, Qt::Key_PageDown, 4}, {4, Qt::Key_PageUp, 0},
            {4, Qt::Key_Down, 4}, {0, Qt::Key_Up, 0},
        };
        for (const auto& c : cases) {
            test::ListPaneRig rig;
            Show(rig, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
            rig.list->SelectLine(c.from);
            rig.list->items().currentIndex = c.from;
            QTest::keyClick(rig.list, c.key);
            QCOMPARE(rig.selected(), c.to);
            QCOMPARE(rig.list->items().currentIndex, c.to);
            QTRY_COMPARE(rig.pane->isPreparing(), false);
            QCOMPARE(rig.prepared.load(), c.to == c.from ? 0 : 1);
            if (c.to != c.from)
                QCOMPARE(rig.statusText(), rig.list->LineText(c.to));
        }
    }

    void otherInputAndBusyInputChangeNothing() {
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", "b.jpg", "c.jpg"});
        rig.list->SelectLine(0);
        rig.list->items().currentIndex = 0;
        QTest::keyClick(rig.list, Qt::Key_C); // the list's own search moves; the preview does not follow
        QCOMPARE(rig.selected(), 2);
        QCOMPARE(rig.list->items().currentIndex, 0);
        rig.list->SelectLine(0);
        rig.list->items().busy = true;
        QTest::keyClick(rig.list, Qt::Key_Down);
        Click(rig, 2);
        QTest::keyClick(rig.list, Qt::Key_Delete);
        QCOMPARE(rig.selected(), 0);
        QCOMPARE(rig.list->LineCount(), 3);
        rig.list->items().busy = false;
        QTest::qWait(50);
        QCOMPARE(rig.prepared.load(), 0);
        QVERIFY(rig.statusLog.empty());

        rig.showThumbnail->setChecked(false); // then only the status text follows
        QTest::keyClick(rig.list, Qt::Key_Down);
        QCOMPARE(rig.statusLog, (Strings{"b.jpg"}));
        QVERIFY(!rig.pane->isPreparing());
    }

    void failedPreviewWarnsOnlyWhileItsItemIsSelected() {
        test::ListPaneRig rig;
        Show(rig, {"bad.jpg", "green.jpg", "c.jpg"});
        Click(rig, 0);
        QTRY_COMPARE(rig.messages.log, (Strings{warning}));
        QCOMPARE(rig.statusText(), std::string("bad.jpg"));

        rig.delayMs = 200; // superseded by a newer request: dropped
        rig.messages.log.clear();
        Click(rig, 1);
        Click(rig, 0);
        Click(rig, 1);
        QTRY_COMPARE(rig.statusText(), std::string("green.jpg"));
        QTest::qWait(300);
        QVERIFY(rig.messages.log.empty());

        Click(rig, 0); // the selection moves on without a new preview: dropped as well
        rig.showThumbnail->setChecked(false);
        QTest::keyClick(rig.list, Qt::Key_End);
        QTRY_COMPARE(rig.pane->isPreparing(), false);
        QTest::qWait(50);
        QVERIFY(rig.messages.log.empty());
        QCOMPARE(rig.statusText(), std::string("c.jpg"));
    }

    // The results of a browser selection block and what the user sees with each.
    void selectionThroughTheListAndThePane_data() {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<bool>("box404");
        const auto block = [](const Strings& names) {
            const Bytes bytes = SelectionBlock::Build("/in", names);
            return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        };
        QTest::newRow("mixed") << block({"a.jpg", "notes.txt", "c.mp3"}) << 0
                               << QStringList{"/in/a.jpg", "/in/c.mp3"} << true;
        QTest::newRow("none supported") << block({"x.txt"}) << 447 << QStringList{} << false;
        QTest::newRow("malformed") << QByteArray("\x01\0\0\0\x0c", 5) << 446 << QStringList{} << false;
    }
    void selectionThroughTheListAndThePane() {
        QFETCH(QByteArray, block);
        QFETCH(int, result);
        QFETCH(QStringList, paths);
        QFETCH(bool, box404);
        test::ListPaneRig rig;
        rig.showThumbnail->setChecked(false);
        rig.folder->setText("/out");
        QCOMPARE(rig.list->AcceptBrowserSelection(Bytes(block.begin(), block.end())), result);
        QStringList listed;
        for (const MediaItem& item : rig.list->items().items())
            listed << QString::fromStdString(item.path);
        QCOMPARE(listed, paths);
        QCOMPARE(rig.messages.log,
                 box404 ? Strings{"inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt"}
                        : Strings{});
        QCOMPARE(rig.create->isEnabled(), result == 0);
        QCOMPARE(rig.selected(), result == 0 ? 0 : -1);
        QCOMPARE(rig.list->items().sourceFolder, std::string(result == 446 ? "" : "/in/"));
    }

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

QTEST_MAIN(aw::ListPaneTest)
#include "tst_listpane.moc"
