// The colour button: filled with its colour, framed by pressed-in or raised rings; nothing else changes it.
#include <QImage>
#include <QtTest>

#include "dialogs/ui/colourbutton.h"

namespace aw {

class ColourButtonTest : public QObject {
    Q_OBJECT

    static QImage Look(int state, bool enabled = true) {
        ColourButton button(nullptr);
        button.resize(47, 61);
        button.SetFillColour({51, 102, 255});
        button.SetState(state);
        button.setEnabled(enabled);
        return button.grab().toImage();
    }

private slots:
    void statesDifferOnlyInTheirRings() {
        const QImage in = Look(1), out = Look(0);
        const int w = in.width(), h = in.height();
        for (int y = 2; y < h - 2; ++y)
            for (int x = 2; x < w - 2; ++x)
                QVERIFY(in.pixelColor(x, y) == QColor(51, 102, 255) &&
                        out.pixelColor(x, y) == in.pixelColor(x, y));
        // Pressed in: dark on the left, light on the right; raised the other way round.
        const QColor black(0, 0, 0), white(255, 255, 255);
        QCOMPARE(in.pixelColor(0, 30), black);
        QCOMPARE(in.pixelColor(w - 1, 30), white);
        QCOMPARE(out.pixelColor(0, 30), white);
        QCOMPARE(out.pixelColor(w - 1, 30), black);
        QCOMPARE(Look(2), out);       // anything but 1 is raised
        QCOMPARE(Look(1, false), in); // disabled looks like enabled
    }
};

} // namespace aw

QTEST_MAIN(aw::ColourButtonTest)
#include "tst_colourbutton.moc"
