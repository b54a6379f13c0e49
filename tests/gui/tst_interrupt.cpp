// SPDX-License-Identifier: MIT
// The window program on SIGTERM, SIGINT or SIGHUP: every loop ends, a box open at the time included, and
// the main window's run returns. A program of its own: the end it tests is the whole process's.
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <csignal>

#include "album/imaginglibraryloader.h"
#include "app/ui/interruptwatch.h"
#include "mainwindow/ui/mainwindow.h"
#include "platform/interruptflag.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {

class InterruptTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowEndsOnASignal() {
        using namespace std::chrono_literals;
        test::ScratchDir scratch, runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().c_str());
        ImagingLibraryLoader loader;
        QCOMPARE(loader.Load(test::BinDir()), ImagingLoadResult::Loaded);
        test::ScriptedMessages messages;
        test::RecordingHelp help;
        MainWindowSeams seams;
        seams.messages = seams.startupMessages = &messages;
        seams.help = &help;
        seams.settingsFile = (scratch.path() / "settings").string();
        seams.programFolder = test::BinDir().string() + "/";
        MainWindow window(loader.library(), "/nowhere/a.jpg", nullptr, std::move(seams));
        WatchForInterrupt(window);
        QTimer::singleShot(0, &window, [] { ::raise(SIGHUP); });
        const test::Watchdog watchdog(60s, "the main window after SIGHUP");
        QVERIFY(window.Run() != 1); // ended, nothing saved as Close would
        QVERIFY(InterruptFlag::Raised());
    }
};

} // namespace aw

QTEST_MAIN(aw::InterruptTest)
#include "tst_interrupt.moc"
