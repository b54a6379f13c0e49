// The about box shows the short version line unless Shift and Ctrl are both held as it opens; then the
// four parts recorded in the running program's file.
#include <QLabel>
#include <QtTest>

#include "dialogs/ui/aboutbox.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
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
        SetLanguage(Language::English);
        AboutBox box(held, nullptr);
        QCOMPARE(box.findChild<QLabel*>("c1017")->text(), line);
    }

    void aFileWithoutVersionReadsAsZeros() {
        test::ScratchDir dir;
        test::WriteWholeFile(dir / "program", "no version here");
        QCOMPARE(AboutBox::VersionLine(Qt::ShiftModifier | Qt::ControlModifier, (dir / "program").string()),
                 std::string("Albumwright  Version 0 . 0 . 0 . 0"));
    }
};

} // namespace aw

QTEST_MAIN(aw::AboutBoxTest)
#include "tst_aboutbox.moc"
