// SPDX-License-Identifier: MIT
// The secondary windows: the colour picker and the message boxes.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/colourgrid.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/messageboxservice.h"
#include "stringtable.h"

namespace aw {

const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};

class DialogsTest : public QObject {
    Q_OBJECT

    // The main window's font swatch and preview, which the picker changes while it is open.
    ColourSwatch preview_{ColourSwatch::kPreviewId, nullptr};
    ColourSwatch swatch_{ColourSwatch::kFontSwatchId, nullptr};

    static void Press(QWidget& dialog, int id) {
        dialog.findChild<QPushButton*>(QStringLiteral("c%1").arg(id))->click();
    }
    void OnBox(std::function<void(QMessageBox&)> act) {
        QTimer::singleShot(0, this,
                           [act] { act(*qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); });
    }

private slots:
    void init() {
        SetLanguage(Language::English);
        for (ColourSwatch* s : {&preview_, &swatch_}) {
            s->SetForeground(kRed);
            s->SetBackground(kWhite);
        }
    }

    // A click reaches the picker through the cells' own widgets; the preview follows it at once.
    void clicksReachThePickerThroughTheCells() {
        for (const auto& [at, cell] :
             {std::pair(QPoint(42, 20), 0), std::pair(QPoint(43, 20), 1), std::pair(QPoint(100, 135), 16)}) {
            init();
            ColourPicker picker(1, kRed, kWhite, 16, 39, &preview_, &swatch_);
            picker.show();
            QVERIFY(QTest::qWaitForWindowExposed(&picker));
            QTest::mouseClick(picker.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            QCOMPARE(picker.currentCell(), cell);
            QCOMPARE(preview_.foreground().red, ColourGrid::Colour(cell).red);
            for (ColourSwatch* cellSwatch : picker.findChildren<ColourSwatch*>())
                QCOMPARE(cellSwatch->outlined(), cellSwatch->controlId() == 1037 + cell);
        }
    }

    // OK and Enter hand back the pick of the picker's mode; Cancel, Esc and the close box hand back nothing.
    void endings() {
        enum How { Ok, Enter, Cancel, Esc, CloseBox };
        const std::tuple<int, How, int, int> cases[] = {
            {1, Ok, 1, 39}, {0, Enter, 16, 1}, {1, Cancel, 16, 39}, {1, Esc, 16, 39}, {0, CloseBox, 16, 39}};
        for (const auto& [mode, how, fontCell, backgroundCell] : cases) {
            init();
            ColourPicker picker(mode, kRed, kWhite, 16, 39, &preview_, mode == 1 ? &swatch_ : nullptr);
            QTimer::singleShot(0, &picker, [&, how = how] {
                QTest::mouseClick(&picker, Qt::LeftButton, Qt::NoModifier, {43, 20});
                if (how == Ok || how == Cancel)
                    Press(picker, how == Ok ? 1 : 2);
                else if (how == CloseBox)
                    picker.close();
                else
                    QTest::keyClick(&picker, how == Enter ? Qt::Key_Return : Qt::Key_Escape);
            });
            QCOMPARE(picker.Run(), how <= Enter ? 1 : 2);
            QCOMPARE(picker.fontCell(), fontCell);
            QCOMPARE(picker.backgroundCell(), backgroundCell);
        }
    }

    // A box listing 2,000 names, or one endless line, fits the screen; the whole text is in its details.
    void boxesFitTheScreen() {
        QString names;
        for (int i = 0; i < 2000; ++i)
            names += QStringLiteral("\nBeach day %1.jpg").arg(i, 4, 10, QLatin1Char('0'));
        for (const QString& text :
             {LoadText(TextId::UnsafeNames).c_str() + names, QString(50000, QLatin1Char('x'))}) {
            QString details;
            int height = 0;
            OnBox([&](QMessageBox& box) {
                height = box.frameGeometry().height();
                details = box.detailedText();
                box.button(QMessageBox::Ok)->click();
            });
            MessageBoxService().Inform(text.toStdString(), "Caption", MessageIcon::Exclamation);
            QVERIFY2(height > 0 && height <= QGuiApplication::primaryScreen()->availableGeometry().height(),
                     qPrintable(QString::number(height)));
            QCOMPARE(details, text);
        }
    }
};

} // namespace aw

QTEST_MAIN(aw::DialogsTest)
#include "tst_dialogs.moc"
