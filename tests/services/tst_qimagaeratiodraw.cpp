#include "services/qimagaeratiodraw.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

class tst_QImagaeRatioDraw : public QObject
{
    Q_OBJECT

private slots:
    void sourceIsDoubled_data();
    void sourceIsDoubled();
    void isAQObject();
};

void tst_QImagaeRatioDraw::sourceIsDoubled_data()
{
    QTest::addColumn<bool>("pixmap");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("image") << false << 1.0;
    QTest::newRow("image at ratio 2") << false << 2.0;
    QTest::newRow("pixmap") << true << 1.0;
    QTest::newRow("pixmap at ratio 2") << true << 2.0;
}

// Source (10, 10, 50, 20) must read pixels (20, 20, 100, 40): there the left half is red and the
// right half green; everything else of the image is white.
void tst_QImagaeRatioDraw::sourceIsDoubled()
{
    QFETCH(bool, pixmap);
    QFETCH(qreal, ratio);

    QImage skin(200, 100, QImage::Format_RGB32);
    skin.fill(Qt::white);
    {
        QPainter p(&skin);
        p.fillRect(20, 20, 50, 40, Qt::red);
        p.fillRect(70, 20, 50, 40, Qt::green);
    }
    skin.setDevicePixelRatio(ratio);

    QImage canvas(60, 30, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        const QRect target(5, 5, 50, 20);
        const QRect source(10, 10, 50, 20);
        if (pixmap)
            QImagaeRatioDraw::drawPixmap(painter, target, source, QPixmap::fromImage(skin));
        else
            QImagaeRatioDraw::drawImage(painter, target, source, skin);
        QVERIFY(painter.testRenderHint(QPainter::SmoothPixmapTransform));
    }

    // Inner pixels only: the smoothed rims may blend.
    for (int y = 6; y < 24; ++y) {
        for (int x = 6; x < 29; ++x)
            QCOMPARE(QColor(canvas.pixel(x, y)), QColor(Qt::red));
        for (int x = 31; x < 54; ++x)
            QCOMPARE(QColor(canvas.pixel(x, y)), QColor(Qt::green));
    }
    // Nothing outside the target.
    QCOMPARE(QColor(canvas.pixel(4, 4)), QColor(Qt::black));
    QCOMPARE(QColor(canvas.pixel(55, 25)), QColor(Qt::black));
}

void tst_QImagaeRatioDraw::isAQObject()
{
    QObject parent;
    auto *draw = new QImagaeRatioDraw(&parent);
    QCOMPARE(draw->parent(), &parent);
    QCOMPARE(QByteArray(draw->metaObject()->className()), QByteArray("QImagaeRatioDraw"));
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_QImagaeRatioDraw test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qimagaeratiodraw.moc"
