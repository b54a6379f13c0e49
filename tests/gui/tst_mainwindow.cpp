// The main window against its control table, its enabling rules, its menus and the way it ends.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

#include "album/imaginglibraryloader.h"
#include "companion/pickcompanion.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/workfolderdialog.h"
#include "mainwindow/ui/bitmapbutton.h"
#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/mainwindow.h"
#include "mainwindow/ui/pagestylechooser.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "platform/handoverchannel.h"
#include "platform/profilestore.h"
#include "stringtable.h"
#include "support/fixtures.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

namespace {

using Strings = std::vector<std::string>;

// The widget class of each ControlKind, in the enum's order.
const char* const kClassOfKind[] = {"QGroupBox",        "QLineEdit",        "QCheckBox",
                                    "QPushButton",      "QFrame",           "QLabel",
                                    "QLabel",           "aw::DropPane",     "aw::ThumbnailList",
                                    "aw::BitmapButton", "aw::ColourButton", "aw::ColourSwatch"};

Strings Std(const QStringList& list) {
    Strings out;
    for (const QString& text : list)
        out.push_back(text.toStdString());
    return out;
}

// The colours the preview and the font swatch show, as one text.
std::string Colours(const ColourSwatch* preview, const ColourSwatch* swatch) {
    return CreateWorkflow::ColourText(preview->foreground()) +
           CreateWorkflow::ColourText(preview->background()) +
           CreateWorkflow::ColourText(swatch->foreground());
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

    std::optional<ProfileStore::Value> Stored(const std::string& name) const {
        return ProfileStore((scratch_->path() / "settings").string())
            .Read("Software/Quorvel/Page Binder/ENV", name);
    }

    static ThumbnailList* List(MainWindow& window) {
        return static_cast<ThumbnailList*>(window.control(1014));
    }
    static Strings Paths(const ItemList& items) {
        Strings paths;
        for (const MediaItem& item : items.items())
            paths.push_back(item.path);
        return paths;
    }
    static QString Status(MainWindow& window) {
        return static_cast<QStatusBar*>(window.control(1077))->currentMessage();
    }

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
        QCOMPARE(Paths(List(*window)->items()), Std(paths));
        QCOMPARE(static_cast<QLineEdit*>(window->control(1000))->text(), folder);
        QCOMPARE(startupMessages_.log,
                 box ? Strings{"inform " + LoadText(411) + ": " + LoadText(box)} : Strings{});
    }

    void controlsStandWhereTheTableSays() {
        auto window = MakeWindow();
        QCOMPARE(window->clientArea()->geometry(),
                 QRect(0, window->menuBar()->height(), kClientWidth, kClientHeight));
        QCOMPARE(window->size(), QSize(kClientWidth, kClientHeight + window->menuBar()->height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->windowTitle(), QString::fromStdString(LoadText(202)));

        std::vector<ControlSpec> controls = MainWindowControls();
        controls.push_back(kStatusBarSpec);
        const QObjectList children = window->clientArea()->children();
        qsizetype order = 0;
        for (const ControlSpec& spec : controls) {
            const QString id = QString::number(spec.id);
            QWidget* widget = window->clientArea()->findChild<QWidget*>("c" + id);
            QVERIFY2(widget && widget == window->control(spec.id), qPrintable(id));
            QCOMPARE(widget->property("controlId").toInt(), spec.id);
            const char* className = spec.id == kStatusBarId ? "QStatusBar" : kClassOfKind[int(spec.kind)];
            QVERIFY2(widget->inherits(className), qPrintable(id));
            QCOMPARE(widget->geometry(),
                     QRect(spec.left, spec.top, spec.right - spec.left, spec.bottom - spec.top));
            if (spec.captionId)
                QCOMPARE(widget->property(qobject_cast<QGroupBox*>(widget) ? "title" : "text").toString(),
                         QString::fromStdString(LoadText(spec.captionId)));
            // Created in the table's order.
            const qsizetype position = children.indexOf(widget);
            QVERIFY2(position >= order, qPrintable(id));
            order = position;
        }
    }

    void onlyEditsCheckBoxesAndTheListTakeFocusInTableOrder() {
        auto window = MakeWindow();
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

    void enterAndEscCloseNothing() {
        auto window = MakeWindow("/nowhere/a.jpg");
        QCOMPARE(window->Initialise(), 0);
        window->show();
        for (QWidget* target : {window->control(1000), window->control(1004), window->control(1014)}) {
            for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(target, static_cast<Qt::Key>(key));
                QVERIFY(window->isVisible());
            }
        }
    }

    void closeSavesBothSettingsTheWindowsOwnCloseNeither_data() {
        QTest::addColumn<bool>("useCloseButton");
        QTest::addColumn<int>("result");
        QTest::newRow("Close button") << true << 1;
        QTest::newRow("window close") << false << 2;
    }
    void closeSavesBothSettingsTheWindowsOwnCloseNeither() {
        QFETCH(bool, useCloseButton);
        QFETCH(int, result);
        auto window = MakeWindow("/nowhere/a.jpg");
        QTimer::singleShot(0, window.get(), [&] {
            // The start wrote ISEMBED 0; the context menu makes it 1 in memory only.
            std::unique_ptr<QMenu> menu = window->MakeContextMenu();
            menu->actions().constFirst()->trigger();
            if (useCloseButton)
                static_cast<QPushButton*>(window->control(1003))->click();
            else
                window->close();
        });
        QCOMPARE(window->Run(), result);
        QCOMPARE(Stored("ISEMBED")->number, useCloseButton ? 1 : 0);
        QCOMPARE(Stored("TempPath").has_value(), useCloseButton);
        if (useCloseButton)
            QCOMPARE(Stored("TempPath")->text, window->settings().workFolder);
    }

    void browseFillsTheFolderOrWarnsAboutAPlaceWithoutPath() {
        auto window = MakeWindow();
        auto* folder = static_cast<QLineEdit*>(window->control(1000));
        folder->setText("/before");
        const std::pair<FolderPick, const char*> picks[] = {
            {{}, "/before"}, {{true, ""}, "/before"}, {{true, "/media/album"}, "/media/album"}};
        for (const auto& [pick, shown] : picks) {
            pick_ = pick;
            static_cast<QPushButton*>(window->control(1001))->click();
            QCOMPARE(folder->text(), QString(shown));
        }
        QCOMPARE(messages_.log, (Strings{"inform " + LoadText(438) + ": " + LoadText(443)}));
    }

    void createFollowsTheFolderTextAndTheList() {
        auto window = MakeWindow((scratch_->path() / "pic.jpg").string());
        QCOMPARE(window->Initialise(), 0);
        auto* folder = static_cast<QLineEdit*>(window->control(1000));
        QWidget* create = window->control(1002);
        QVERIFY(create->isEnabled());
        folder->clear();
        QVERIFY(!create->isEnabled());
        folder->setText("/album");
        QVERIFY(create->isEnabled());
        // The last item deleted: an empty list is never made into an album, whatever the folder says.
        List(*window)->SelectLine(0);
        static_cast<QAbstractButton*>(window->control(1021))->click();
        QCOMPARE(List(*window)->LineCount(), 0);
        QVERIFY(!create->isEnabled());
        folder->setText("/album2");
        QVERIFY(!create->isEnabled());
        // Items dropped while a folder is there enable it again.
        static_cast<DropPane*>(window->control(1012))
            ->AcceptDroppedFiles({(scratch_->path() / "b.bmp").string()});
        QVERIFY(create->isEnabled());
    }

    void showThumbnailPreviewsTheSelectionOrClearsIt() {
        QVERIFY(test::MakeBitmap(scratch_->path() / "pic.bmp", 320, 240));
        test::WriteWholeFile(scratch_->path() / "broken.jpg", "not a picture");
        auto window = MakeWindow((scratch_->path() / "pic.bmp").string());
        QCOMPARE(window->Initialise(), 0);
        auto* pane = static_cast<DropPane*>(window->control(1012));
        auto* showThumbnail = static_cast<QCheckBox*>(window->control(1005));
        pane->AcceptDroppedFiles({(scratch_->path() / "broken.jpg").string()});
        // As a Create that did not finish leaves it: the item is named pic.jpg, its line still pic.bmp.
        // The line's own item is shown all the same.
        List(*window)->items().PrepareFileNames();

        List(*window)->SelectLine(0);
        showThumbnail->setChecked(true);
        QCOMPARE(Status(*window), QString("pic.bmp") + QString::fromStdString(LoadText(437)));
        QTRY_COMPARE(Status(*window), QString("pic.bmp"));
        QVERIFY(messages_.log.empty());

        showThumbnail->setChecked(false);
        QVERIFY(!pane->isPreparing());

        // Selected as a click would: the line becomes the list's current item.
        List(*window)->SelectLine(1);
        List(*window)->OnSelectionMaybeChanged();
        showThumbnail->setChecked(true);
        QTRY_COMPARE(messages_.log, (Strings{"inform " + LoadText(438) + ": " + LoadText(424)}));
        // The box leaves the check box ticked.
        QVERIFY(showThumbnail->isChecked());
    }

    void backgroundAndArrangementChoicesShowTheirState() {
        auto window = MakeWindow();
        const PageStyleChooser& style = window->pageStyle();
        auto* solid = static_cast<ColourButton*>(window->control(1027));
        auto* preview = static_cast<ColourSwatch*>(window->control(1023));
        auto faces = [&](int id) {
            auto* button = static_cast<BitmapButton*>(window->control(id));
            return std::pair(button->normalFace(), button->pressedFace());
        };
        // A fresh window: solid colour, arrangement 1.
        QCOMPARE(solid->state(), 1);
        QCOMPARE(faces(1032), std::pair(146, 145));

        static_cast<QAbstractButton*>(window->control(1029))->click();
        QCOMPARE(style.backgroundIndex(), 2);
        QVERIFY(!window->control(1025)->isEnabled());
        QCOMPARE(solid->state(), 0);
        QCOMPARE(preview->backgroundPicture(), 139);
        QCOMPARE(faces(1029), std::pair(140, 139));

        solid->click();
        QCOMPARE(style.backgroundIndex(), 0);
        QVERIFY(window->control(1025)->isEnabled());
        QCOMPARE(solid->state(), 1);
        QCOMPARE(preview->backgroundPicture(), -1);
        QCOMPARE(faces(1029), std::pair(139, 140));

        static_cast<QAbstractButton*>(window->control(1034))->click();
        QCOMPARE(style.arrangementIndex(), 2);
        QCOMPARE(faces(1034), std::pair(150, 149));
        QCOMPARE(faces(1032), std::pair(145, 146));
        QCOMPARE(style.backgroundIndex(), 0);
    }

    void contextMenuIsGreyedAndUntickedWithArrangement4() {
        auto window = MakeWindow("/nowhere/a.jpg");
        QCOMPARE(window->Initialise(), 0);
        QCOMPARE(window->embedPlayback(), 0);
        window->MakeContextMenu()->actions().constFirst()->trigger();
        QCOMPARE(window->embedPlayback(), 1);
        QVERIFY(window->MakeContextMenu()->actions().constFirst()->isChecked());

        static_cast<QAbstractButton*>(window->control(1035))->click();
        std::unique_ptr<QMenu> menu = window->MakeContextMenu();
        QVERIFY(!menu->actions().constFirst()->isEnabled());
        QVERIFY(!menu->actions().constFirst()->isChecked());
        QCOMPARE(window->embedPlayback(), 1);
    }

    void pickersPreviewLiveAndOnlyOkKeepsThePick_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("ok");
        QTest::newRow("font colour, Cancel") << 1024 << false;
        QTest::newRow("background colour, Cancel") << 1025 << false;
        QTest::newRow("background colour, OK") << 1025 << true;
    }
    void pickersPreviewLiveAndOnlyOkKeepsThePick() {
        QFETCH(int, button);
        QFETCH(bool, ok);
        auto window = MakeWindow();
        window->show();
        auto* preview = static_cast<ColourSwatch*>(window->control(1023));
        auto* swatch = static_cast<ColourSwatch*>(window->control(1022));
        const std::string before = Colours(preview, swatch);
        std::string tried;
        QTimer::singleShot(0, window.get(), [&] {
            auto* picker = qobject_cast<ColourPicker*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            // Two cells tried: (203, 134) is the last cell, (43, 20) the second.
            QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(203, 134));
            QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(43, 20));
            tried = Colours(preview, swatch);
            ok ? picker->accept() : picker->reject();
        });
        static_cast<QAbstractButton*>(window->control(button))->click();
        QVERIFY(tried != before);
        QCOMPARE(Colours(preview, swatch), ok ? tried : before);
        const PageStyleChooser& style = window->pageStyle();
        QCOMPARE(CreateWorkflow::ColourText(style.fontColour()), std::string("#000000"));
        // What Create gets and the colour button shows.
        const std::string background = CreateWorkflow::ColourText(style.backgroundColour());
        QCOMPARE(background != "#ffffff", ok);
        QCOMPARE(style.backgroundCell(), ok ? 1 : 39);
        QCOMPARE(CreateWorkflow::ColourText(static_cast<ColourButton*>(window->control(1027))->fillColour()),
                 background);
    }

    void helpOpensTopic2000FromButtonMenuAndF1() {
        auto window = MakeWindow();
        window->show();
        static_cast<QPushButton*>(window->control(1083))->click();
        window->menuBar()->actions().at(1)->trigger();
        QTest::keyClick(window->control(1004), Qt::Key_F1);
        QCOMPARE(help_.contexts, (std::vector<int>{2000, 2000, 2000}));
    }

    void optionShowsTheWorkFolderWithoutItsSlash() {
        auto window = MakeWindow("/nowhere/a.jpg");
        QCOMPARE(window->Initialise(), 0);
        const std::string before = window->settings().workFolder;
        std::string shown;
        QTimer::singleShot(0, window.get(), [&] {
            auto* option = qobject_cast<WorkFolderDialog*>(QApplication::activeModalWidget());
            QVERIFY(option);
            shown = option->folder();
            option->accept();
        });
        window->menuBar()->actions().at(0)->trigger();
        QCOMPARE(shown, before.substr(0, before.size() - 1));
        QVERIFY(!Stored("TempPath")); // kept in memory only until Close or a run
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
            static_cast<DropPane*>(window->control(1012))
                ->AcceptDroppedFiles({(scratch_->path() / "b.bmp").string()});
            static_cast<QLineEdit*>(window->control(1000))->setText(QString::fromStdString(out.string()));
            static_cast<QLineEdit*>(window->control(1004))->setText("Holiday");
            static_cast<QAbstractButton*>(window->control(1030))->click();
            static_cast<QCheckBox*>(window->control(1006))->setChecked(true);
            static_cast<QPushButton*>(window->control(1002))->click();
        });
        QCOMPARE(window->Run(), 1);

        const std::string page = test::ReadWholeFile(out / "Index.html");
        QVERIFY(page.find("Holiday") != std::string::npos);
        QVERIFY(page.find("natural.jpg") != std::string::npos);
        QVERIFY(std::filesystem::exists(out / "Data" / "pic.jpg"));
        QVERIFY(std::filesystem::exists(out / "Data" / "b.jpg"));
        QVERIFY(std::filesystem::exists(out / "Thumb"));
        // The existing folder was asked about (and answered Yes) in a box of the main window.
        QCOMPARE(messages_.log,
                 (Strings{"ask " + LoadText(431) + ": " + LoadText(430),
                          "inform " + LoadText(421) + ": " + FormatText(LoadText(407), {out.string()})}));
        QCOMPARE(opened, (Strings{(out / "Index.html").string()}));
        // A run that reached the progress window saves both settings.
        QCOMPARE(Stored("TempPath")->text, window->settings().workFolder);
    }

    // With AW_SCREENSHOT=<file.png> (run under a display, e.g. xvfb-run): the window with a few items
    // as a user sees it.
    void screenshot() {
        const QByteArray file = qgetenv("AW_SCREENSHOT");
        if (file.isEmpty())
            QSKIP("AW_SCREENSHOT not set");
        QVERIFY(test::MakeJpeg(scratch_->path() / "harbour.jpg", 640, 480, "", "plasma:fractal"));
        QVERIFY(test::MakeBitmap(scratch_->path() / "sunset.bmp", 480, 640, "BMP3", "",
                                 "gradient:orange-purple"));
        QVERIFY(test::MakeMovie(scratch_->path() / "waves.avi", 160, 120));
        test::WriteWholeFile(scratch_->path() / "birdsong.wav", "RIFF");
        auto window = MakeWindow((scratch_->path() / "harbour.jpg").string());
        QCOMPARE(window->Initialise(), 0);
        static_cast<DropPane*>(window->control(1012))
            ->AcceptDroppedFiles({(scratch_->path() / "sunset.bmp").string(),
                                  (scratch_->path() / "waves.avi").string(),
                                  (scratch_->path() / "birdsong.wav").string()});
        static_cast<QLineEdit*>(window->control(1004))->setText("Summer by the sea");
        static_cast<QCheckBox*>(window->control(1005))->setChecked(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(!static_cast<DropPane*>(window->control(1012))->isPreparing());
        QTest::qWait(200);
        QVERIFY(window->grab().save(QString::fromLocal8Bit(file)));
    }

    void unwritableSettingsEndTheStartSilently() {
        // A settings file below a plain file can never be written, whoever runs the test.
        test::WriteWholeFile(scratch_->path() / "file", "x");
        QCOMPARE(MakeWindow("/nowhere/a.jpg", "file/settings")->Run(), 2);
        QVERIFY(startupMessages_.log.empty());
        QVERIFY(messages_.log.empty());
    }
};

} // namespace aw

QTEST_MAIN(aw::MainWindowTest)
#include "tst_mainwindow.moc"
