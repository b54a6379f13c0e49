// The help-link window shows its message and caption; Help opens the caller's topic and leaves it open.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/ui/helplinkdialog.h"
#include "stringtable.h"
#include "support/recordinghelp.h"

namespace aw {

class HelpLinkDialogTest : public QObject {
    Q_OBJECT

private slots:
    void helpOpensTheTopicAndStaysOpen() {
        SetLanguage(Language::English);
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

QTEST_MAIN(aw::HelpLinkDialogTest)
#include "tst_helplinkdialog.moc"
