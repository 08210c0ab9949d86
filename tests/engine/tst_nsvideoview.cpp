#include "engine/nsvideoview.h"
#include "rawvideoframe.h"

#include <QtTest>

#include <thread>

class tst_NSVideoView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureScaledToView_data();
    void pictureScaledToView();
    void clearShowsBlack();
    void waitingFramesBounded();
    void unsoundFramesRefused_data();
    void unsoundFramesRefused();

private:
    QTemporaryDir m_dir;
};

void tst_NSVideoView::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_NSVideoView::pictureScaledToView_data()
{
    QTest::addColumn<int>("extra");
    QTest::addColumn<QSize>("viewSize");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<double>("maxShare");
    QTest::newRow("tight, native size") << 0 << QSize(719, 481) << 0 << 0.0;
    QTest::newRow("padded, native size") << 260 << QSize(719, 481) << 0 << 0.0;
    // Scaled up and smoothly back down, the picture comes back closely.
    QTest::newRow("padded, doubled") << 260 << QSize(1438, 962) << 16 << 0.02;
}

void tst_NSVideoView::pictureScaledToView()
{
    QFETCH(int, extra);
    QFETCH(QSize, viewSize);
    QFETCH(int, tolerance);
    QFETCH(double, maxShare);
    RawVideoFrame frame = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 719, 481, extra);
    QVERIFY(!frame.isNull());
    const QImage expected = RawVideoFrame::reference(m_dir.path(), "testsrc2", 719, 481);
    NSVideoView view;
    view.resize(viewSize);
    bool accepted = false;
    std::thread worker([&] { accepted = view.showImage(frame.planes()[0], 719, 481, frame.strides()[0]); });
    worker.join();
    QVERIFY(accepted);
    QTRY_VERIFY_WITH_TIMEOUT(
        RawVideoFrame::mismatch(view.grab().toImage().scaled(719, 481, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                                expected, tolerance)
            <= maxShare,
        30000);
}

void tst_NSVideoView::clearShowsBlack()
{
    RawVideoFrame frame = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!frame.isNull());
    NSVideoView view;
    view.resize(64, 48);
    QVERIFY(view.showImage(frame.planes()[0], 64, 48, frame.strides()[0]));
    QCoreApplication::sendPostedEvents();
    QVERIFY(view.grab().toImage().pixel(32, 24) != qRgb(0, 0, 0));
    QVERIFY(view.showImage(nullptr, 0, 0, 0));
    QCoreApplication::sendPostedEvents();
    QImage black(64, 48, QImage::Format_RGB32);
    black.fill(Qt::black);
    QCOMPARE(RawVideoFrame::mismatch(view.grab().toImage(), black, 0), 0.0);
}

void tst_NSVideoView::waitingFramesBounded()
{
    RawVideoFrame frame = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!frame.isNull());
    NSVideoView view;
    QSignalSpy dropped(&view, &NSVideoView::emitFrameDropped);
    // Frames that all fit tell of no loss.
    for (int i = 0; i < 9; ++i)
        QVERIFY(view.showImage(frame.planes()[0], 64, 48, frame.strides()[0]));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dropped.count(), 0);
    // Refused frames are told of once, when the first waiting frame has been shown.
    for (int round = 1; round <= 2; ++round) {
        for (int i = 0; i < 9; ++i)
            QVERIFY(view.showImage(frame.planes()[0], 64, 48, frame.strides()[0]));
        QVERIFY(!view.showImage(frame.planes()[0], 64, 48, frame.strides()[0]));
        QVERIFY(!view.showImage(frame.planes()[0], 64, 48, frame.strides()[0]));
        QVERIFY(view.showImage(nullptr, 0, 0, 0));
        QCOMPARE(dropped.count(), round - 1);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(dropped.count(), round);
    }
}

void tst_NSVideoView::unsoundFramesRefused_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("stride");
    QTest::newRow("stride x height overflows") << 16384 << 65536 << 65536;
    QTest::newRow("stride below width") << 100 << 10 << 396;
    QTest::newRow("no rows") << 100 << 0 << 400;
}

void tst_NSVideoView::unsoundFramesRefused()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, stride);
    QByteArray buffer(4096, char(0x40));
    unsigned char *data = reinterpret_cast<unsigned char *>(buffer.data());
    NSVideoView view;
    QSignalSpy dropped(&view, &NSVideoView::emitFrameDropped);
    for (int i = 0; i < 12; ++i)
        QVERIFY(!view.showImage(data, width, height, stride));
    QVERIFY(view.showImage(data, 16, 16, 64));
    QCoreApplication::sendPostedEvents();
    // Frames that cannot be shown at all are no loss to make good.
    QCOMPARE(dropped.count(), 0);
    for (int i = 0; i < 9; ++i)
        QVERIFY(view.showImage(data, 16, 16, 64));
    QVERIFY(!view.showImage(data, 16, 16, 64));
    QCoreApplication::sendPostedEvents();
}

QTEST_MAIN(tst_NSVideoView)
#include "tst_nsvideoview.moc"
