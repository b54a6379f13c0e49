// The work folder option: Browse refuses folders off fixed file systems with message 2013 and asks again,
// Default takes the system's temporary folder, OK and Cancel end with 1 and 2, F1 opens topic 2000.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/systeminfo.h"
#include "dialogs/ui/workfolderdialog.h"
#include "stringtable.h"
#include "support/recordinghelp.h"
#include "support/scriptedmessages.h"
#include "support/testpaths.h"

namespace aw {

class WorkFolderDialogTest : public QObject {
    Q_OBJECT

    test::ScriptedMessages messages_;
    test::RecordingHelp help_;

    static void Press(WorkFolderDialog& dialog, int id) {
        dialog.findChild<QPushButton*>(QStringLiteral("c%1").arg(id))->click();
    }

private slots:
    void init() {
        SetLanguage(Language::English);
        messages_.log.clear();
        help_.contexts.clear();
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
};

} // namespace aw

QTEST_MAIN(aw::WorkFolderDialogTest)
#include "tst_workfolderdialog.moc"
