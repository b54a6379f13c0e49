// The swatch paints by its id: the letter A over a colour or a picture, a cell's dotted outline.
#include <QImage>
#include <QtTest>

#include "dialogs/ui/colourswatch.h"

namespace aw {

class ColourSwatchTest : public QObject {
    Q_OBJECT

    // The colour at client point (x, y), which lies at (x + 1, y + 1) inside the sunken edge.
    static QColor At(ColourSwatch& swatch, QPoint p) {
        return swatch.grab().toImage().pixelColor(p + QPoint(1, 1));
    }

private slots:
    void cellOutline() {
        ColourSwatch cell(1047, nullptr);
        cell.resize(22, 22);
        cell.SetBackground({0, 0, 204});
        cell.SetOutlined(true);
        const QImage image = cell.grab().toImage();
        int black = 0;
        for (int i = 0; i < 20; ++i)
            for (QPoint p : {QPoint(i, 0), QPoint(0, i), QPoint(i, 19), QPoint(19, i)})
                black += image.pixelColor(p + QPoint(1, 1)) == QColor(Qt::black) ? 1 : 0;
        QVERIFY2(black > 30 && black < 76, "a dotted square, not a solid one");
        QCOMPARE(At(cell, {10, 10}), QColor(0, 0, 204));
    }

    void previewDrawsTheLetterOverColourOrPicture() {
        ColourSwatch preview(1023, nullptr);
        preview.resize(45, 33);
        preview.SetForeground({255, 0, 0});
        preview.SetBackground({255, 255, 255});
        // On the crossbar, at the apex and near the foot of the left stroke; then inside and outside the A.
        const QPoint letter[] = {{21, 18}, {22, 6}, {12, 24}};
        const QPoint clear[] = {{0, 0}, {22, 14}, {5, 20}};
        for (QPoint p : letter)
            QCOMPARE(At(preview, p), QColor(255, 0, 0));
        for (QPoint p : clear)
            QCOMPARE(At(preview, p), QColor(255, 255, 255));

        preview.SetBackgroundPicture(139);
        const QImage picture(":/bitmaps/bmp139.png");
        for (QPoint p : clear) // the picture's block from (2, 2), not the colour
            QCOMPARE(At(preview, p), picture.pixelColor(p + QPoint(2, 2)));
        for (QPoint p : letter)
            QCOMPARE(At(preview, p), QColor(255, 0, 0));

        preview.SetBackgroundPicture(999); // no such picture: the colour stands in
        QCOMPARE(At(preview, {0, 0}), QColor(255, 255, 255));
    }
};

} // namespace aw

QTEST_MAIN(aw::ColourSwatchTest)
#include "tst_colourswatch.moc"
