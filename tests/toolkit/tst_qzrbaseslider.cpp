// Progress bars and sliders: value mapping from presses, drags and keys, clamping, the text
// pattern and fills measured from the minimum.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrsliderex.h"

#include "controlimages.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using namespace ControlImages;

Q_DECLARE_METATYPE(QMouseEvent *)

class tst_QZRBaseSlider : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void press_data();
    void press();
    void dragAlongTheThumb();
    void releaseReportsOnlyAfterPress();
    void keys_data();
    void keys();
    void setValueClampsAndDoesNotReportProgress();
    void text_data();
    void text();
    void offsetsTooLargeReset();
    void fillStartsAtMinimum();
    void emptyRangeShowsNoFill();
    void thumbRaisesOffsetsAndFollowsValue();
    void missingThumbImageKeepsAThumb();
    void sliderExHoverFrame();
    void throttledRepaint();
    void ring_data();
    void ring();
};

namespace {

const QRgb Green = qRgb(6, 176, 37);

// A 200 by 20 horizontal slider at (50, 50) with offsets 10 and 10.
void prepare(QZRBaseSlider &slider, double min, double max)
{
    slider.resize(200, 20);
    slider.move(50, 50);
    slider.setRange(min, max);
    slider.setOffset(10, 10);
    slider.show();
}

}

void tst_QZRBaseSlider::initTestCase()
{
    qRegisterMetaType<QMouseEvent *>();
}

void tst_QZRBaseSlider::press_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("progress");

    QTest::newRow("middle") << 0.0 << 100.0 << 100 << 50.0 << 0.5;
    QTest::newRow("start of the valid range") << 0.0 << 100.0 << 10 << 0.0 << -1.0;
    QTest::newRow("end of the valid range") << 0.0 << 100.0 << 190 << 100.0 << 1.0;
    QTest::newRow("range not starting at zero") << 50.0 << 150.0 << 100 << 100.0 << 0.5;
    QTest::newRow("quarter of a shifted range") << -100.0 << 100.0 << 55 << -50.0 << 0.25;
}

// A press inside the valid range moves the value there and reports the fraction; the press at
// the current value reports nothing.
void tst_QZRBaseSlider::press()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, x);
    QFETCH(double, value);
    QFETCH(double, progress);

    QZRBaseSlider slider;
    prepare(slider, min, max);
    QSignalSpy progressSpy(&slider, &QZRBaseSlider::sendProgressValue);
    QSignalSpy pressSpy(&slider, &QZRBaseSlider::sendPressEvent);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
    QCOMPARE(pressSpy.count(), 1);
    QCOMPARE(slider.value(), value);
    if (progress < 0) {
        QCOMPARE(progressSpy.count(), 0);
    } else {
        QCOMPARE(progressSpy.count(), 1);
        QCOMPARE(progressSpy.at(0).at(0).toDouble(), progress);
    }

    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    QCOMPARE(pressSpy.count(), 1);
    QCOMPARE(slider.value(), value);
}

void tst_QZRBaseSlider::dragAlongTheThumb()
{
    QTemporaryDir dir;
    QZRBaseSlider slider;
    prepare(slider, 0, 100);
    QVERIFY(slider.setBtnImage(save(dir, "thumb.png", frames(QSize(24, 24), {0xffffffff, 0xffeeeeee, 0xffdddddd, 0xff888888}))));
    QZRBaseButton *thumb = slider.getButton();
    QVERIFY(thumb);
    QCOMPARE(thumb->size(), QSize(12, 12));

    QSignalSpy progressSpy(&slider, &QZRBaseSlider::sendProgressValue);
    QSignalSpy pressSpy(&slider, &QZRBaseSlider::sendPressEvent);
    QSignalSpy releaseSpy(&slider, &QZRBaseSlider::sendReleseEvent);
    QTest::mousePress(thumb, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    QCOMPARE(pressSpy.count(), 1);

    // Positions on the slider: the thumb reports them relative to itself.
    for (int x : {64, 100, 400}) {
        const QPoint onThumb = thumb->mapFrom(&slider, QPoint(x, 10));
        move(thumb, onThumb);
    }
    QCOMPARE(slider.value(), 100.0);
    QCOMPARE(progressSpy.count(), 3);
    QCOMPARE(progressSpy.at(0).at(0).toDouble(), 0.3);
    QCOMPARE(progressSpy.at(1).at(0).toDouble(), 0.5);
    QCOMPARE(progressSpy.at(2).at(0).toDouble(), 1.0);

    QTest::mouseRelease(thumb, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    QCOMPARE(releaseSpy.count(), 1);
}

void tst_QZRBaseSlider::releaseReportsOnlyAfterPress()
{
    QZRBaseSlider slider;
    prepare(slider, 0, 100);
    QSignalSpy releaseSpy(&slider, &QZRBaseSlider::sendReleseEvent);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    QCOMPARE(releaseSpy.count(), 0);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    move(&slider, QPoint(145, 10));
    QCOMPARE(slider.value(), 75.0);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(145, 10));
    QCOMPARE(releaseSpy.count(), 1);
}

void tst_QZRBaseSlider::keys_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("valueSignals");

    QTest::newRow("right") << 0.0 << 100.0 << 50.0 << int(Qt::Key_Right) << 51.0 << 1;
    QTest::newRow("up") << 0.0 << 100.0 << 50.0 << int(Qt::Key_Up) << 51.0 << 1;
    QTest::newRow("left") << 0.0 << 100.0 << 50.0 << int(Qt::Key_Left) << 49.0 << 1;
    QTest::newRow("down") << 0.0 << 100.0 << 50.0 << int(Qt::Key_Down) << 49.0 << 1;
    QTest::newRow("one percent of a wide range") << 0.0 << 1000.0 << 500.0 << int(Qt::Key_Right) << 510.0 << 1;
    QTest::newRow("down at the bottom clamps") << 0.0 << 100.0 << 0.0 << int(Qt::Key_Down) << 0.0 << 1;
    QTest::newRow("up at the top clamps") << 0.0 << 100.0 << 100.0 << int(Qt::Key_Up) << 100.0 << 1;
    QTest::newRow("return does nothing") << 0.0 << 100.0 << 50.0 << int(Qt::Key_Return) << 50.0 << 0;
}

void tst_QZRBaseSlider::keys()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, start);
    QFETCH(int, key);
    QFETCH(double, expected);
    QFETCH(int, valueSignals);

    QZRBaseSlider slider;
    prepare(slider, min, max);
    slider.setValue(start);
    QSignalSpy valueSpy(&slider, &QZRBaseProgress::valueChanged);
    QSignalSpy progressSpy(&slider, &QZRBaseSlider::sendProgressValue);
    QTest::keyClick(&slider, Qt::Key(key));
    QCOMPARE(slider.value(), expected);
    QCOMPARE(valueSpy.count(), valueSignals);
    if (valueSignals)
        QCOMPARE(valueSpy.at(0).at(0).toDouble(), expected);
    QCOMPARE(progressSpy.count(), 0);
}

void tst_QZRBaseSlider::setValueClampsAndDoesNotReportProgress()
{
    QZRBaseSlider slider;
    prepare(slider, 0, 100);
    QSignalSpy valueSpy(&slider, &QZRBaseProgress::valueChanged);
    QSignalSpy progressSpy(&slider, &QZRBaseSlider::sendProgressValue);
    slider.setValue(150.0);
    slider.setValue(-3);
    QCOMPARE(valueSpy.count(), 2);
    QCOMPARE(valueSpy.at(0).at(0).toDouble(), 100.0);
    QCOMPARE(valueSpy.at(1).at(0).toDouble(), 0.0);
    QCOMPARE(progressSpy.count(), 0);

    slider.setValue(40.0);
    slider.setRange(50, 80);
    QCOMPARE(slider.value(), 50.0);
    slider.setRange(90, 10);
    QCOMPARE(slider.minimum(), 10.0);
    QCOMPARE(slider.maximum(), 90.0);
}

void tst_QZRBaseSlider::text_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("all three") << "%v %p %m" << 1 << 0.0 << 100.0 << 25.0 << "25.0 25.0 101.0";
    QTest::newRow("value and count") << "%v of %m" << 1 << 0.0 << 100.0 << 25.0 << "25.0 of 101.0";
    QTest::newRow("default percent") << "%p%" << 1 << 0.0 << 100.0 << 25.0 << "25.0%";
    QTest::newRow("percent from the minimum") << "%p" << 0 << 50.0 << 150.0 << 75.0 << "25";
    QTest::newRow("empty range") << "%v %p" << 0 << 10.0 << 10.0 << 10.0 << "10 0";
    QTest::newRow("upper case is not a placeholder") << "%V %P" << 1 << 0.0 << 100.0 << 25.0 << "%V %P";
}

void tst_QZRBaseSlider::text()
{
    QFETCH(QString, format);
    QFETCH(int, decimals);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, value);
    QFETCH(QString, text);

    QZRBaseProgress progress;
    progress.setFormat(format);
    progress.setDecimals(decimals);
    progress.setRange(min, max);
    progress.setValue(value);
    QCOMPARE(progress.getFormatValue(), text);
}

void tst_QZRBaseSlider::offsetsTooLargeReset()
{
    QZRBaseProgress progress;
    progress.resize(100, 10);
    progress.setOffset(60, 50);
    QCOMPARE(progress.getTLOffset(), 0);
    QCOMPARE(progress.getRBOffset(), 0);
    progress.setOffset(30, 20);
    QCOMPARE(progress.getTLOffset(), 30);
    QCOMPARE(progress.getRBOffset(), 20);
}

// Without images the bar is the Window colour and the fill the Highlight colour.
void tst_QZRBaseSlider::fillStartsAtMinimum()
{
    QZRBaseProgress progress;
    progress.resize(200, 20);
    progress.setFormat(QString());
    progress.setRange(50, 150);
    progress.setValue(100);
    const QImage image = progress.grab().toImage();
    QCOMPARE(image.pixel(50, 10), Green);
    QVERIFY(image.pixel(150, 10) != Green);
}

void tst_QZRBaseSlider::emptyRangeShowsNoFill()
{
    QZRBaseProgress progress;
    progress.resize(200, 20);
    progress.setFormat(QString());
    progress.setRange(10, 10);
    progress.setValue(10);
    const QImage image = progress.grab().toImage();
    for (int x : {15, 100, 185})
        QVERIFY2(image.pixel(x, 10) != Green, qPrintable(QString::number(x)));

    QZRBaseSlider slider;
    prepare(slider, 10, 10);
    QSignalSpy progressSpy(&slider, &QZRBaseSlider::sendProgressValue);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    QCOMPARE(slider.value(), 10.0);
    QCOMPARE(progressSpy.count(), 0);
}

void tst_QZRBaseSlider::thumbRaisesOffsetsAndFollowsValue()
{
    QTemporaryDir dir;
    QZRBaseSlider slider;
    slider.resize(200, 20);
    slider.setOffset(2, 0);
    QVERIFY(slider.setBtnImage(save(dir, "thumb.png", frames(QSize(32, 32), {0xffffffff, 0xffeeeeee, 0xffdddddd, 0xff888888}))));
    QCOMPARE(slider.getTLOffset(), 8);
    QCOMPARE(slider.getRBOffset(), 8);
    slider.setOffset(12, 3);
    QCOMPARE(slider.getTLOffset(), 12);
    QCOMPARE(slider.getRBOffset(), 8);

    slider.setRange(100, 300);
    slider.setValue(200);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    // Half way along the 180 pixels between the offsets, the thumb centred on it.
    QTRY_COMPARE(slider.getButton()->geometry(), QRect(93, 2, 16, 16));
}

void tst_QZRBaseSlider::missingThumbImageKeepsAThumb()
{
    QZRBaseSlider slider;
    slider.resize(200, 20);
    QVERIFY(slider.setBtnImage("/nonexistent/thumb.png"));
    QCOMPARE(slider.getButton()->size(), QSize(10, 20));

    QZRBaseSlider vertical;
    vertical.setProgressPolicy(QZRBaseProgress::Vertical);
    vertical.resize(20, 200);
    QVERIFY(vertical.setBtnImage("/nonexistent/thumb.png"));
    QCOMPARE(vertical.getButton()->size(), QSize(20, 10));
}

void tst_QZRBaseSlider::sliderExHoverFrame()
{
    QTemporaryDir dir;
    QZRSliderEx slider;
    prepare(slider, 0, 100);
    slider.setBtnImage(save(dir, "thumb.png", frames(QSize(24, 24), {0xffffffff, 0xffeeeeee, 0xffdddddd, 0xff888888})));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&slider, &enter);
    QCOMPARE(slider.getButton()->getBtnState(), 1);
    QCOMPARE(slider.cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&slider, &leave);
    QCOMPARE(slider.getButton()->getBtnState(), 0);
    QCOMPARE(slider.cursor().shape(), Qt::ArrowCursor);
}

namespace {

class CountingProgress : public QZRBaseProgress
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        QZRBaseProgress::paintEvent(event);
    }
};

}

// With an interval, a change repaints at once only when the last repaint is old enough; the
// timer catches up a pending one after twice the interval. valueChanged goes out every time.
void tst_QZRBaseSlider::throttledRepaint()
{
    CountingProgress progress;
    progress.resize(100, 10);
    progress.show();
    QVERIFY(QTest::qWaitForWindowActive(&progress));
    progress.setUpdateInterval(100);
    QTest::qWait(150);
    QSignalSpy valueSpy(&progress, &QZRBaseProgress::valueChanged);
    progress.paints = 0;

    QElapsedTimer clock;
    clock.start();
    progress.setValue(10.0);
    QTest::qWait(10);
    progress.setValue(20.0);
    QCoreApplication::processEvents();
    QCOMPARE(valueSpy.count(), 2);
    // On a slow machine the second change may come late enough to repaint by itself.
    if (clock.elapsed() < 100)
        QCOMPARE(progress.paints, 1);
    QTRY_COMPARE_WITH_TIMEOUT(progress.paints, 2, 5000);
    QTest::qWait(400);
    QCOMPARE(progress.paints, 2);
}

void tst_QZRBaseSlider::ring_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("rightFilled");
    QTest::addColumn<bool>("leftFilled");

    QTest::newRow("half") << 0.0 << 100.0 << 50.0 << true << false;
    QTest::newRow("half of a shifted range") << 50.0 << 150.0 << 100.0 << true << false;
    QTest::newRow("full") << 50.0 << 150.0 << 150.0 << true << true;
    QTest::newRow("at the minimum") << 50.0 << 150.0 << 50.0 << false << false;
    QTest::newRow("empty range") << 10.0 << 10.0 << 10.0 << false << false;
}

// A pie from the top, clockwise: half of the range fills the right half.
void tst_QZRBaseSlider::ring()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, value);
    QFETCH(bool, rightFilled);
    QFETCH(bool, leftFilled);

    QZRBaseProgress progress;
    progress.setProgressPolicy(QZRBaseProgress::Ring);
    progress.setBarStyle(QZRBaseProgress::Pie);
    progress.setFormat(QString());
    progress.resize(100, 100);
    progress.setRange(min, max);
    progress.setValue(value);
    const QImage image = progress.grab().toImage();
    QCOMPARE(image.pixel(75, 50) == Green, rightFilled);
    QCOMPARE(image.pixel(25, 50) == Green, leftFilled);
}

QTEST_MAIN(tst_QZRBaseSlider)
#include "tst_qzrbaseslider.moc"
