// SPDX-License-Identifier: MIT
// The item list and the drop pane wired as the main window wires them: what the views pass on to the list's
// controller and what they draw. The controller's rules are its unit test.
#include <QMimeData>
#include <QtTest>

#include "album/mediakind.h"
#include "stringtable.h"
#include "support/listpanerig.h"
#include "support/watchdog.h"

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
        rig.Add(names);
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
    // A pane showing previews without a list around it (every result of its newest request is drawn).
    static void WithoutList(test::ListPaneRig& rig) {
        rig.pane->Attach(nullptr, nullptr);
        rig.window.show();
    }

private slots:
    // A click previews the line once; when the preview ends the status bar holds the whole name, however
    // long, and every line carries its whole name as a tooltip.
    void clickPreviewsTheLineAndNamesItWhole() {
        const std::string name = "Beach day 01 at the harbour.jpg";
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", name, "bad.jpg"});
        Click(rig, 1);
        QCOMPARE(rig.list->controller().currentIndex(), 1);
        QCOMPARE(rig.statusText(), name + note);
        QTRY_COMPARE(rig.pane->isPreparing(), false);
        QCOMPARE(rig.statusLog, (Strings{name + note, name}));
        QCOMPARE(Centre(rig.pane), QColor(Qt::red));
        QCOMPARE(rig.list->item(1)->toolTip().toStdString(), name);
        Click(rig, 1); // the current line again: nothing
        QCoreApplication::processEvents();
        QCOMPARE(rig.prepared.load(), 1);

        Click(rig, 2); // a failure is told once it has been prepared
        QTRY_COMPARE(rig.messages.log, Strings{warning});
        QCOMPARE(rig.statusText(), std::string("bad.jpg"));
        QCOMPARE(Centre(rig.pane), QColor(Qt::white));
    }

    // Keys reach the controller; the window's own keys pass through the list.
    void keysMoveDeleteAndJump() {
        test::ListPaneRig rig;
        rig.showThumbnail->setChecked(false);
        Show(rig, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
        const struct {
            Qt::Key key;
            int selected;
            Strings lines;
        } steps[] = {{Qt::Key_Right, 1, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}},
                     {Qt::Key_End, 3, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}},
                     {Qt::Key_B, 1, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}},
                     {Qt::Key_Delete, 1, {"a.jpg", "c.jpg", "d.jpg"}}};
        for (const auto& step : steps) {
            QTest::keyClick(rig.list, step.key);
            QCOMPARE(rig.selected(), step.selected);
            QCOMPARE(Lines(rig), step.lines);
        }
        QCOMPARE(rig.statusLog, (Strings{"b.jpg", "d.jpg", "c.jpg"})); // the letter jump names nothing
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.list, &escape);
        QVERIFY(!escape.isAccepted());
    }

    // A box a click or a key raises is shown after its handler has returned.
    void boxesWaitForTheInputHandler() {
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", "b.jpg"});
        // A kind without a preview fails at once, inside the handler.
        rig.list->items().AppendItem(MediaItem{"/p/x.doc", "/p/", "x.doc", "", Unsupported});
        rig.list->controller().Attach(rig.list);
        Click(rig, 2);
        QVERIFY(rig.messages.log.empty());
        QTRY_COMPARE(rig.messages.log, Strings{warning});
        Click(rig, 1);
        QTest::keyClick(rig.list, Qt::Key_Delete); // x.doc takes b.jpg's place
        QCOMPARE(rig.list->controller().currentIndex(), 1);
        QCOMPARE(rig.messages.log.size(), std::size_t{1});
        QTRY_COMPARE(rig.messages.log.size(), std::size_t{2});
    }

    void dropsTakeLocalFilesInOrder() {
        test::ListPaneRig rig;
        rig.list->controller().SetOutputFolderGiven(true);
        QVERIFY(!Drop(rig.pane, {QUrl("https://example.org/a.jpg")}));
        QCOMPARE(rig.list->LineCount(), 0);
        QVERIFY(Drop(rig.pane, {QUrl::fromLocalFile("/in/a.jpg"), QUrl::fromLocalFile("/in/notes.txt"),
                                QUrl("https://example.org/c.jpg"), QUrl::fromLocalFile("/in/b.mp3")}));
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "b.mp3"}));
        QCOMPARE(rig.messages.log, Strings{"inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt"});
        QVERIFY(rig.create->isEnabled());
        QCOMPARE(rig.selected(), 0); // the first files: line 0 selected and previewed
        QTRY_COMPARE(rig.statusText(), std::string("a.jpg"));
        QCOMPARE(rig.prepared.load(), 1);
    }

    // A still is drawn centred, a failure leaves the area blank, sound needs no preparation; a result
    // superseded or cleared is never drawn.
    void onlyTheNewestPreviewIsDrawn() {
        test::ListPaneRig rig;
        WithoutList(rig);
        std::uint64_t ticket = 0;
        for (const auto& [file, shown] :
             {std::pair("/p/red.jpg", QColor(Qt::red)), std::pair("/p/bad.jpg", QColor(Qt::white))}) {
            QCOMPARE(rig.pane->ShowThumbnail(++ticket, file, StillJpeg), PreviewStart::Pending);
            QTRY_VERIFY(!rig.pane->isPreparing());
            QCOMPARE(Centre(rig.pane), shown);
        }
        QCOMPARE(rig.pane->ShowThumbnail(++ticket, "/p/red.jpg", Unsupported), PreviewStart::Failed);
        QCOMPARE(rig.pane->ShowThumbnail(++ticket, "/nowhere/sound.mp3", Audio), PreviewStart::Shown);
        QVERIFY(!rig.pane->isPreparing());

        rig.delayMs = 200;
        rig.pane->ShowThumbnail(++ticket, "/p/red.jpg", StillJpeg);
        QTRY_COMPARE(rig.prepared.load(), 3); // under way when the next request comes
        rig.pane->ShowThumbnail(++ticket, "/p/green.jpg", StillJpeg);
        QTRY_COMPARE(rig.prepared.load(), 4);
        QTRY_VERIFY(!rig.pane->isPreparing());
        QCOMPARE(Centre(rig.pane), QColor(Qt::green));

        rig.pane->ShowThumbnail(++ticket, "/p/red.jpg", StillJpeg);
        QTRY_COMPARE(rig.prepared.load(), 5);
        rig.pane->ClearThumbnail(); // nothing is drawn when it ends
        QTest::qWait(400);
        QCOMPARE(Centre(rig.pane), QColor(Qt::white));
    }

    void closingDuringAPreparationDoesNotHang() {
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", "b.jpg"});
        rig.delayMs = 700;
        Click(rig, 1);
        QTRY_COMPARE(rig.prepared.load(), 1);
        {
            const test::Watchdog watchdog(std::chrono::seconds(30), "closing the pane");
            delete rig.pane; // waits for the preparation under way, no longer
        }
        QTest::qWait(50);                     // nothing is delivered to the pane that is gone
        rig.list->controller().InputClick(0); // the list copes without its pane
        QCOMPARE(rig.statusText(), std::string("a.jpg"));
    }
};

} // namespace aw

QTEST_MAIN(aw::ListPaneTest)
#include "tst_listpane.moc"
