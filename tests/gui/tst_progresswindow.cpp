// SPDX-License-Identifier: MIT
// The progress window over real runs: the bar, the result, the stop request and teardown mid-run.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "album/albumjob.h"
#include "album/imaginglibraryloader.h"
#include "dialogs/ui/progresswindow.h"
#include "mainwindow/createworkflow.h"
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

    // Items as Create names them; x.bmp's Data file "x.jpg" is there already, read-only.
    void Prepare(const std::vector<std::string>& names = {"x.bmp", "a.jpg", "c.jpg"}) {
        fs::create_directories(out_ / "Data");
        fs::create_directories(out_ / "Thumb");
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(Source(name));
        items_ = test::ItemsForRun(paths, job_.audioPicture);
        test::WriteWholeFile(out_ / "Data" / "x.jpg", "old");
        QVERIFY(SetReadOnly((out_ / "Data" / "x.jpg").string()));
    }
    // A window over `items` (the prepared ones by default) answering through messages_.
    std::unique_ptr<ProgressWindow> Window(const std::vector<MediaItem>* items = nullptr) {
        const ProgressRequest request{
            items ? *items : items_->items(), job_, (out_ / "Data").string(),
            (out_ / "Thumb").string(),        0,    (scratch_->path() / "work").string() + "/"};
        auto window = std::make_unique<ProgressWindow>(request, loader_.library());
        auto messages = std::make_unique<test::ScriptedMessages>();
        messages_ = messages.get();
        window->SetMessageService(std::move(messages));
        return window;
    }
    std::string Source(const std::string& name) const { return (scratch_->path() / name).string(); }
    QString StatusLine(ProgressWindow& window) { return window.findChild<QLabel*>("c1078")->text(); }

    std::unique_ptr<test::ScratchDir> scratch_;
    fs::path out_;
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    std::unique_ptr<ItemList> items_;
    test::ScriptedMessages* messages_ = nullptr;

private slots:
    void initTestCase() {
        SetLanguage(Language::English);
        QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
    }

    void init() {
        scratch_ = std::make_unique<test::ScratchDir>();
        out_ = scratch_->path() / "album";
        fs::create_directories(scratch_->path() / "work");
        QVERIFY(test::MakeJpeg(Source("a.jpg"), 64, 48) && test::MakeJpeg(Source("c.jpg"), 320, 240));
        QVERIFY(test::MakeBitmap(Source("x.bmp"), 40, 30));
        job_ = AlbumJob{};
        job_.pageTitle = "Trip";
        job_.arrangementFile = (test::BinDir() / "htmldata" / "form1.dat").string();
        job_.audioPicture = (test::BinDir() / "htmldata" / "wave.jpg").string();
        job_.outputFolder = out_.string();
    }

    // The read-only item answered No: asked and told from the window's thread, left out, its step still
    // counted. Stop (twice), Esc, close or SIGTERM with the question on screen: "Finishing..." until the run ends.
    void runsEndWrittenOrStopped() {
        const std::pair<const char*, std::function<void(ProgressWindow&)>> ways[] = {
            {"answered No", nullptr},
            {"Stop twice",
             [](ProgressWindow& window) {
                 for (int i = 0; i < 2; ++i)
                     QTest::mouseClick(window.findChild<QPushButton*>("c1016"), Qt::LeftButton);
             }},
            {"Esc", [](ProgressWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); }},
            {"close", [](ProgressWindow& window) { window.close(); }},
            {"SIGTERM", [](ProgressWindow&) { ::raise(SIGTERM); }},
        };
        InterruptFlag::Install(true);
        for (const auto& [name, stop] : ways) {
            Prepare();
            auto window = Window();
            auto* bar = window->findChild<QProgressBar*>("c1079");
            bool stillShown = true;
            if (stop)
                messages_->onAsk = [&, &stop = stop] {
                    stop(*window);
                    stillShown = window->isVisible();
                };
            else
                messages_->answers = {false};
            const test::Watchdog watchdog(60s, name);
            QCOMPARE(window->Run(), stop ? RunStopped : RunWritten);
            QVERIFY2(stillShown, name);
            QCOMPARE(StatusLine(*window),
                     QString(stop ? "Finishing..." : "3 of 3 images is being processed..."));
            QCOMPARE(messages_->log.size(), std::size_t(stop ? 1 : 2));
            if (stop) { // stopped at the check after the replaced Data copy: no thumbnail was made
                QVERIFY2(fs::is_empty(out_ / "Thumb"), name);
            } else {
                QCOMPARE(bar->maximum(), 30);
                QCOMPARE(bar->value(), 30);
                QVERIFY(messages_->log[0].starts_with("ask ") && messages_->log[1].starts_with("inform "));
                QCOMPARE(test::ReadWholeFile(out_ / "Data" / "x.jpg"), std::string("old"));
                QVERIFY(window->failureLine().empty());
            }
            for (const auto& entry : fs::recursive_directory_iterator(out_)) // nothing temporary is left
                QVERIFY2(!entry.path().filename().string().starts_with("HTM"), entry.path().c_str());
            fs::remove_all(out_);
            InterruptFlag::Reset();
        }
    }

    // 7,000 items make a range of 70,000 (a 16-bit range would cut it); missing files fail the first item.
    void barRangeIsNotCutTo16Bits() {
        Prepare({"a.jpg"});
        std::vector<MediaItem> many(7000, items_->items().front());
        for (std::size_t i = 0; i < many.size(); ++i)
            many[i].path = Source("gone" + std::to_string(i) + ".jpg");
        auto window = Window(&many);
        auto* bar = window->findChild<QProgressBar*>("c1079");
        QCOMPARE(bar->maximum(), 70000);
        const test::Watchdog watchdog(60s, "a run over 7,000 missing files");
        QCOMPARE(window->Run(), RunFailed);
        QCOMPARE(bar->value(), 10);
        QVERIFY(window->failureLine().find("gone0.jpg") != std::string::npos);
    }

    // A run whose thread cannot start ends as failed at once, saying why; nothing is written.
    void runThatCannotStartFailsWithItsReason() {
        Prepare({"a.jpg"});
        auto window = Window();
        const test::Watchdog watchdog(60s, "a run without a thread");
        {
            const test::FailingThreadStarts failing;
            QCOMPARE(window->Run(), RunFailed);
        }
        QVERIFY2(window->failureLine().starts_with(FormatText(LoadText(3301), {""})) &&
                     window->failureLine().size() > FormatText(LoadText(3301), {""}).size(),
                 window->failureLine().c_str());
        QVERIFY(fs::is_empty(out_ / "Thumb"));
    }

    // Destroyed while the run waits for an unshown answer: the question answers No, the destructor returns.
    void destroyedWithAQuestionPending() {
        Prepare();
        auto window = Window();
        window->Start();
        QVERIFY(test::WaitUntil([&] { return window->waitingQuestions() == 1; }));
        {
            const test::Watchdog watchdog(20s, "destroying the window with a question pending");
            window.reset();
        }
        QCoreApplication::processEvents(); // the question's post went with the window
        QCOMPARE(test::ReadWholeFile(out_ / "Data" / "x.jpg"), std::string("old"));
        QVERIFY(!fs::exists(out_ / "Thumb" / "th_a.jpg"));
    }
};

} // namespace aw

QTEST_MAIN(aw::ProgressWindowTest)
#include "tst_progresswindow.moc"
