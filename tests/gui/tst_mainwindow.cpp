// SPDX-License-Identifier: MIT
// The main window: focus, keys and help, what Close saves, what the choices grey, the ends it must survive.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>

#include "album/albumrecords.h"
#include "album/imaginglibraryloader.h"
#include "app/ui/qttranslations.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/mainwindow.h"
#include "mainwindow/ui/pagestylechooser.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "platform/profilestore.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

using Strings = std::vector<std::string>;

class MainWindowTest : public QObject {
    Q_OBJECT

    // A window on a settings file of its own, boxes answered by `messages_`.
    std::unique_ptr<MainWindow> MakeWindow(std::string startupFile = {}, std::string settings = "settings") {
        MainWindowSeams seams;
        seams.messages = &messages_;
        seams.startupMessages = &startupMessages_;
        seams.settingsFile = (scratch_->path() / settings).string();
        seams.programFolder = test::BinDir().string() + "/";
        seams.pickFolder = [this](QWidget*) { return pick_; };
        seams.help = &help_;
        seams.openPage = [](const std::string&) { return true; };
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
    template <class Control> static Control* Get(MainWindow& window, ControlId id) {
        return qobject_cast<Control*>(window.control(id));
    }
    static void Click(MainWindow& window, ControlId id) { Get<QAbstractButton>(window, id)->click(); }
    static std::string Inform(TextId caption, const std::string& text) {
        return "inform " + LoadText(caption) + ": " + text;
    }

    ImagingLibraryLoader loader_;
    test::ScriptedMessages messages_, startupMessages_;
    FolderPick pick_;
    test::RecordingHelp help_;
    std::unique_ptr<test::ScratchDir> scratch_;
    test::ScratchDir runtime_; // the hand-over socket's folder, this test's only

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().c_str());
        QCOMPARE(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded);
    }

    void init() {
        scratch_ = std::make_unique<test::ScratchDir>();
        messages_ = startupMessages_ = {};
        pick_ = {};
        help_ = {};
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
            for (ControlId id : {ControlId::OutputFolder, ControlId::PageTitle, ControlId::ItemList})
                for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                    QTest::keyClick(window->control(id), key);
            QVERIFY(window->isVisible());
            Click(*window, ControlId::Help);
            window->menuBar()->findChild<QAction*>("command32")->trigger();
            QTest::keyClick(window->control(ControlId::PageTitle), Qt::Key_F1);
            for (std::size_t press = 4; press <= 6; ++press) {
                QTest::keyClick(window->control(ControlId::PageTitle), Qt::Key_H, Qt::AltModifier);
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
                // The context menu makes the flag 1 in memory only.
                window->MakeContextMenu()->actions().constFirst()->trigger();
                useCloseButton ? Click(*window, ControlId::Close) : void(window->close());
            });
            QCOMPARE(window->Run(), useCloseButton ? 1 : 2);
            QCOMPARE(Stored("ISEMBED").value_or(ProfileStore::Value{}).number, useCloseButton ? 1 : 0);
            QCOMPARE(Stored("TempPath").has_value(), useCloseButton);
        }
    }

    // At the default size every control stands at its table rectangle; larger, the list, the pane and the
    // status bar grow and the rest moves with the edges; never smaller than the default.
    void resizingGrowsTheListAndNeverShrinksBelowTheTable() {
        auto window = Started();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const auto atTable = [&](int dx, int dy) {
            std::vector<ControlSpec> specs = MainWindowControls();
            specs.push_back(kStatusBarSpec);
            for (const ControlSpec& spec : specs) {
                const ControlSpec r = GrownRect(spec, dx, dy);
                if (window->control(spec.id)->geometry() !=
                    QRect(r.left, r.top, r.right - r.left, r.bottom - r.top))
                    return false;
            }
            return true;
        };
        QVERIFY(atTable(0, 0));
        const int menu = window->menuBar()->height();
        window->resize(1041, kClientHeight + menu + 200);
        QTRY_VERIFY(atTable(400, 200));
        QCOMPARE(window->control(ControlId::ItemList)->width(), 100 + 400 - 400 / 3);
        window->resize(300, 200);
        QTRY_COMPARE(window->size(), QSize(kClientWidth, kClientHeight + menu));
        QVERIFY(atTable(0, 0));
    }

    // Every remembered choice comes back at the next start, in the controls and in both menus.
    void restartRestoresEveryChoice() {
        {
            auto window = Started();
            Get<QLineEdit>(*window, ControlId::PageTitle)->setText("Summer");
            Get<QCheckBox>(*window, ControlId::OpenWhenDone)->setChecked(true);
            Click(*window, ControlId::Picture2);
            Click(*window, ControlId::Arrangement3);
            for (const char* name : {"playMovies", "includeOriginals", "removeLocation"})
                window->command(name)->trigger();
            window->resize(900, 650);
            Click(*window, ControlId::Close);
        }
        auto window = Started();
        QCOMPARE(Get<QLineEdit>(*window, ControlId::PageTitle)->text(), QString("Summer"));
        QVERIFY(Get<QCheckBox>(*window, ControlId::OpenWhenDone)->isChecked());
        QCOMPARE(window->pageStyle().backgroundIndex(), 2);
        QCOMPARE(window->pageStyle().arrangementIndex(), 2);
        for (const char* name : {"playMovies", "includeOriginals", "removeLocation"})
            QVERIFY2(window->command(name)->isChecked(), name);
        QVERIFY(window->MakeContextMenu()->actions().constFirst()->isChecked());
        QCOMPARE(window->size(), QSize(900, 650));
    }

    // The window makes every file and records the run with its choices, for an update or a reopening.
    void createRecordsTheAlbumWithItsChoices() {
        QVERIFY(test::MakeJpeg(scratch_->path() / "a.jpg", 64, 48));
        const std::string album = (scratch_->path() / "album").string();
        auto window = MakeWindow((scratch_->path() / "a.jpg").string());
        QTimer::singleShot(0, window.get(), [&] {
            Get<QLineEdit>(*window, ControlId::OutputFolder)->setText(QString::fromStdString(album));
            Get<QLineEdit>(*window, ControlId::PageTitle)->setText("Summer");
            Click(*window, ControlId::Create);
        });
        QCOMPARE(window->Run(), 1);
        const ManifestRead record = FindAlbumRecord(album, ALBUMWRIGHT_VERSION_TEXT).read;
        QCOMPARE(record.state, ManifestState::Read);
        QCOMPARE(record.header.choices.title, std::string("Summer"));
    }

    // Only OK keeps what a picker showed: in the preview and swatch, for Create and on the colour button.
    void onlyOkKeepsThePick() {
        for (const auto& [button, ok] :
             {std::pair(ControlId::FontColour, false), std::pair(ControlId::BackgroundColour, false),
              std::pair(ControlId::BackgroundColour, true)}) {
            auto window = MakeWindow();
            auto* preview = Get<ColourSwatch>(*window, ControlId::Preview);
            const auto shown = [&] {
                return CreateWorkflow::ColourText(preview->foreground()) +
                       CreateWorkflow::ColourText(preview->background()) +
                       CreateWorkflow::ColourText(
                           Get<ColourSwatch>(*window, ControlId::FontSwatch)->foreground());
            };
            const std::string before = shown();
            QTimer::singleShot(0, window.get(), [&, ok = ok] {
                auto* picker = qobject_cast<ColourPicker*>(QApplication::activeModalWidget());
                QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(43, 20)); // the second cell
                ok ? picker->accept() : picker->reject();
            });
            Click(*window, button);
            QCOMPARE(shown() == before, !ok);
            QCOMPARE(window->pageStyle().backgroundCell(), ok ? 1 : 39);
            QCOMPARE(Get<ColourButton>(*window, ControlId::SolidColour)->fillColour().red,
                     window->pageStyle().backgroundColour().red);
        }
    }

    // With AW_SCREENSHOT=<file.png> (under a display, e.g. xvfb-run): the window as a user has it, on a
    // folder of holiday pictures, enlarged once, several lines selected.
    void screenshot() {
        const QByteArray file = qgetenv("AW_SCREENSHOT");
        if (file.isEmpty())
            QSKIP("AW_SCREENSHOT not set");
        const std::filesystem::path summer = scratch_->path() / "Pictures/Summer";
        std::filesystem::create_directories(summer);
        QVERIFY(test::MakeJpeg(summer / "IMG_4321.jpg", 640, 480, "", "plasma:fractal"));
        QVERIFY(test::MakeBitmap(summer / "Sunset over the bay.bmp", 480, 640, "BMP3", "",
                                 "gradient:orange-purple"));
        QVERIFY(test::MakeMovie(summer / "Waves at the pier.avi", 160, 120));
        test::WriteWholeFile(summer / "Birdsong in the morning.wav", "RIFF");
        const char* const copies[] = {"DSC_0001.JPG",
                                      "Harbour at dawn with the fishing boats coming home (edited).jpg",
                                      "\u590f\u306e\u6d77\u8fba.jpg"};
        for (const char* copy : copies)
            std::filesystem::copy_file(summer / "IMG_4321.jpg", summer / copy);
        auto window = Started((summer / "IMG_4321.jpg").string());
        for (const char* name : {copies[0], copies[1], "Sunset over the bay.bmp", "Waves at the pier.avi",
                                 "Birdsong in the morning.wav", copies[2]})
            Get<DropPane>(*window, ControlId::DropPane)->AcceptDroppedFiles({(summer / name).string()});
        Get<QLineEdit>(*window, ControlId::OutputFolder)->setText("~/Pictures/Summer/Album");
        Get<QLineEdit>(*window, ControlId::PageTitle)->setText("Summer by the sea");
        Get<QCheckBox>(*window, ControlId::ShowThumbnail)->setChecked(true);
        window->show();
        window->resize(960, 620);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        ListController& list = Get<ThumbnailList>(*window, ControlId::ItemList)->controller();
        list.InputClick(4);
        list.InputClick(1, SelectMode::Toggle);
        list.InputClick(2, SelectMode::Toggle);
        QTRY_VERIFY(!Get<DropPane>(*window, ControlId::DropPane)->isPreparing());
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
            QTimer::singleShot(0, window.get(), [&] { Click(*window, ControlId::Close); });
            QCOMPARE(window->Run(), 1);
            const std::string path = (scratch_->path() / name).string();
            QCOMPARE(startupMessages_.log,
                     Strings{Inform(TextId::WarningCaption,
                                    LoadText(TextId::SettingsNotSaved) + "\n" +
                                        FormatText(LoadText(TextId::SettingsFileUnusable), {path}))});
            QVERIFY(messages_.log.empty()); // nor again at Close
            QVERIFY(window->session().settings().Arrangement(3)->ends_with("form4.dat"));
            QVERIFY(test::ReadWholeFile(scratch_->path() / "large") == large);
        }
    }
};

} // namespace aw

QTEST_MAIN(aw::MainWindowTest)
#include "tst_mainwindow.moc"
