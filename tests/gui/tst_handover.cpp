// The media browser's hand-over in the windows: the selection block taken in by the item list and the
// drop pane, and the main window started beside the companion, or without one.
#include <QLineEdit>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

#include "album/imaginglibraryloader.h"
#include "album/mediakind.h"
#include "companion/pickcompanion.h"
#include "mainwindow/ui/mainwindow.h"
#include "medialist/selectionblock.h"
#include "platform/handoverchannel.h"
#include "stringtable.h"
#include "support/listpanerig.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

using Strings = std::vector<std::string>;

class HandOverTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ScratchDir> scratch_;
    ImagingLibraryLoader loader_;
    test::ScriptedMessages messages_, startupMessages_;

    std::unique_ptr<MainWindow> MakeWindow(std::string startupFile) {
        MainWindowSeams seams;
        seams.messages = &messages_;
        seams.startupMessages = &startupMessages_;
        seams.settingsFile = (scratch_->path() / "settings").string();
        seams.programFolder = test::BinDir().string() + "/";
        return std::make_unique<MainWindow>(loader_.library(), std::move(startupFile), nullptr,
                                            std::move(seams));
    }

    static Strings Paths(MainWindow& window) {
        Strings paths;
        for (const MediaItem& item : static_cast<ThumbnailList*>(window.control(1014))->items().items())
            paths.push_back(item.path);
        return paths;
    }

private slots:
    void initTestCase() {
        scratch_ = std::make_unique<test::ScratchDir>();
        // The hand-over socket of this test only.
        qputenv("XDG_RUNTIME_DIR", scratch_->path().c_str());
        QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
    }

    // The companion holds the files named to it and the starting window lists them all with their folder;
    // without a companion the window takes the command-line file, or refuses, without waiting.
    void mainWindowStartsFromTheCompanion() {
        using namespace std::chrono_literals;
        const struct {
            const char* name;
            Strings companionFiles; // empty: no companion
            std::string startupFile;
            int result;
            Strings paths;
            std::string folder;
            Strings boxes;
        } cases[] = {
            {"three files",
             {"/home/u/P/a.jpg", "/home/u/P/b.avi", "/home/u/P/c.mp3"},
             "/x/ignored.jpg",
             0,
             {"/home/u/P/a.jpg", "/home/u/P/b.avi", "/home/u/P/c.mp3"},
             "/home/u/P",
             {}},
            {"none supported",
             {"/home/u/P/notes.txt"},
             "",
             2,
             {},
             "",
             {"inform " + LoadText(411) + ": " + LoadText(447)}},
            {"no companion, a file", {}, "/x/f.wav", 0, {"/x/f.wav"}, "/x", {}},
            {"no companion, no file", {}, "", 2, {}, "", {"inform " + LoadText(411) + ": " + LoadText(446)}},
        };
        for (const auto& c : cases) {
            startupMessages_.log.clear();
            std::thread companion;
            int handedOver = -1;
            if (!c.companionFiles.empty())
                companion = std::thread([&] {
                    PickCompanion pick(c.companionFiles, "/");
                    handedOver = pick.Run(HandOverChannel::DefaultSocketPath(),
                                          {[](std::string&) { return true; }, [] { return false; }}, 5s);
                });
            // The companion listens before it starts the window; here the window waits for the socket.
            const std::string socket = HandOverChannel::DefaultSocketPath();
            QTRY_VERIFY(c.companionFiles.empty() || QFile::exists(QString::fromStdString(socket)));
            auto window = MakeWindow(c.startupFile);
            QElapsedTimer started;
            started.start();
            QCOMPARE(window->Initialise(), c.result);
            if (c.companionFiles.empty())
                QVERIFY2(started.elapsed() < 100, c.name); // nobody to ask: no wait
            if (companion.joinable()) {
                companion.join();
                QCOMPARE(handedOver, 0);
            }
            QCOMPARE(Paths(*window), c.paths);
            QCOMPARE(static_cast<QLineEdit*>(window->control(1000))->text().toStdString(), c.folder);
            QCOMPARE(startupMessages_.log, c.boxes);
        }
    }

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
