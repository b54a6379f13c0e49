// The media browser's hand-over in the windows: the selection block taken in by the item list and the
// drop pane.
#include <QtTest>

#include "album/mediakind.h"
#include "medialist/selectionblock.h"
#include "stringtable.h"
#include "support/listpanerig.h"

namespace aw {

using Strings = std::vector<std::string>;

class HandOverTest : public QObject {
    Q_OBJECT

private slots:
    // The results of a selection block and what the user sees with each.
    void selectionThroughTheListAndThePane() {
        const struct {
            const char* name;
            Bytes block;
            int result;
            Strings paths;
            Strings boxes;
        } cases[] = {
            {"mixed",
             SelectionBlock::Build("/in", {"a.jpg", "notes.txt", "c.mp3"}),
             0,
             {"/in/a.jpg", "/in/c.mp3"},
             {"inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt"}},
            {"none supported", SelectionBlock::Build("/in", {"x.txt"}), 447, {}, {}},
            {"malformed", Bytes{1, 0, 0, 0, 12}, 446, {}, {}},
        };
        for (const auto& c : cases) {
            test::ListPaneRig rig;
            rig.showThumbnail->setChecked(false);
            rig.folder->setText("/out");
            QCOMPARE(rig.list->AcceptBrowserSelection(c.block), c.result);
            Strings paths;
            for (const MediaItem& item : rig.list->items().items())
                paths.push_back(item.path);
            QCOMPARE(paths, c.paths);
            QCOMPARE(rig.messages.log, c.boxes);
            QCOMPARE(rig.create->isEnabled(), c.result == 0);
            QCOMPARE(rig.selected(), c.result == 0 ? 0 : -1);
            QCOMPARE(rig.list->items().sourceFolder, std::string(c.result == 446 ? "" : "/in/"));
        }
    }
};

} // namespace aw

QTEST_MAIN(aw::HandOverTest)
#include "tst_handover.moc"
