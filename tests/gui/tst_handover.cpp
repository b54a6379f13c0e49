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

Strings Std(const QStringList& list) {
    Strings out;
    for (const QString& text : list)
        out.push_back(text.toStdString());
    return out;
}

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
    void mainWindowStartsFromTheCompanion_data() {
        QTest::addColumn<QStringList>("companionFiles"); // empty: no companion
        QTest::addColumn<QString>("startupFile");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("box"); // the start-up box, 0 for none
        const QStringList three{"/home/u/P/a.jpg", "/home/u/P/b.avi", "/home/u/P/c.mp3"};
        const QStringList none;
        QTest::newRow("three files") << three << "/x/ignored.jpg" << 0 << three << "/home/u/P" << 0;
        QTest::newRow("none supported") << QStringList{"/home/u/P/notes.txt"} << "" << 2 << none << "" << 447;
        QTest::newRow("no companion, a file")
            << none << "/x/f.wav" << 0 << QStringList{"/x/f.wav"} << "/x" << 0;
        QTest::newRow("no companion, at the root")
            << none << "/f.jpg" << 0 << QStringList{"/f.jpg"} << "/" << 0;
        QTest::newRow("no companion, unsupported") << none << "/x/notes.txt" << 2 << none << "" << 447;
        QTest::newRow("no companion, no file") << none << "" << 2 << none << "" << 446;
    }
    void mainWindowStartsFromTheCompanion() {
        using namespace std::chrono_literals;
        QFETCH(QStringList, companionFiles);
        QFETCH(QString, startupFile);
        QFETCH(int, result);
        QFETCH(QStringList, paths);
        QFETCH(QString, folder);
        QFETCH(int, box);
        startupMessages_.log.clear();
        std::thread companion;
        int handedOver = -1;
        if (!companionFiles.isEmpty())
            companion = std::thread([&, files = Std(companionFiles)] {
                PickCompanion pick(files, "/");
                handedOver = pick.Run(HandOverChannel::DefaultSocketPath(),
                                      {[](std::string&) { return true; }, [] { return false; }}, 5s);
            });
        // The companion listens before it starts the window; here the window waits for the socket.
        const std::string socket = HandOverChannel::DefaultSocketPath();
        QTRY_VERIFY(companionFiles.isEmpty() || QFile::exists(QString::fromStdString(socket)));
        auto window = MakeWindow(startupFile.toStdString());
        QElapsedTimer started;
        started.start();
        QCOMPARE(window->Initialise(), result);
        if (companionFiles.isEmpty())
            QVERIFY(started.elapsed() < 100); // nobody to ask: no wait
        if (companion.joinable()) {
            companion.join();
            QCOMPARE(handedOver, 0);
        }
        QCOMPARE(Paths(*window), Std(paths));
        QCOMPARE(static_cast<QLineEdit*>(window->control(1000))->text(), folder);
        QCOMPARE(startupMessages_.log,
                 box ? Strings{"inform " + LoadText(411) + ": " + LoadText(box)} : Strings{});
    }

    // The results of a selection block and what the user sees with each.
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
        Strings listed;
        for (const MediaItem& item : rig.list->items().items())
            listed.push_back(item.path);
        QCOMPARE(listed, Std(paths));
        QCOMPARE(rig.messages.log,
                 box404 ? Strings{"inform " + LoadText(421) + ": " + LoadText(404) + "notes.txt"}
                        : Strings{});
        QCOMPARE(rig.create->isEnabled(), result == 0);
        QCOMPARE(rig.selected(), result == 0 ? 0 : -1);
        QCOMPARE(rig.list->items().sourceFolder, std::string(result == 446 ? "" : "/in/"));
    }
};

} // namespace aw

QTEST_MAIN(aw::HandOverTest)
#include "tst_handover.moc"
