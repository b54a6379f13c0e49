// SPDX-License-Identifier: MIT
// The item list and the drop pane wired as the main window wires them: what the views hand to the list's
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

private slots:
    // A click reaches the controller; the preview is drawn, the status bar and the tooltip hold the whole
    // name however long, a failed preview leaves the area blank.
    void clickPreviewsTheLineAndNamesItWhole() {
        const std::string name = "Beach day 01 at the harbour.jpg";
        test::ListPaneRig rig;
        Show(rig, {"a.jpg", name, "bad.jpg"});
        Click(rig, 1);
        QTRY_COMPARE(rig.statusText(), name);
        QCOMPARE(Centre(rig.pane), QColor(Qt::red));
        QCOMPARE(rig.list->item(1)->toolTip().toStdString(), name);
        Click(rig, 2);
        QTRY_COMPARE(rig.messages.log, Strings{warning});
        QCOMPARE(Centre(rig.pane), QColor(Qt::white));
    }

    // Keys reach the controller; the window's own keys pass through the list.
    void keysMoveDeleteAndJump() {
        test::ListPaneRig rig;
        rig.showThumbnail->setChecked(false);
        Show(rig, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
        for (const auto& [key, selected] : {std::pair(Qt::Key_Right, 1), std::pair(Qt::Key_End, 3),
                                            std::pair(Qt::Key_B, 1), std::pair(Qt::Key_Delete, 1)}) {
            QTest::keyClick(rig.list, key);
            QCOMPARE(rig.selected(), selected);
        }
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "c.jpg", "d.jpg"}));
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

    // Only local files are taken, in their order; a drag of none is refused.
    void dropsTakeLocalFilesInOrder() {
        test::ListPaneRig rig;
        QVERIFY(!Drop(rig.pane, {QUrl("https://example.org/a.jpg")}));
        QCOMPARE(rig.list->LineCount(), 0);
        QVERIFY(Drop(rig.pane, {QUrl::fromLocalFile("/in/a.jpg"), QUrl("https://example.org/c.jpg"),
                                QUrl::fromLocalFile("/in/b.mp3")}));
        QCOMPARE(Lines(rig), (Strings{"a.jpg", "b.mp3"}));
    }

    // A still is drawn centred, a failure leaves the area blank, sound needs no preparation; a result
    // superseded or cleared while it was under way is never drawn.
    void onlyTheNewestPreviewIsDrawn() {
        test::ListPaneRig rig;
        rig.pane->Attach(nullptr, nullptr); // no list: every result of the newest request is drawn
        rig.window.show();
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

        test::CountPosts posts(rig.pane);
        for (const bool clear : {false, true}) {
            rig.hold = true;
            const int prepared = rig.prepared;
            rig.pane->ShowThumbnail(++ticket, "/p/red.jpg", StillJpeg);
            QTRY_COMPARE(rig.prepared.load(), prepared + 1); // under way, held
            clear ? rig.pane->ClearThumbnail()
                  : void(rig.pane->ShowThumbnail(++ticket, "/p/green.jpg", StillJpeg));
            const int posted = posts.count;
            rig.hold = false;
            QTRY_COMPARE(posts.count, posted + (clear ? 1 : 2)); // every result has reached the pane
            QCOMPARE(Centre(rig.pane), clear ? QColor(Qt::white) : QColor(Qt::green));
        }
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
        QCoreApplication::processEvents();    // nothing is delivered to the pane that is gone
        rig.list->controller().InputClick(0); // the list copes without its pane
        QCOMPARE(rig.statusText(), std::string("a.jpg"));
    }
};

} // namespace aw

QTEST_MAIN(aw::ListPaneTest)
#include "tst_listpane.moc"
