// SPDX-License-Identifier: MIT
// The secondary windows: colour picker, message boxes, about box, help link and work folder option.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/colourgrid.h"
#include "dialogs/systeminfo.h"
#include "dialogs/ui/aboutbox.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/desktophelpopener.h"
#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/messageboxservice.h"
#include "dialogs/ui/workfolderdialog.h"
#include "stringtable.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

namespace {

using Strings = std::vector<std::string>;
const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};

Rgb Entry(int cell) {
    const GridColour c = ColourGrid::Colour(cell);
    return {c.red, c.green, c.blue};
}
bool Same(Rgb a, Rgb b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Runs `picker` modally, clicks at `at`, then ends it with `end`.
int RunWith(ColourPicker& picker, QPoint at, std::function<void()> end) {
    QTimer::singleShot(0, &picker, [&picker, at, end] {
        QTest::mouseClick(&picker, Qt::LeftButton, Qt::NoModifier, at);
        end();
    });
    return picker.Run();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    test::ScriptedMessages messages_;
    test::RecordingHelp help_;
    // The main window's font swatch and preview, which the picker changes while it is open.
    ColourSwatch preview_{ColourSwatch::kPreviewId, nullptr};
    ColourSwatch swatch_{ColourSwatch::kFontSwatchId, nullptr};

    static void Press(WorkFolderDialog& dialog, int id) {
        dialog.findChild<QPushButton*>(QStringLiteral("c%1").arg(id))->click();
    }

    // Answers the next box with `button` once it is shown, after checking what it shows.
    void AnswerNextBox(QMessageBox::StandardButton button, QMessageBox::Icon icon, const QString& text,
                       QMessageBox::StandardButton defaultButton) {
        QTimer::singleShot(0, this, [=] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->icon(), icon);
            QCOMPARE(box->text(), text);
            QCOMPARE(box->windowTitle(), QString("Caption"));
            if (defaultButton != QMessageBox::NoButton)
                QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(defaultButton));
            box->button(button)->click();
        });
    }

private slots:
    void init() {
        SetLanguage(Language::English);
        messages_ = {};
        help_ = {};
        for (ColourSwatch* s : {&preview_, &swatch_}) {
            s->SetForeground(kRed);
            s->SetBackground(kWhite);
        }
        preview_.SetBackgroundPicture(139);
    }

    // Clicks in the gaps and around the grid (the cells' own corners are the grid's unit test) change the
    // swatches at once; font mode leaves the background alone.
    void clicksChangeSwatchAndLetterAtOnce() {
        for (const auto& [at, cell] : {std::pair(QPoint(42, 20), 0), std::pair(QPoint(43, 20), 1),
                                       std::pair(QPoint(19, 50), -1), std::pair(QPoint(100, 135), -1)}) {
            init();
            ColourPicker picker(1, kRed, kWhite, 16, 39, &preview_, &swatch_);
            picker.show(); // clicked as a user would: through the cells' own widgets to the window
            QVERIFY(QTest::qWaitForWindowExposed(&picker));
            QTest::mouseClick(picker.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            QCOMPARE(picker.currentCell(), cell < 0 ? 16 : cell);
            for (ColourSwatch* cellSwatch :
                 picker.findChildren<ColourSwatch*>()) // one outline, the current cell
                QCOMPARE(cellSwatch->outlined(), cellSwatch->controlId() == 1037 + picker.currentCell());
            const Rgb expected = cell < 0 ? kRed : Entry(cell);
            QVERIFY(Same(swatch_.foreground(), expected) && Same(preview_.foreground(), expected));
            QCOMPARE(preview_.backgroundPicture(), 139);
        }
    }

    // OK and Enter hand back the pick of the picker's mode; Cancel, Esc and the close box hand back nothing.
    void endings() {
        enum How { Ok, Enter, Cancel, Esc, CloseBox };
        const struct {
            int mode;
            How how;
            int fontCell, backgroundCell;
        } cases[] = {
            {1, Ok, 1, 39}, {0, Enter, 16, 1}, {1, Cancel, 16, 39}, {1, Esc, 16, 39}, {0, CloseBox, 16, 39}};
        for (const auto& c : cases) {
            init();
            ColourPicker picker(c.mode, kRed, kWhite, 16, 39, &preview_, c.mode == 1 ? &swatch_ : nullptr);
            const int result = RunWith(picker, {43, 20}, [&] {
                if (c.how == Ok || c.how == Cancel)
                    picker.findChild<QPushButton*>(c.how == Ok ? "c1" : "c2")->click();
                else if (c.how == CloseBox)
                    picker.close();
                else
                    QTest::keyClick(&picker, c.how == Enter ? Qt::Key_Return : Qt::Key_Escape);
            });
            QCOMPARE(result, c.how <= Enter ? 1 : 2);
            QCOMPARE(picker.fontCell(), c.fontCell);
            QCOMPARE(picker.backgroundCell(), c.backgroundCell);
            QVERIFY(Same(picker.fontColour(), c.fontCell == 16 ? kRed : Entry(c.fontCell)));
            QVERIFY(
                Same(picker.backgroundColour(), c.backgroundCell == 39 ? kWhite : Entry(c.backgroundCell)));
        }
    }

    // Each refusal is one message, and the browser opens again at the folder shown before Browse.
    void browseRefusesFoldersOffFixedFileSystems() {
        const std::pair<QStringList, std::string> cases[] = {
            {{}, "/srv/old"},
            {{"/srv/new/"}, "/srv/new"}, // closing slash dropped
            {{"/media/stick", "/media/cd", "/srv/new"}, "/srv/new"}};
        for (auto [picks, folder] : cases) {
            init();
            WorkFolderDialog dialog("/srv/old", messages_, help_);
            QVERIFY(dialog.findChild<QLineEdit*>("c1088")->isReadOnly());
            Strings openings;
            dialog.SetFolderPicker([&](QWidget*, const std::string& title, const std::string& start) {
                openings.push_back(title + " @ " + start);
                return picks.isEmpty() ? std::string() : picks.takeFirst().toStdString();
            });
            dialog.SetFixedTest([](const std::string& path) { return path.rfind("/media/", 0) != 0; });
            Press(dialog, 1089);
            QCOMPARE(dialog.folder(), folder);
            QCOMPARE(dialog.freeSpaceLine(), SystemInfo().FreeSpaceLine(folder));
            QCOMPARE(messages_.log,
                     Strings(openings.size() - 1, "inform Error: Only a fixed drive can be selected."));
            QCOMPARE(openings, Strings(openings.size(), "Select the work folder. @ /srv/old"));
        }
        WorkFolderDialog dialog("/srv/old", messages_, help_); // Default: the system's temporary folder
        qputenv("TMPDIR", "/var/tmp/");
        Press(dialog, 1092);
        qunsetenv("TMPDIR");
        QCOMPARE(dialog.folder(), std::string("/var/tmp"));
    }

    // OK and Enter end with 1, Esc with 2; F1 opens topic 2000 from wherever the focus is.
    void okEnterEscAndHelp() {
        for (const auto& [key, result] :
             {std::pair(Qt::Key_unknown, 1), std::pair(Qt::Key_Return, 1), std::pair(Qt::Key_Escape, 2)}) {
            init();
            WorkFolderDialog dialog("/srv/old", messages_, help_);
            QTimer::singleShot(0, &dialog, [&, key = key] {
                QWidget* focus = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
                QTest::keyClick(focus, Qt::Key_F1);
                key == Qt::Key_unknown ? Press(dialog, 1) : QTest::keyClick(focus, key);
            });
            QCOMPARE(dialog.Run(), result);
            QCOMPARE(help_.contexts, std::vector<int>{2000});
        }
    }

    void questionsAndMessages() {
        MessageBoxService boxes;
        AnswerNextBox(QMessageBox::No, QMessageBox::Question, "Go on?", QMessageBox::Yes);
        QVERIFY(!boxes.AskYesNo("Go on?", "Caption", MessageIcon::Question, DefaultButton::Yes));
        AnswerNextBox(QMessageBox::Yes, QMessageBox::Warning, "Sure?", QMessageBox::No);
        QVERIFY(boxes.AskYesNo("Sure?", "Caption", MessageIcon::Exclamation, DefaultButton::No));
        AnswerNextBox(QMessageBox::Ok, QMessageBox::Critical, "Failed", QMessageBox::NoButton);
        boxes.Inform("Failed", "Caption", MessageIcon::Stop);
    }

    // A box listing 2,000 names, or one endless line, fits the screen; the whole text is in its details.
    void boxesFitTheScreen() {
        QString names;
        for (int i = 0; i < 2000; ++i)
            names += QStringLiteral("\nBeach day %1.jpg").arg(i, 4, 10, QLatin1Char('0'));
        for (const QString& text : {LoadText(403).c_str() + names, QString(50000, QLatin1Char('x'))}) {
            QString details;
            int height = 0;
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                height = box->frameGeometry().height();
                details = box->detailedText();
                box->button(QMessageBox::Ok)->click();
            });
            MessageBoxService().Inform(text.toStdString(), "Caption", MessageIcon::Exclamation);
            QVERIFY2(height > 0 && height <= QGuiApplication::primaryScreen()->availableGeometry().height(),
                     qPrintable(QString::number(height)));
            QCOMPARE(details, text);
        }
    }

    // A help page that cannot be opened is named in a box instead of nothing happening.
    void missingHelpPageIsNamed() {
        test::ScriptedMessages boxes;
        QVERIFY(!DesktopHelpOpener(boxes).OpenHelp(9999));
        const std::string page = (test::BinDir() / "help" / "en" / "9999.html").string();
        QCOMPARE(boxes.log, (Strings{"inform " + LoadText(438) + ": " + FormatText(LoadText(3300), {page})}));
    }

    // The short version line unless Shift and Ctrl are both held; a file without a version reads as zeros.
    void versionLineFollowsShiftAndCtrl() {
        const QString full = "Albumwright  Version " + QString(ALBUMWRIGHT_VERSION_TEXT).replace('.', " . ");
        const QString brief = "Albumwright  Version 1.1";
        const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
        for (const auto& [held, line] : {std::pair(Qt::KeyboardModifiers(), brief),
                                         std::pair(Qt::KeyboardModifiers(Qt::ControlModifier), brief),
                                         std::pair(shiftCtrl | Qt::AltModifier, full)})
            QCOMPARE(AboutBox(held, nullptr).findChild<QLabel*>("c1017")->text(), line);
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "program", "no version here");
        QCOMPARE(AboutBox::VersionLine(shiftCtrl, (dir / "program").string()),
                 std::string("Albumwright  Version 0 . 0 . 0 . 0"));
    }

    void helpLinkOpensTheTopicAndStaysOpen() {
        help_.answer = false; // a missing book changes nothing for the window
        HelpLinkDialog dialog(LoadText(441), "Information", 2001, help_);
        QCOMPARE(dialog.findChild<QLabel*>("c1084")->text().toStdString(), LoadText(441));
        bool openAfterHelp = false;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.findChild<QPushButton*>("c1085")->click();
            dialog.findChild<QPushButton*>("c1085")->click();
            openAfterHelp = dialog.isVisible();
            dialog.findChild<QPushButton*>("c1")->click();
        });
        QCOMPARE(dialog.Run(), 1);
        QVERIFY(openAfterHelp);
        QCOMPARE(help_.contexts, (std::vector<int>{2001, 2001}));
    }
};

} // namespace aw

QTEST_MAIN(aw::DialogsTest)
#include "tst_dialogs.moc"
