// The item list and the drop pane wired as the main window wires them: selection, preview, intake.
#include <QElapsedTimer>
#include <QMimeData>
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
    const std::string notesRefused = "inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt";

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
    // The colour at the centre of the pane's white area, where previews are centred.
    static QColor Centre(DropPane* pane) {
        return pane->grab().toImage().copy(pane->contentsRect()).pixelColor(75, 140);
    }
    // A pane showing previews without a list around it (no item needs to be selected).
    static void WithoutList(test::ListPaneRig& rig) {
        rig.pane->Attach(nullptr, rig.create, rig.folder, rig.showThumbnail, &rig.messages, nullptr);
        rig.window.show();
    }

private slots:
    // A click previews once with the note in the status text; moves and deletion keep the selection.
    void clickPreviewsOnceAndEditingKeepsTheSelection() {
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

        // The moves themselves are the item list's unit test; here the view follows without calling back.
        QSignalSpy rowSignals(rig.list, &QListWidget::currentRowChanged);
        rig.list->items().MoveSelectionDown();
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.jpg", "b.jpg"}));
        QCOMPARE(rig.selected(), 2);
        QCOMPARE(rowSignals.count(), 0);
        QCOMPARE(rig.prepared.load(), 1);          // the same item stays shown
        QTest::keyClick(rig.list, Qt::Key_Delete); // as the Delete Selection button
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.jpg"}));
        QCOMPARE(rig.selected(), 1);
        QTRY_COMPARE(rig.prepared.load(), 2);
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

        rig.delayMs = 200;
        rig.messages.log.clear();
        Click(rig, 1);
        Click(rig, 0); // the selection moves on while it is prepared, without a new preview: dropped
        rig.showThumbnail->setChecked(false);
        QTest::keyClick(rig.list, Qt::Key_End);
        QTRY_COMPARE(rig.pane->isPreparing(), false);
        QTest::qWait(50);
        QVERIFY(rig.messages.log.empty());
        QCOMPARE(rig.statusText(), std::string("c.jpg"));
    }

    // The results for each block are the intake's unit test; here what the user sees.
    void browserSelectionIsListedSelectedAndReported() {
        test::ListPaneRig rig;
        rig.showThumbnail->setChecked(false);
        rig.folder->setText("/out");
        QCOMPARE(
            rig.list->AcceptBrowserSelection(SelectionBlock::Build("/in", {"a.jpg", "notes.txt", "c.mp3"})),
            0);
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.mp3"}));
        QCOMPARE(rig.messages.log, Strings{notesRefused});
        QVERIFY(rig.create->isEnabled());
        QCOMPARE(rig.selected(), 0);
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
        QCOMPARE(rig.messages.log, Strings{notesRefused});
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

    // A still is drawn centred, a failure leaves the area blank, sound needs no preparation; a result
    // superseded or abandoned is never drawn.
    void onlyTheNewestPreviewIsDrawn() {
        test::ListPaneRig rig;
        WithoutList(rig);
        QSignalSpy finished(rig.pane, &DropPane::PreviewFinished);
        QSignalSpy abandoned(rig.pane, &DropPane::PreviewAbandoned);
        for (const auto& [file, ok, shown] : {std::tuple("/p/red.jpg", true, QColor(Qt::red)),
                                              std::tuple("/p/bad.jpg", false, QColor(Qt::white))}) {
            QVERIFY(rig.pane->ShowThumbnail(file, StillJpeg));
            QTRY_VERIFY(!finished.isEmpty() && finished.last().at(0).toBool() == ok);
            QCOMPARE(Centre(rig.pane), shown);
        }
        QVERIFY(!rig.pane->ShowThumbnail("/p/red.jpg", Unsupported));
        QVERIFY(rig.pane->ShowThumbnail("/nowhere/sound.mp3", Audio)); // at once, file or not
        QVERIFY(!rig.pane->isPreparing());

        finished.clear();
        rig.delayMs = 200;
        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        QTRY_COMPARE(rig.prepared.load(), 3); // under way when the next request comes
        QVERIFY(rig.pane->ShowThumbnail("/p/green.jpg", StillJpeg));
        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(300);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(Centre(rig.pane), QColor(Qt::green));

        QVERIFY(rig.pane->ShowThumbnail("/p/red.jpg", StillJpeg));
        rig.pane->ClearThumbnail(); // abandoned: nothing is drawn when it ends
        QCOMPARE(abandoned.count(), 1);
        QTest::qWait(400);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(Centre(rig.pane), QColor(Qt::white));
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
