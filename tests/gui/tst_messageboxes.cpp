// The small boxes: message boxes carry the caption, text, icon and default button asked for; the about box
// shows the short version line unless Shift and Ctrl are both held as it opens; the help-link window opens
// the caller's topic and stays open.
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/ui/aboutbox.h"
#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/messageboxservice.h"
#include "stringtable.h"
#include "support/recordinghelp.h"
#include "support/testpaths.h"

namespace aw {

class MessageBoxesTest : public QObject {
    Q_OBJECT

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
    void initTestCase() { SetLanguage(Language::English); }

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
        test::RecordingHelp help;
        help.answer = false; // a missing book changes nothing for the window
        HelpLinkDialog dialog(LoadText(441), "Information", 2001, help);
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
        QCOMPARE(help.contexts, (std::vector<int>{2001, 2001}));
    }
};

} // namespace aw

QTEST_MAIN(aw::MessageBoxesTest)
#include "tst_messageboxes.moc"
