// SPDX-License-Identifier: MIT
// The item list and the drop pane as the main window wires them: what they hand on and what they draw.
#include <QHelpEvent>
#include <QMimeData>
#include <QToolTip>
#include <QtTest>

#include "album/mediakind.h"
#include "stringtable.h"
#include "support/failingthreadstarts.h"
#include "support/listpanerig.h"

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
    // click or a key raises (here: no thread for the preview) is shown after its handler has returned.
    void clicksPreviewAndBoxesWaitForTheHandler() {
        const std::string name = "Beach day 01 at the harbour.jpg";
        const std::string failed =
            "inform " + LoadText(TextId::WarningCaption) + ": " + LoadText(TextId::ThumbnailFailed);
        test::ListPaneRig rig;
        Show(rig, {"/p/a.jpg", "/p/" + name, "/p/b.jpg"});
        {
            const test::FailingThreadStarts failing;
            rig.NewWorker();
            Click(rig, 2);
            QVERIFY(rig.messages.log.empty());
        }
        QTRY_COMPARE(rig.messages.log, Strings{failed});
        Click(rig, 1);
        QTRY_COMPARE(rig.status->currentMessage().toStdString(), name);
        QCOMPARE(Centre(rig.pane), QColor(Qt::red));
        const QPoint over = rig.list->visualItemRect(rig.list->item(1)).center();
        QHelpEvent tip(QEvent::ToolTip, over, rig.list->viewport()->mapToGlobal(over));
        QApplication::sendEvent(rig.list->viewport(), &tip);
        QCOMPARE(QToolTip::text().toStdString(), name);
        {
            const test::FailingThreadStarts failing;
            rig.NewWorker();
            QTest::keyClick(rig.list, Qt::Key_Delete); // b.jpg takes its place
            QCOMPARE(rig.messages.log.size(), std::size_t{1});
        }
        QTRY_COMPARE(rig.messages.log, (Strings{failed, failed}));
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
};

} // namespace aw

QTEST_MAIN(aw::ListPaneTest)
#include "tst_listpane.moc"
