// The secondary windows. The colour picker: clicks pick cells by position and show their colour at once in
// the caller's swatches; OK hands back the pick of the mode, Cancel, Esc and the close box hand back
// nothing; the swatch and the colour button show the picks. Message boxes carry the caption, text, icon and
// default button asked for; the about box shows the short version line unless Shift and Ctrl are both held as
// it opens; the help-link window opens the caller's topic and stays open. The work folder option: Browse
// refuses folders off fixed file systems with message 2013 and asks again, Default takes the system's
// temporary folder, OK and Cancel end with 1 and 2, F1 opens topic 2000.
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
#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/messageboxservice.h"
#include "dialogs/ui/workfolderdialog.h"
#include "stringtable.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

namespace {

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

    void clicksChangeSwatchAndLetterAtOnce_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("cell");
        // Cells' own corners are the grid's unit test; here the gaps and around the grid.
        QTest::newRow("gap right of cell 0") << QPoint(42, 20) << 0;
        QTest::newRow("cell 1") << QPoint(43, 20) << 1;
        QTest::newRow("left of the grid") << QPoint(19, 50) << -1;
        QTest::newRow("below the grid") << QPoint(100, 135) << -1;
    }
    void clicksChangeSwatchAndLetterAtOnce() {
        QFETCH(QPoint, at);
        QFETCH(int, cell);
        ColourPicker picker(1, kRed, kWhite, 16, 39, &preview_, &swatch_);
        picker.show(); // clicked as a user would: through the cells' own widgets to the window
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QTest::mouseClick(picker.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(picker.currentCell(), cell < 0 ? 16 : cell);
        for (ColourSwatch* cellSwatch :
             picker.findChildren<ColourSwatch*>()) // one outline, on the current cell
            QCOMPARE(cellSwatch->outlined(), cellSwatch->controlId() == 1037 + picker.currentCell());
        const Rgb expected = cell < 0 ? kRed : Entry(cell);
        QVERIFY(Same(swatch_.foreground(), expected));
        QVERIFY(Same(preview_.foreground(), expected));
        QCOMPARE(preview_.backgroundPicture(), 139); // font mode leaves the background alone
    }

    // OK hands back the pick of the picker's mode; Cancel, Esc and the close box hand back nothing.
    void endings_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("how"); // 0 OK, 1 Enter, 2 Cancel, 3 Esc, 4 close box
        QTest::addColumn<int>("fontCell");
        QTest::addColumn<int>("backgroundCell");
        QTest::newRow("font, OK") << 1 << 0 << 1 << 39;
        QTest::newRow("background, Enter") << 0 << 1 << 16 << 1;
        QTest::newRow("font, Cancel") << 1 << 2 << 16 << 39;
        QTest::newRow("font, Esc") << 1 << 3 << 16 << 39;
        QTest::newRow("background, close box") << 0 << 4 << 16 << 39;
    }
    void endings() {
        QFETCH(int, mode);
        QFETCH(int, how);
        QFETCH(int, fontCell);
        QFETCH(int, backgroundCell);
        ColourPicker picker(mode, kRed, kWhite, 16, 39, &preview_, mode == 1 ? &swatch_ : nullptr);
        const int result = RunWith(picker, {43, 20}, [&] {
            if (how == 0 || how == 2)
                picker.findChild<QPushButton*>(how == 0 ? "c1" : "c2")->click();
            else if (how == 4)
                picker.close();
            else
                QTest::keyClick(&picker, how == 1 ? Qt::Key_Return : Qt::Key_Escape);
        });
        QCOMPARE(result, how < 2 ? 1 : 2);
        QCOMPARE(picker.fontCell(), fontCell);
        QCOMPARE(picker.backgroundCell(), backgroundCell);
        QVERIFY(Same(picker.fontColour(), fontCell == 16 ? kRed : Entry(fontCell)));
        QVERIFY(Same(picker.backgroundColour(), backgroundCell == 39 ? kWhite : Entry(backgroundCell)));
    }

    // The preview paints the letter A over its colour or picture; a picture it cannot load leaves the colour.
    void previewDrawsTheLetterOverColourOrPicture() {
        preview_.resize(45, 33);
        // Client points lie at (x + 1, y + 1) inside the sunken edge.
        const auto at = [&](QPoint p) { return preview_.grab().toImage().pixelColor(p + QPoint(1, 1)); };
        const QPoint letter(21, 18), clear(22, 14); // on the crossbar; inside the A
        const QColor picture = QImage(":/bitmaps/bmp139.png").pixelColor(clear + QPoint(2, 2));
        for (const auto& [id, shown] :
             {std::pair(139, picture), std::pair(-1, QColor(Qt::white)), std::pair(999, QColor(Qt::white))}) {
            preview_.SetBackgroundPicture(id);
            QCOMPARE(at(letter), QColor(Qt::red));
            QCOMPARE(at(clear), shown);
        }
    }

    // The colour button is filled with its colour inside rings pressed in (state 1) or raised.
    void colourButtonStatesDifferOnlyInTheirRings() {
        ColourButton button(nullptr);
        button.resize(47, 61);
        button.SetFillColour({51, 102, 255});
        const QColor black(Qt::black), white(Qt::white);
        for (const auto& [state, left, right] : {std::tuple(1, black, white), std::tuple(0, white, black)}) {
            button.SetState(state);
            const QImage look = button.grab().toImage();
            QCOMPARE(look.pixelColor(0, 30), left);
            QCOMPARE(look.pixelColor(46, 30), right);
            for (int y = 2; y < 59; ++y)
                for (int x = 2; x < 45; ++x)
                    QVERIFY(look.pixelColor(x, y) == QColor(51, 102, 255));
        }
    }

    void browseRefusesFoldersOffFixedFileSystems_data() {
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QString>("folder");
        QTest::newRow("cancelled") << QStringList{} << "/srv/old";
        QTest::newRow("fixed, closing slash dropped") << QStringList{"/srv/new/"} << "/srv/new";
        QTest::newRow("removable twice, then fixed")
            << QStringList{"/media/stick", "/media/cd", "/srv/new"} << "/srv/new";
    }
    void browseRefusesFoldersOffFixedFileSystems() {
        QFETCH(QStringList, picks);
        QFETCH(QString, folder);
        WorkFolderDialog dialog("/srv/old", messages_, help_);
        QVERIFY(dialog.findChild<QLineEdit*>("c1088")->isReadOnly());
        QStringList openings;
        dialog.SetFolderPicker([&](QWidget*, const std::string& title, const std::string& start) {
            openings << QString::fromStdString(title + " @ " + start);
            return picks.isEmpty() ? std::string() : picks.takeFirst().toStdString();
        });
        dialog.SetFixedTest([](const std::string& path) { return path.rfind("/media/", 0) != 0; });

        Press(dialog, 1089);
        QCOMPARE(QString::fromStdString(dialog.folder()), folder);
        QCOMPARE(dialog.freeSpaceLine(), SystemInfo().FreeSpaceLine(folder.toStdString()));
        // Each refusal is one message, and the browser opens again at the folder shown before Browse.
        const qsizetype refusals = openings.size() - 1;
        QCOMPARE(qsizetype(messages_.log.size()), refusals);
        for (const std::string& line : messages_.log)
            QCOMPARE(line, std::string("inform Error: Only a fixed drive can be selected."));
        for (const QString& opening : openings)
            QCOMPARE(opening, QString("Select the work folder. @ /srv/old"));
    }

    void defaultTakesTheTemporaryFolder() {
        test::ScratchDir temp;
        qputenv("TMPDIR", QByteArray::fromStdString(temp.str() + "/"));
        WorkFolderDialog dialog("/srv/old", messages_, help_);
        Press(dialog, 1092);
        qunsetenv("TMPDIR");
        QCOMPARE(dialog.folder(), temp.str());
        QCOMPARE(dialog.freeSpaceLine(), SystemInfo().FreeSpaceLine(temp.str()));
    }

    void okCancelEscAndHelp_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << 0 << 1 << 1;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 1;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 2;
    }
    void okCancelEscAndHelp() {
        QFETCH(int, key);
        QFETCH(int, button);
        QFETCH(int, result);
        WorkFolderDialog dialog("/srv/old", messages_, help_);
        QTimer::singleShot(0, &dialog, [&] {
            // Keys go where the window's focus is, as the user's would.
            QWidget* focus = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
            QTest::keyClick(focus, Qt::Key_F1);
            if (key)
                QTest::keyClick(focus, Qt::Key(key));
            else
                Press(dialog, button);
        });
        QCOMPARE(dialog.Run(), result);
        QCOMPARE(help_.contexts, std::vector<int>{2000});
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

    void versionLineFollowsShiftAndCtrl_data() {
        // This test program records the project's version, as every program of the project does.
        const QString full = "Albumwright  Version " + QString(ALBUMWRIGHT_VERSION_TEXT).replace('.', " . ");
        const QString brief = "Albumwright  Version 1.1";
        QTest::addColumn<Qt::KeyboardModifiers>("held");
        QTest::addColumn<QString>("line");
        QTest::newRow("none") << Qt::KeyboardModifiers() << brief;
        QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << brief;
        QTest::newRow("Shift+Ctrl+Alt")
            << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << full;
    }
    void versionLineFollowsShiftAndCtrl() {
        QFETCH(Qt::KeyboardModifiers, held);
        QFETCH(QString, line);
        AboutBox box(held, nullptr);
        QCOMPARE(box.findChild<QLabel*>("c1017")->text(), line);
    }

    void aFileWithoutVersionReadsAsZeros() {
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "program", "no version here");
        QCOMPARE(AboutBox::VersionLine(Qt::ShiftModifier | Qt::ControlModifier, (dir / "program").string()),
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
