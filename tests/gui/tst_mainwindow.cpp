// SPDX-License-Identifier: MIT
// The main window: start-up, enabling rules, focus, menus, pickers and the way it ends.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

#include "album/imaginglibraryloader.h"
#include "app/ui/qttranslations.h"
#include "companion/pickcompanion.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/mainwindow.h"
#include "mainwindow/ui/pagestylechooser.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "platform/handoverchannel.h"
#include "platform/profilestore.h"
#include "stringtable.h"
#include "support/failingthreadstarts.h"
#include "support/fixtures.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

namespace {

using Strings = std::vector<std::string>;

Strings Std(const QStringList& list) {
    Strings out;
    for (const QString& text : list)
        out.push_back(text.toStdString());
    return out;
}

std::string Colours(const ColourSwatch* preview, const ColourSwatch* swatch) {
    return CreateWorkflow::ColourText(preview->foreground()) +
           CreateWorkflow::ColourText(preview->background()) +
           CreateWorkflow::ColourText(swatch->foreground());
}

template <class Control> Control* Get(MainWindow& window, int id) {
    return static_cast<Control*>(window.control(id));
}
void Click(MainWindow& window, int id) {
    Get<QAbstractButton>(window, id)->click();
}
void Drop(MainWindow& window, const std::filesystem::path& file) {
    Get<DropPane>(window, 1012)->AcceptDroppedFiles({file.string()});
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // A window on a settings file of its own, boxes answered by `messages`.
    std::unique_ptr<MainWindow> MakeWindow(std::string startupFile = {}, std::string settings = "settings") {
        MainWindowSeams seams;
        seams.messages = &messages_;
        seams.startupMessages = &startupMessages_;
        seams.settingsFile = (scratch_->path() / settings).string();
        seams.programFolder = test::BinDir().string() + "/";
        seams.pickFolder = [this](QWidget*) { return pick_; };
        seams.help = &help_;
        seams.openPage = [this](const std::string& page) { return openPage_(page); };
        return std::make_unique<MainWindow>(loader_.library(), std::move(startupFile), nullptr,
                                            std::move(seams));
    }
    std::unique_ptr<MainWindow> Started(const std::string& startupFile = "/nowhere/a.jpg") {
        auto window = MakeWindow(startupFile);
        if (window->Initialise() != 0)
            qFatal("the window refused to start");
        return window;
    }

    std::optional<ProfileStore::Value> Stored(const std::string& name) const {
        return ProfileStore((scratch_->path() / "settings").string())
            .Read("Software/Quorvel/Page Binder/ENV", name);
    }
    static ThumbnailList* List(MainWindow& window) { return Get<ThumbnailList>(window, 1014); }
    static QString Status(MainWindow& window) { return Get<QStatusBar>(window, 1077)->currentMessage(); }

    ImagingLibraryLoader loader_;
    test::ScriptedMessages messages_;
    test::ScriptedMessages startupMessages_;
    FolderPick pick_;
    test::RecordingHelp help_;
    std::function<bool(const std::string&)> openPage_;
    std::unique_ptr<test::ScratchDir> scratch_;
    test::ScratchDir runtime_; // the hand-over socket's folder, this test's only

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().c_str());
        QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
    }

    void init() {
        scratch_ = std::make_unique<test::ScratchDir>();
        messages_ = {};
        startupMessages_ = {};
        pick_ = {};
        help_ = {};
        openPage_ = [](const std::string&) { return true; };
    }

    // The window lists the companion's files with their folder; without one it takes the command-line
    // file (as every other test here starts), or refuses, without waiting.
    void mainWindowStartsFromTheCompanion() {
        using namespace std::chrono_literals;
        const QStringList three{"/home/u/P/a.jpg", "/home/u/P/b.avi", "/home/u/P/c.mp3"}, none;
        const struct {
            QStringList companionFiles; // empty: no companion
            QString startupFile;
            int result;
            QStringList paths;
            QString folder;
            int box; // the start-up box, 0 for none
        } cases[] = {
            {three, "/x/ignored.jpg", 0, three, "/home/u/P", 0},
            {none, "", 2, none, "", 446},
        };
        for (const auto& c : cases) {
            startupMessages_ = {};
            std::thread companion;
            int handedOver = -1;
            if (!c.companionFiles.isEmpty())
                companion = std::thread([&, files = Std(c.companionFiles)] {
                    PickCompanion pick(files, "/");
                    handedOver = pick.Run(HandOverChannel::DefaultSocketPath(),
                                          {[](std::string&) { return true; }, [] { return false; }}, 5s);
                });
            // The companion listens before it starts the window; here the window waits for the socket.
            const QString socket = QString::fromStdString(HandOverChannel::DefaultSocketPath());
            QTRY_VERIFY(c.companionFiles.isEmpty() || QFile::exists(socket));
            auto window = MakeWindow(c.startupFile.toStdString());
            QCOMPARE(window->Initialise(), c.result);
            if (companion.joinable()) {
                companion.join();
                QCOMPARE(handedOver, 0);
            }
            Strings paths;
            for (const MediaItem& item : List(*window)->items().items())
                paths.push_back(item.path);
            QCOMPARE(paths, Std(c.paths));
            QCOMPARE(Get<QLineEdit>(*window, 1000)->text(), c.folder);
            QCOMPARE(startupMessages_.log,
                     c.box ? Strings{"inform " + LoadText(411) + ": " + LoadText(c.box)} : Strings{});
        }
    }

    // Every control is there under its id; only the edits, check boxes and list take focus, in table order.
    void controlsExistAndTakeFocusInTableOrder() {
        auto window = MakeWindow();
        std::vector<ControlSpec> controls = MainWindowControls();
        controls.push_back(kStatusBarSpec);
        for (const ControlSpec& spec : controls) {
            QWidget* widget = window->control(spec.id);
            QVERIFY2(widget && widget->property("controlId").toInt() == spec.id,
                     qPrintable(QString::number(spec.id)));
        }
        window->show();
        QWidget* first = window->control(1000);
        QList<int> chain;
        QWidget* widget = first;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                chain << widget->property("controlId").toInt();
            widget = widget->nextInFocusChain();
        } while (widget != first);
        QCOMPARE(chain, (QList<int>{1000, 1004, 1005, 1006, 1014}));
    }

    // Enter and Esc close nothing; the Help button, the menu, F1 and Alt+H (at every press, in both
    // languages) open topic 2000; Qt's own buttons speak the window's language.
    void keysCloseNothingAndHelpOpensTopic2000InBothLanguages() {
        for (const Language language : {Language::English, Language::Japanese}) {
            SetLanguage(language);
            init();
            QVERIFY(LoadQtTranslations(*qApp));
            auto window = Started();
            window->show();
            QApplication::setActiveWindow(window.get());
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            for (int id : {1000, 1004, 1014})
                for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                    QTest::keyClick(window->control(id), key);
            QVERIFY(window->isVisible());
            Click(*window, 1083);
            window->menuBar()->actions().at(1)->trigger();
            QTest::keyClick(window->control(1004), Qt::Key_F1);
            for (std::size_t press = 4; press <= 6; ++press) {
                QTest::keyClick(window->control(1004), Qt::Key_H, Qt::AltModifier);
                QTRY_COMPARE(help_.contexts, std::vector<int>(press, 2000)); // the button clicks after a beat
            }
            const QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box.button(QMessageBox::Yes)->text() == "&Yes", language == Language::English);
            const std::unique_ptr<QTranslator> loaded(qApp->findChild<QTranslator*>()); // removed as it goes
        }
        SetLanguage(Language::English);
    }

    // The Close button saves both settings, the window's own close neither.
    void closeSavesBothSettingsTheWindowsOwnCloseNeither() {
        for (const bool useCloseButton : {true, false}) {
            init();
            auto window = MakeWindow("/nowhere/a.jpg");
            QTimer::singleShot(0, window.get(), [&] {
                // The start wrote ISEMBED 0; the context menu makes it 1 in memory only.
                window->MakeContextMenu()->actions().constFirst()->trigger();
                useCloseButton ? Click(*window, 1003) : void(window->close());
            });
            QCOMPARE(window->Run(), useCloseButton ? 1 : 2);
            QCOMPARE(Stored("ISEMBED")->number, useCloseButton ? 1 : 0);
            QCOMPARE(Stored("TempPath").has_value(), useCloseButton);
            if (useCloseButton)
                QCOMPARE(Stored("TempPath")->text, window->settings().workFolder);
        }
    }

    void browseFillsTheFolderOrWarnsAboutAPlaceWithoutPath() {
        auto window = MakeWindow();
        auto* folder = Get<QLineEdit>(*window, 1000);
        folder->setText("/before");
        const std::pair<FolderPick, const char*> picks[] = {
            {{}, "/before"}, {{true, ""}, "/before"}, {{true, "/media/album"}, "/media/album"}};
        for (const auto& [pick, shown] : picks) {
            pick_ = pick;
            Click(*window, 1001);
            QCOMPARE(folder->text(), QString(shown));
        }
        QCOMPARE(messages_.log, (Strings{"inform " + LoadText(438) + ": " + LoadText(443)}));
    }

    // The folder's text and the Delete button reach the list (whose rule is the controller's test); a
    // preview that cannot have a thread is told as a failed one.
    void folderDeleteAndShowThumbnailReachTheList() {
        QVERIFY(test::MakeBitmap(scratch_->path() / "pic.bmp", 320, 240));
        auto window = Started((scratch_->path() / "pic.bmp").string());
        auto* folder = Get<QLineEdit>(*window, 1000);
        auto* showThumbnail = Get<QCheckBox>(*window, 1005);
        auto* pane = Get<DropPane>(*window, 1012);
        for (const auto& [text, enabled] : {std::pair("", false), std::pair("/album", true)}) {
            folder->setText(text);
            QCOMPARE(window->control(1002)->isEnabled(), enabled);
        }

        showThumbnail->setChecked(true);
        QCOMPARE(Status(*window), QString("pic.bmp") + QString::fromStdString(LoadText(437)));
        QTRY_COMPARE(Status(*window), QString("pic.bmp"));
        showThumbnail->setChecked(false);
        pane->SetPreviewPreparer({}); // the running worker goes, a new one must start
        {
            const test::FailingThreadStarts failing;
            showThumbnail->setChecked(true);
        }
        QTRY_COMPARE(messages_.log, (Strings{"inform " + LoadText(438) + ": " + LoadText(424)}));

        Click(*window, 1021);
        QCOMPARE(List(*window)->LineCount(), 0);
        QVERIFY(!window->control(1002)->isEnabled());
    }

    // A background picture greys the background colour button and releases the solid colour; arrangement 4
    // greys and unticks Embed playback but keeps the choice.
    void choicesGreyWhatTheyMakeUseless() {
        auto window = Started();
        auto* solid = Get<ColourButton>(*window, 1027);
        for (const auto& [id, index, solidState] : {std::tuple(1029, 2, 0), std::tuple(1027, 0, 1)}) {
            Click(*window, id);
            QCOMPARE(window->pageStyle().backgroundIndex(), index);
            QCOMPARE(window->control(1025)->isEnabled(), index == 0);
            QCOMPARE(solid->state(), solidState);
        }
        window->MakeContextMenu()->actions().constFirst()->trigger();
        Click(*window, 1035);
        const std::unique_ptr<QMenu> menu = window->MakeContextMenu();
        QVERIFY(!menu->actions().constFirst()->isEnabled() && !menu->actions().constFirst()->isChecked());
        QCOMPARE(window->embedPlayback(), 1);
    }

    // The pickers show their colours live; only OK keeps the pick, for Create and the colour button.
    void pickersPreviewLiveAndOnlyOkKeepsThePick() {
        for (const auto& [button, ok] :
             {std::pair(1024, false), std::pair(1025, false), std::pair(1025, true)}) {
            auto window = MakeWindow();
            window->show();
            auto* preview = Get<ColourSwatch>(*window, 1023);
            auto* swatch = Get<ColourSwatch>(*window, 1022);
            const std::string before = Colours(preview, swatch);
            std::string tried;
            QTimer::singleShot(0, window.get(), [&, ok = ok] {
                auto* picker = qobject_cast<ColourPicker*>(QApplication::activeModalWidget());
                QVERIFY(picker);
                // The last cell, then the second.
                QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(203, 134));
                QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(43, 20));
                tried = Colours(preview, swatch);
                ok ? picker->accept() : picker->reject();
            });
            Click(*window, button);
            QVERIFY(tried != before);
            QCOMPARE(Colours(preview, swatch), ok ? tried : before);
            const PageStyleChooser& style = window->pageStyle();
            QCOMPARE(CreateWorkflow::ColourText(style.fontColour()), std::string("#000000"));
            const std::string background = CreateWorkflow::ColourText(style.backgroundColour());
            QCOMPARE(background != "#ffffff", ok);
            QCOMPARE(style.backgroundCell(), ok ? 1 : 39);
            QCOMPARE(CreateWorkflow::ColourText(Get<ColourButton>(*window, 1027)->fillColour()), background);
        }
    }

    void createMakesTheAlbumAndEndsTheWindow() {
        QVERIFY(test::MakeJpeg(scratch_->path() / "pic.jpg", 320, 240));
        QVERIFY(test::MakeBitmap(scratch_->path() / "b.bmp", 64, 48));
        auto window = MakeWindow((scratch_->path() / "pic.jpg").string());
        const std::filesystem::path out = scratch_->path() / "album";
        std::filesystem::create_directory(out);
        Strings opened;
        openPage_ = [&](const std::string& page) {
            opened.push_back(page);
            return true;
        };
        QTimer::singleShot(0, window.get(), [&] {
            Drop(*window, scratch_->path() / "b.bmp");
            Get<QLineEdit>(*window, 1000)->setText(QString::fromStdString(out.string()));
            Get<QLineEdit>(*window, 1004)->setText("Holiday");
            Click(*window, 1030);
            Get<QCheckBox>(*window, 1006)->setChecked(true);
            Click(*window, 1002);
        });
        QCOMPARE(window->Run(), 1);

        const std::string page = test::ReadWholeFile(out / "Index.html");
        QVERIFY(page.find("Holiday") != std::string::npos && page.find("natural.jpg") != std::string::npos);
        for (const char* made : {"Data/pic.jpg", "Data/b.jpg", "Thumb"})
            QVERIFY2(std::filesystem::exists(out / made), made);
        // The existing folder was asked about (and answered Yes) in a box of the main window.
        QCOMPARE(messages_.log,
                 (Strings{"ask " + LoadText(431) + ": " + LoadText(430),
                          "inform " + LoadText(421) + ": " + FormatText(LoadText(407), {out.string()})}));
        QCOMPARE(opened, (Strings{(out / "Index.html").string()}));
        QCOMPARE(Stored("TempPath")->text, window->settings().workFolder); // a run saves both settings
    }

    // With AW_SCREENSHOT=<file.png> (under a display, e.g. xvfb-run): the window with a few items.
    void screenshot() {
        const QByteArray file = qgetenv("AW_SCREENSHOT");
        if (file.isEmpty())
            QSKIP("AW_SCREENSHOT not set");
        QVERIFY(test::MakeJpeg(scratch_->path() / "harbour.jpg", 640, 480, "", "plasma:fractal"));
        QVERIFY(test::MakeBitmap(scratch_->path() / "sunset.bmp", 480, 640, "BMP3", "",
                                 "gradient:orange-purple"));
        QVERIFY(test::MakeMovie(scratch_->path() / "waves.avi", 160, 120));
        test::WriteWholeFile(scratch_->path() / "birdsong.wav", "RIFF");
        // A name longer than the list is wide, and a Japanese one.
        const char* const copies[] = {"Harbour at dawn with the fishing boats coming home (edited).jpg",
                                      "\u590f\u306e\u6d77\u8fba.jpg"};
        for (const char* copy : copies)
            std::filesystem::copy_file(scratch_->path() / "harbour.jpg", scratch_->path() / copy);
        auto window = Started((scratch_->path() / "harbour.jpg").string());
        for (const char* name : {"sunset.bmp", "waves.avi", "birdsong.wav", copies[0], copies[1]})
            Drop(*window, scratch_->path() / name);
        Get<QLineEdit>(*window, 1004)->setText("Summer by the sea");
        Get<QCheckBox>(*window, 1005)->setChecked(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(!Get<DropPane>(*window, 1012)->isPreparing());
        QTest::qWait(200);
        QVERIFY(window->grab().save(QString::fromLocal8Bit(file)));
    }

    // A settings file that cannot be written (below a plain file), a folder at its path, or one too large
    // to read whole: one box naming it, then a window on the defaults that saves nothing, even on Close.
    void unusableSettingsFileWarnsOnceAndRunsOnDefaults() {
        for (const std::string name : {"file/settings", "folder", "large"}) {
            init();
            test::WriteWholeFile(scratch_->path() / "file", "x");
            std::filesystem::create_directory(scratch_->path() / "folder");
            const std::string large(5 << 20, '#');
            test::WriteWholeFile(scratch_->path() / "large", large);
            auto window = MakeWindow("/nowhere/a.jpg", name);
            QTimer::singleShot(0, window.get(), [&] { Click(*window, 1003); });
            QCOMPARE(window->Run(), 1);
            const std::string path = (scratch_->path() / name).string();
            QCOMPARE(startupMessages_.log, (Strings{"inform " + LoadText(438) + ": " + LoadText(436) + "\n" +
                                                    FormatText(LoadText(3302), {path})}));
            QVERIFY2(messages_.log.empty(), name.c_str());
            QVERIFY(window->settings().Arrangement(3) &&
                    window->settings().Arrangement(3)->ends_with("form4.dat"));
            QVERIFY(!window->settings().workFolder.empty());
            QCOMPARE(test::ReadWholeFile(scratch_->path() / "large") == large, true);
        }
    }
};

} // namespace aw

QTEST_MAIN(aw::MainWindowTest)
#include "tst_mainwindow.moc"
