// Nine-slice, stretch and double-density drawing of skin images, checked pixel by pixel.
#include "toolkit/qbaseimagedraw.h"

#include <QPainter>
#include <QtTest>

namespace {

// Colours of the nine thirds of a test image, row by row.
const QRgb Cells[9] = {0xff0000ff, 0xff00ff00, 0xffff0000, 0xff00ffff, 0xffff00ff,
                       0xffffff00, 0xff800000, 0xff008000, 0xff000080};
enum { TL, T, TR, L, C, R, BL, B, BR };

// A logical 3s x 3s image (6s pixels) whose thirds are the nine colours.
QImage thirds(int side)
{
    QImage image(side * 6, side * 6, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, Cells[(y / (2 * side)) * 3 + x / (2 * side)]);
    image.setDevicePixelRatio(2.0);
    return image;
}

QImage canvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

}

class tst_QBaseImageDraw : public QObject
{
    Q_OBJECT

private slots:
    void nineSlice_data();
    void nineSlice();
    void nineSlice_zeroHeightDrawsNothing();
    void stretch_dropsOddPixelColumn();
    void drawImage_doublesSource();
    void roundedPath_clampsRadius();
};

void tst_QBaseImageDraw::nineSlice_data()
{
    QTest::addColumn<QSize>("target");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<int>("cell");

    // 30x30 logical into 100x30: corners stay 10x10, edges stretch to 80.
    QTest::newRow("top-left") << QSize(100, 30) << QPoint(5, 5) << int(TL);
    QTest::newRow("top edge start") << QSize(100, 30) << QPoint(11, 5) << int(T);
    QTest::newRow("top edge end") << QSize(100, 30) << QPoint(88, 5) << int(T);
    QTest::newRow("top-right") << QSize(100, 30) << QPoint(95, 5) << int(TR);
    QTest::newRow("left edge") << QSize(100, 30) << QPoint(5, 15) << int(L);
    QTest::newRow("centre") << QSize(100, 30) << QPoint(50, 15) << int(C);
    QTest::newRow("right edge") << QSize(100, 30) << QPoint(95, 15) << int(R);
    QTest::newRow("bottom-left") << QSize(100, 30) << QPoint(5, 25) << int(BL);
    QTest::newRow("bottom edge") << QSize(100, 30) << QPoint(50, 25) << int(B);
    QTest::newRow("bottom-right") << QSize(100, 30) << QPoint(95, 25) << int(BR);
    // Taller than the image: corners keep 10, side edges and centre stretch.
    QTest::newRow("tall left edge") << QSize(30, 90) << QPoint(5, 70) << int(L);
    QTest::newRow("tall bottom-left") << QSize(30, 90) << QPoint(5, 85) << int(BL);
    // Narrower than the image: the slice comes from the target, 12 / 3 = 4.
    QTest::newRow("narrow top-left") << QSize(12, 30) << QPoint(1, 5) << int(TL);
    QTest::newRow("narrow top edge") << QSize(12, 30) << QPoint(5, 5) << int(T);
    QTest::newRow("narrow top-right") << QSize(12, 30) << QPoint(10, 5) << int(TR);
}

void tst_QBaseImageDraw::nineSlice()
{
    QFETCH(QSize, target);
    QFETCH(QPoint, probe);
    QFETCH(int, cell);

    QImage image = thirds(10);
    QImage out = canvas(target);
    {
        QPainter painter(&out);
        QBaseImageDraw::drawBtnImageBg(painter, QRect(QPoint(0, 0), target), image, true);
    }
    QCOMPARE(QColor(out.pixel(probe)), QColor(Cells[cell]));
}

void tst_QBaseImageDraw::nineSlice_zeroHeightDrawsNothing()
{
    QImage image = thirds(10);
    QImage out = canvas(QSize(100, 30));
    {
        QPainter painter(&out);
        QBaseImageDraw::drawBtnImageBg(painter, QRect(0, 10, 100, 0), image, true);
    }
    QImage empty = canvas(QSize(100, 30));
    QCOMPARE(out, empty);
}

void tst_QBaseImageDraw::stretch_dropsOddPixelColumn()
{
    // 21 pixels wide: the logical width is 10, so the magenta last column is never drawn.
    QImage image(21, 20, QImage::Format_ARGB32);
    image.fill(Qt::green);
    for (int y = 0; y < image.height(); ++y)
        image.setPixel(20, y, qRgb(255, 0, 255));
    image.setDevicePixelRatio(2.0);

    QImage out = canvas(QSize(40, 20));
    {
        QPainter painter(&out);
        QBaseImageDraw::drawBtnImageBg(painter, QRect(0, 0, 40, 20), image, false);
    }
    for (int x = 0; x < out.width(); ++x)
        QCOMPARE(QColor(out.pixel(x, 10)), QColor(Qt::green));
}

void tst_QBaseImageDraw::drawImage_doublesSource()
{
    // Logical (0, 0, 10, 10) is pixels (0, 0, 20, 20): all red; the rest of the image is blue.
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));

    QImage out = canvas(QSize(10, 10));
    {
        QPainter painter(&out);
        QBaseImageDraw::drawImage(painter, QRect(0, 0, 10, 10), QRect(0, 0, 10, 10), image);
        QVERIFY(painter.testRenderHint(QPainter::SmoothPixmapTransform));
    }
    QCOMPARE(QColor(out.pixel(0, 0)), QColor(Qt::red));
    QCOMPARE(QColor(out.pixel(9, 9)), QColor(Qt::red));
}

void tst_QBaseImageDraw::roundedPath_clampsRadius()
{
    // min(25.8, 40) truncates to 25; half of it is 12.
    const QPainterPath path = QBaseImageDraw::GetRoundedRectanglePath(QRectF(0, 0, 25.8, 40), 20);
    QCOMPARE(path.elementAt(0).x, 25.8 - 12);
    QCOMPARE(path.elementAt(1).x, 12.0);
    QCOMPARE(path.boundingRect(), QRectF(0, 0, 25.8, 40));

    const QPainterPath small = QBaseImageDraw::GetRoundedRectanglePath(QRectF(10, 10, 100, 50), 5);
    QCOMPARE(small.elementAt(0).x, 105.0);
}

QTEST_MAIN(tst_QBaseImageDraw)
#include "tst_qbaseimagedraw.moc"
