// SPDX-License-Identifier: MIT
// The item list and the drop pane as the main window wires them: what they hand on and what they draw.
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

    static void Click(test::ListPaneRig& rig, int row) {
        QTest::mouseClick(rig.list->viewport(), Qt::LeftButton, {},
                          rig.list->visualItemRect(rig.list->item(row)).center());
    }
    static void Show(test::ListPaneRig& rig, const Strings& paths) {
        rig.Add(paths);
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    }
    // The colour at the centre of the pane's white area, where previews are centred.
    static QColor Centre(DropPane* pane) {
        return pane->grab().toImage().copy(pane->contentsRect()).pixelColor(75, 140);
    }

private slots:
    // A click previews the line, the status bar and the tooltip hold the whole name however long; a box a
    // click or a key raises is shown after its handler has returned.
    void clicksPreviewAndBoxesWaitForTheHandler() {
        const std::string name = "Beach day 01 at the harbour.jpg";
        test::ListPaneRig rig;
        Show(rig, {"/p/a.jpg", "/p/" + name});
        rig.list->items().AppendItem(MediaItem{"/p/x.doc", "/p/", "x.doc", "", MediaKind::Unsupported});
        rig.list->controller().Attach(rig.list);
        Click(rig, 2); // a kind without a preview fails at once, inside the handler
        QVERIFY(rig.messages.log.empty());
        QTRY_COMPARE(rig.messages.log, Strings{"inform " + LoadText(TextId::WarningCaption) + ": " +
                                               LoadText(TextId::ThumbnailFailed)});
        Click(rig, 1);
        QTRY_COMPARE(rig.status->currentMessage().toStdString(), name);
        QCOMPARE(Centre(rig.pane), QColor(Qt::red));
        QCOMPARE(rig.list->item(1)->toolTip().toStdString(), name);
        QTest::keyClick(rig.list, Qt::Key_Delete); // x.doc takes its place
        QCOMPARE(rig.messages.log.size(), std::size_t{1});
        QTRY_COMPARE(rig.messages.log.size(), std::size_t{2});
    }

    // Only local files are taken, in their order.
    void dropsTakeLocalFilesInOrder() {
        test::ListPaneRig rig;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile("/in/a.jpg"), QUrl("https://example.org/c.jpg"),
                      QUrl::fromLocalFile("/in/b.mp3")});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.pane, &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.pane, &drop);
        QCoreApplication::processEvents(); // intake runs once the drop has ended
        QCOMPARE(rig.list->LineCount(), 2);
        QCOMPARE(rig.list->LineText(1), std::string("b.mp3"));
    }

    // A result superseded or cleared while it was under way is never drawn; a failure leaves the area blank.
    void onlyTheNewestPreviewIsDrawn() {
        test::ListPaneRig rig;
        rig.pane->Attach(nullptr, nullptr); // no list: every result of the newest request is drawn
        rig.window.show();
        test::CountPosts posts(rig.pane);
        std::uint64_t ticket = 0;
        for (const auto& [next, shown] :
             {std::pair("/p/green.jpg", QColor(Qt::green)), std::pair("/p/bad.jpg", QColor(Qt::white)),
              std::pair("", QColor(Qt::white))}) {
            rig.hold = true;
            const int prepared = rig.prepared;
            rig.pane->ShowThumbnail(++ticket, "/p/red.jpg", MediaKind::StillJpeg);
            QTRY_COMPARE(rig.prepared.load(), prepared + 1); // under way, held
            const bool clear = *next == '\0';
            clear ? rig.pane->ClearThumbnail()
                  : void(rig.pane->ShowThumbnail(++ticket, next, MediaKind::StillJpeg));
            const int posted = posts.count;
            rig.hold = false;
            QTRY_COMPARE(posts.count, posted + (clear ? 1 : 2)); // every result has reached the pane
            QCOMPARE(Centre(rig.pane), shown);
        }
    }

    void closingDuringAPreparationDoesNotHang() {
        test::ListPaneRig rig;
        Show(rig, {"/p/a.jpg", "/p/b.jpg"});
        rig.delayMs = 700;
        Click(rig, 1);
        QTRY_COMPARE(rig.prepared.load(), 1);
        {
            const test::Watchdog watchdog(std::chrono::seconds(30), "closing the pane");
            delete rig.pane; // waits for the preparation under way, no longer
        }
        QCoreApplication::processEvents();    // nothing is delivered to the pane that is gone
        rig.list->controller().InputClick(0); // the list copes without its pane
        QCOMPARE(rig.status->currentMessage(), QString("a.jpg"));
    }
};

} // namespace aw

QTEST_MAIN(aw::ListPaneTest)
#include "tst_listpane.moc"
