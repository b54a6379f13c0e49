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
        const QColor black(0, 0, 0), white(255, 255, 255), shadow(128, 128, 128), light(223, 223, 223);
        const struct {
            QPoint at;
            QColor pressed, raised;
        } rings[] = {
            {{0, 30}, black, white},    {{w - 1, 30}, white, black}, {{w - 1, 0}, white, black},
            {{0, h - 1}, black, black}, {{1, 30}, shadow, light},    {{w - 2, 30}, light, shadow},
            {{w - 2, 0}, light, white},
        };
        for (const auto& r : rings) {
            QCOMPARE(in.pixelColor(r.at), r.pressed);
            QCOMPARE(out.pixelColor(r.at), r.raised);
        }
        QCOMPARE(Look(2), out);       // anything but 1 is raised
        QCOMPARE(Look(1, false), in); // disabled looks like enabled
    }
};

} // namespace aw

QTEST_MAIN(aw::ColourButtonTest)
#include "tst_colourbutton.moc"
