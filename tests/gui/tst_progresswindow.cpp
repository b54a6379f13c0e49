// SPDX-License-Identifier: MIT
// The progress window over real runs: the bar, the stop request and the ends a run must survive.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <filesystem>
#include <functional>

#include "album/imaginglibraryloader.h"
#include "album/progressrequest.h"
#include "dialogs/ui/progresswindow.h"
#include "medialist/itemlist.h"
#include "platform/filecopy.h"
#include "platform/interruptflag.h"
#include "stringtable.h"
#include "support/failingthreadstarts.h"
#include "support/fixtures.h"
#include "support/itemsforrun.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ProgressWindowTest : public QObject {
    Q_OBJECT

    // A window over x.bmp and a.jpg (or `items`) into a new album; x.bmp's Data file is there, read-only.
    std::unique_ptr<ProgressWindow> Window(const std::vector<MediaItem>* items = nullptr) {
        fs::remove_all(out_);
        fs::create_directories(out_ / "Data");
        fs::create_directories(out_ / "Thumb");
        test::WriteWholeFile(out_ / "Data" / "x.jpg", "old");
        (void)SetReadOnly((out_ / "Data" / "x.jpg").string());
        const ProgressRequest request{
            items ? *items : items_->items(), job_, (out_ / "Data").string(),
            (out_ / "Thumb").string(),        0,    (scratch_.path() / "work").string() + "/"};
        auto window = std::make_unique<ProgressWindow>(request, loader_.library());
        auto messages = std::make_unique<test::ScriptedMessages>();
        messages_ = messages.get();
        window->SetMessageService(std::move(messages));
        return window;
    }
    std::string Source(const std::string& name) const { return (scratch_.path() / name).string(); }
    static void Stop(ProgressWindow& window) {
        QTest::mouseClick(window.findChild<QPushButton*>("c1016"), Qt::LeftButton);
    }

    test::ScratchDir scratch_;
    fs::path out_ = scratch_.path() / "album";
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    std::unique_ptr<ItemList> items_;
    test::ScriptedMessages* messages_ = nullptr;

private slots:
    void initTestCase() {
        SetLanguage(Language::English);
        QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
        fs::create_directories(scratch_.path() / "work");
        QVERIFY(test::MakeJpeg(Source("a.jpg"), 64, 48) && test::MakeBitmap(Source("x.bmp"), 40, 30));
        job_.arrangementFile = (test::BinDir() / "htmldata" / "form1.dat").string();
        job_.audioPicture = (test::BinDir() / "htmldata" / "wave.jpg").string();
        job_.outputFolder = out_.string();
        items_ = test::ItemsForRun({Source("x.bmp"), Source("a.jpg")}, job_.audioPicture);
    }

    // Stop (twice), Esc, close or SIGTERM with the question on screen: the window stays, "Finishing..."
    // until the run ends stopped.
    void stopRequestsWaitForTheRunsEnd() {
        const std::pair<const char*, std::function<void(ProgressWindow&)>> ways[] = {
            {"Stop twice", [](ProgressWindow& window) { Stop(window), Stop(window); }},
            {"Esc", [](ProgressWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); }},
            {"close", [](ProgressWindow& window) { window.close(); }},
            {"SIGTERM", [](ProgressWindow&) { ::raise(SIGTERM); }},
        };
        InterruptFlag::Install(true);
        for (const auto& [name, stop] : ways) {
            auto window = Window();
            bool stillShown = false;
            messages_->onAsk = [&, &stop = stop] {
                stop(*window);
                stillShown = window->isVisible();
            };
            const test::Watchdog watchdog(60s, name);
            QCOMPARE(window->Run(), RunStopped);
            QVERIFY2(stillShown, name);
            QCOMPARE(window->findChild<QLabel*>("c1078")->text(), QString("Finishing..."));
            InterruptFlag::Reset();
        }
    }

    // 7,000 items make a range of 70,000, which a 16-bit range would cut.
    void barRangeIsNotCutTo16Bits() {
        std::vector<MediaItem> many(7000, items_->items().back());
        auto window = Window(&many);
        QCOMPARE(window->findChild<QProgressBar*>("c1079")->maximum(), 70000);
    }

    // A run whose thread cannot start ends as failed at once, saying why.
    void runThatCannotStartFailsWithItsReason() {
        auto window = Window();
        const test::Watchdog watchdog(60s, "a run without a thread");
        const test::FailingThreadStarts failing;
        QCOMPARE(window->Run(), RunFailed);
        QVERIFY(window->failureLine().size() > FormatText(LoadText(TextId::WorkNotStarted), {""}).size());
    }
};

} // namespace aw

QTEST_MAIN(aw::ProgressWindowTest)
#include "tst_progresswindow.moc"
