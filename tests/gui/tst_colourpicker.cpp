// The colour picker: clicks pick cells by position and show their colour at once in the caller's swatches;
// OK hands back the pick of the mode, Cancel, Esc and the close box hand back nothing. The swatch and the
// colour button that show the picks.
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/colourgrid.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "stringtable.h"

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

class ColourPickerTest : public QObject {
    Q_OBJECT

    // The main window's font swatch and preview, which the picker changes while it is open.
    ColourSwatch preview_{ColourSwatch::kPreviewId, nullptr};
    ColourSwatch swatch_{ColourSwatch::kFontSwatchId, nullptr};

private slots:
    void init() {
        SetLanguage(Language::English);
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
};

} // namespace aw

QTEST_MAIN(aw::ColourPickerTest)
#include "tst_colourpicker.moc"
