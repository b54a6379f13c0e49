// The progress window with real runs over the built imaging modules: the bar, the modal result,
// Stop, Esc and close as the stop request, and teardown during a run that never waits for itself.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "album/albumjob.h"
#include "album/imaginglibraryloader.h"
#include "dialogs/ui/progresswindow.h"
#include "mainwindow/createworkflow.h"
#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "platform/filecopy.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Scripted answers, with a hook that runs while a question is on screen (to press Stop meanwhile).
class HookedMessages : public test::ScriptedMessages {
public:
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                  DefaultButton defaultButton) override {
        if (onAsk)
            onAsk();
        return ScriptedMessages::AskYesNo(text, caption, icon, defaultButton);
    }
    std::function<void()> onAsk;
};

} // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void writtenRunAsksThroughTheService();
    void stopEscAndClose();
    void barRangeIsNotCutTo16Bits();
    void destroyedWithAQuestionPending();

private:
    // Items as Create names them; the first picture's Data file "x.jpg" is read-only when `readOnly`.
    void Prepare(const std::vector<std::string>& names, bool readOnly);
    ProgressRequest Request() const {
        return ProgressRequest{items_->items(),           job_, (out_ / "Data").string(),
                               (out_ / "Thumb").string(), 0,    (scratch_->path() / "work").string() + "/"};
    }
    // A window answering through `messages`, which the test keeps a pointer to.
    std::unique_ptr<ProgressWindow> Window(HookedMessages*& messages) {
        auto window = std::make_unique<ProgressWindow>(Request(), loader_.library());
        auto owned = std::make_unique<HookedMessages>();
        messages = owned.get();
        window->SetMessageService(std::move(owned));
        return window;
    }
    std::string Source(const std::string& name) const { return (scratch_->path() / name).string(); }

    std::unique_ptr<test::ScratchDir> scratch_;
    fs::path out_;
    ImagingLibraryLoader loader_;
    AlbumJob job_;
    std::unique_ptr<ItemList> items_;
};

void ProgressWindowTest::initTestCase() {
    SetLanguage(Language::English);
    QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
}

void ProgressWindowTest::init() {
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

void ProgressWindowTest::Prepare(const std::vector<std::string>& names, bool readOnly) {
    fs::create_directories(out_ / "Data");
    fs::create_directories(out_ / "Thumb");
    items_ = std::make_unique<ItemList>();
    MediaIntake intake(*items_);
    for (const std::string& name : names)
        intake.Take(Source(name));
    items_->PrepareFileNames();
    items_->MakeFileNamesUnique();
    items_->audioPicturePath = job_.audioPicture;
    items_->PrepareThumbNames();
    items_->MakeThumbNamesUnique();
    if (readOnly) {
        test::WriteWholeFile(out_ / "Data" / "x.jpg", "old");
        QVERIFY(SetReadOnly((out_ / "Data" / "x.jpg").string()));
    }
}

// Three items, the first read-only in Data and answered No: asked and told through the service, left
// out, its step still counted, so the bar ends full; the modal result is 1.
void ProgressWindowTest::writtenRunAsksThroughTheService() {
    Prepare({"x.bmp", "a.jpg", "c.jpg"}, true);
    HookedMessages* messages = nullptr;
    auto window = Window(messages);
    messages->answers = {false};
    auto* bar = window->findChild<QProgressBar*>("c1079");
    QCOMPARE(bar->maximum(), 30);

    const test::Watchdog watchdog(60s, "a written run");
    QCOMPARE(window->Run(), RunWritten);
    QCOMPARE(bar->value(), 30);
    QCOMPARE(window->findChild<QLabel*>("c1078")->text(), QString("3 of 3 images is being processed..."));
    // The texts are the run's test; here they reach the service from the window's thread, in order.
    QCOMPARE(messages->log.size(), std::size_t{2});
    QVERIFY(messages->log[0].starts_with("ask ") && messages->log[1].starts_with("inform "));
    QCOMPARE(test::ReadWholeFile(out_ / "Data" / "x.jpg"), std::string("old"));
    QVERIFY(window->failureLine().empty());
}

// While the question is on screen the user presses Stop (twice), Esc, or closes the window: the status
// line says "Finishing..." and keeps it, the window stays until the run ends, with result 2.
void ProgressWindowTest::stopEscAndClose() {
    const std::vector<std::pair<const char*, std::function<void(ProgressWindow&)>>> ways = {
        {"Stop twice",
         [](ProgressWindow& window) {
             auto* stop = window.findChild<QPushButton*>("c1016");
             QTest::mouseClick(stop, Qt::LeftButton);
             QTest::mouseClick(stop, Qt::LeftButton);
         }},
        {"Esc", [](ProgressWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); }},
        {"close", [](ProgressWindow& window) { window.close(); }},
    };
    for (const auto& [name, stop] : ways) {
        Prepare({"x.bmp", "a.jpg", "c.jpg"}, true);
        HookedMessages* messages = nullptr;
        auto window = Window(messages);
        bool stillShown = false;
        messages->onAsk = [&, &stop = stop] {
            stop(*window);
            stillShown = window->isVisible();
        };
        const test::Watchdog watchdog(60s, name);
        QCOMPARE(window->Run(), RunStopped);
        QVERIFY2(stillShown, name);
        QCOMPARE(window->findChild<QLabel*>("c1078")->text(), QString("Finishing..."));
        QCOMPARE(messages->log.size(), std::size_t{1});
        // Stopped at the check after the replaced Data copy: no thumbnail was made.
        QVERIFY2(fs::is_empty(out_ / "Thumb"), name);
        fs::remove_all(out_);
    }
}

// 7,000 items make a range of 70,000, which a 16-bit range would cut to 4,464. Files that do not exist
// fail the run at the first item, after its step.
void ProgressWindowTest::barRangeIsNotCutTo16Bits() {
    Prepare({"a.jpg"}, false);
    std::vector<MediaItem> many(7000, items_->items().front());
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i].path = Source("gone" + std::to_string(i) + ".jpg");
    const ProgressRequest base = Request();
    const ProgressRequest request{many, job_, base.dataPath, base.thumbPath, 0, base.workFolder};
    ProgressWindow window(request, loader_.library());
    window.SetMessageService(std::make_unique<test::ScriptedMessages>());
    auto* bar = window.findChild<QProgressBar*>("c1079");
    QCOMPARE(bar->maximum(), 70000);
    const test::Watchdog watchdog(60s, "a run over 7,000 missing files");
    QCOMPARE(window.Run(), RunFailed);
    QCOMPARE(bar->value(), 10);
    QVERIFY(window.failureLine().find("gone0.jpg") != std::string::npos);
}

// The owner destroys the window while the run waits for an answer the window has not shown yet (its
// event loop is busy elsewhere): the question answers No, nothing is shown, the destructor returns.
void ProgressWindowTest::destroyedWithAQuestionPending() {
    Prepare({"x.bmp", "a.jpg", "c.jpg"}, true);
    HookedMessages* messages = nullptr;
    auto window = Window(messages);
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

} // namespace aw

QTEST_MAIN(aw::ProgressWindowTest)
#include "tst_progresswindow.moc"
