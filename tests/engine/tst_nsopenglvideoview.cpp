#include "engine/nsopenglvideoview.h"
#include "rawvideoframe.h"

#include <QtTest>

#include "glleaks.h"

#include <cstdio>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

// Channel difference allowed per pixel: the shader filters chroma bilinearly, swscale bicubically.
const int kTolerance = 24;
// Share of pixels allowed beyond it: the noise squares of testsrc2 alone make up about 4 %.
const double kMaxMismatch = 0.05;
const int kWait = 30000;

bool deliver(NSOpenGLVideoView &view, RawVideoFrame &frame, bool planar)
{
    if (planar)
        return view.showYUVImage(frame.planes(), frame.width(), frame.height(), frame.strides());
    return view.showImage(frame.planes()[0], frame.width(), frame.height(), frame.strides()[0]);
}

bool deliverFromThread(NSOpenGLVideoView &view, RawVideoFrame &frame, bool planar)
{
    bool accepted = false;
    std::thread worker([&] { accepted = deliver(view, frame, planar); });
    worker.join();
    return accepted;
}

QString captureStdout(const std::function<void()> &work)
{
    std::fflush(stdout);
    QTemporaryFile file;
    if (!file.open())
        return QString();
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    work();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    file.seek(0);
    return QString::fromUtf8(file.readAll());
}

QImage black(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

}

class tst_NSOpenGLVideoView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureMatchesFfmpeg_data();
    void pictureMatchesFfmpeg();
    void texturesFollowSizeAndStride();
    void packedPictureWinsOverPlanar();
    void clearShowsBlack();
    void frameBeforeContextIsKept();
    void waitingFramesBounded_data();
    void waitingFramesBounded();
    void unsoundFramesRefused_data();
    void unsoundFramesRefused();
    void buffersReused_data();
    void buffersReused();

private:
    void showSized(NSOpenGLVideoView &view, int width, int height);
    void expectPicture(NSOpenGLVideoView &view, const QImage &expected);

    QTemporaryDir m_dir;
};

void tst_NSOpenGLVideoView::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_NSOpenGLVideoView::showSized(NSOpenGLVideoView &view, int width, int height)
{
    view.resize(width, height);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

void tst_NSOpenGLVideoView::expectPicture(NSOpenGLVideoView &view, const QImage &expected)
{
    QVERIFY(!expected.isNull());
    QDeadlineTimer deadline(kWait);
    double mismatch = 1.0;
    while ((mismatch = RawVideoFrame::mismatch(view.grabFramebuffer(), expected, kTolerance)) >= kMaxMismatch
           && !deadline.hasExpired())
        QTest::qWait(50);
    QVERIFY2(mismatch < kMaxMismatch, qPrintable(QString("mismatch %1").arg(mismatch)));
}

void tst_NSOpenGLVideoView::pictureMatchesFfmpeg_data()
{
    QTest::addColumn<bool>("planar");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("extra");
    QTest::newRow("yuv odd size, padded") << true << 719 << 481 << 61;
    QTest::newRow("yuv odd size, tight") << true << 719 << 481 << 0;
    QTest::newRow("yuv 640x360") << true << 640 << 360 << 0;
    QTest::newRow("bgra odd size, tight") << false << 719 << 481 << 0;
    QTest::newRow("bgra odd size, padded") << false << 719 << 481 << 260;
}

void tst_NSOpenGLVideoView::pictureMatchesFfmpeg()
{
    QFETCH(bool, planar);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, extra);
    RawVideoFrame frame = planar ? RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", width, height, extra)
                                 : RawVideoFrame::bgra(m_dir.path(), "testsrc2", width, height, extra);
    QVERIFY(!frame.isNull());
    NSOpenGLVideoView view;
    showSized(view, width, height);
    QVERIFY(deliverFromThread(view, frame, planar));
    expectPicture(view, RawVideoFrame::reference(m_dir.path(), "testsrc2", width, height));
}

void tst_NSOpenGLVideoView::texturesFollowSizeAndStride()
{
    struct Step
    {
        const char *source;
        int width;
        int height;
        int extra;
    };
    // Smaller after larger, the same size with a new picture, then a stride that outgrows the texture.
    const Step steps[] = {{"testsrc2", 320, 240, 0},   {"smptebars", 719, 481, 100}, {"testsrc2", 320, 240, 0},
                          {"smptebars", 320, 240, 0},  {"testsrc2", 320, 240, 400}};
    NSOpenGLVideoView view;
    for (const Step &step : steps) {
        RawVideoFrame frame = RawVideoFrame::yuv420p(m_dir.path(), step.source, step.width, step.height, step.extra);
        QVERIFY(!frame.isNull());
        showSized(view, step.width, step.height);
        QVERIFY(deliverFromThread(view, frame, true));
        expectPicture(view, RawVideoFrame::reference(m_dir.path(), step.source, step.width, step.height));
    }
}

void tst_NSOpenGLVideoView::packedPictureWinsOverPlanar()
{
    RawVideoFrame packed = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 320, 240, 0);
    RawVideoFrame planar = RawVideoFrame::yuv420p(m_dir.path(), "smptebars", 320, 240, 0);
    QVERIFY(!packed.isNull() && !planar.isNull());
    NSOpenGLVideoView view;
    showSized(view, 320, 240);
    QVERIFY(deliverFromThread(view, packed, false));
    QVERIFY(deliverFromThread(view, planar, true));
    QCoreApplication::sendPostedEvents();
    expectPicture(view, RawVideoFrame::reference(m_dir.path(), "testsrc2", 320, 240));
}

void tst_NSOpenGLVideoView::clearShowsBlack()
{
    RawVideoFrame frame = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 320, 240, 0);
    QVERIFY(!frame.isNull());
    const QImage expected = RawVideoFrame::reference(m_dir.path(), "testsrc2", 320, 240);
    NSOpenGLVideoView view;
    showSized(view, 320, 240);
    QVERIFY(deliverFromThread(view, frame, true));
    expectPicture(view, expected);
    QVERIFY(view.showYUVImage(nullptr, 0, 0, nullptr));
    QTRY_COMPARE_WITH_TIMEOUT(RawVideoFrame::mismatch(view.grabFramebuffer(), black(320, 240), 0), 0.0, kWait);
    QVERIFY(deliverFromThread(view, frame, true));
    expectPicture(view, expected);
}

void tst_NSOpenGLVideoView::frameBeforeContextIsKept()
{
    RawVideoFrame frame = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 719, 481, 61);
    QVERIFY(!frame.isNull());
    NSOpenGLVideoView view;
    view.resize(719, 481);
    QVERIFY(deliverFromThread(view, frame, true));
    QCoreApplication::sendPostedEvents();
    QVERIFY(!view.isValid());
    showSized(view, 719, 481);
    expectPicture(view, RawVideoFrame::reference(m_dir.path(), "testsrc2", 719, 481));
}

void tst_NSOpenGLVideoView::waitingFramesBounded_data()
{
    QTest::addColumn<bool>("planar");
    QTest::addColumn<QString>("line");
    QTest::newRow("packed") << false << "showImage too slow...\n";
    QTest::newRow("planar") << true << "showYUVImage too slow...\n";
}

void tst_NSOpenGLVideoView::waitingFramesBounded()
{
    QFETCH(bool, planar);
    QFETCH(QString, line);
    RawVideoFrame frame = planar ? RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 64, 48, 0)
                                 : RawVideoFrame::bgra(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!frame.isNull());
    NSOpenGLVideoView view;
    showSized(view, 64, 48);
    QSignalSpy dropped(&view, &NSOpenGLVideoView::emitFrameDropped);
    // Nothing runs on the main thread in between, so every accepted frame waits.
    for (int round = 0; round < 2; ++round) {
        QString printed = captureStdout([&] {
            for (int i = 0; i < 9; ++i)
                QVERIFY(deliver(view, frame, planar));
        });
        QVERIFY(printed.isEmpty());
        printed = captureStdout([&] { QVERIFY(!deliver(view, frame, planar)); });
        QCOMPARE(printed, line);
        QCOMPARE(view.droppedCount(), round + 1LL);
        QVERIFY(planar ? view.showYUVImage(nullptr, 0, 0, nullptr) : view.showImage(nullptr, 0, 0, 0));
        // The loss is told of once, when the waiting frames are shown.
        QCOMPARE(dropped.count(), round);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(dropped.count(), round + 1);
    }
    QVERIFY(deliver(view, frame, planar));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dropped.count(), 2);
    // Clear requests are no pictures.
    QCOMPARE(view.shownCount(), 19LL);
    QCOMPARE(view.droppedCount(), 2LL);
}

void tst_NSOpenGLVideoView::unsoundFramesRefused_data()
{
    QTest::addColumn<bool>("planar");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QVector<int>>("strides");
    QTest::addColumn<bool>("nullChroma");
    QTest::newRow("packed stride x height overflows") << false << 16384 << 65536 << QVector<int>{65536} << false;
    QTest::newRow("packed stride below width") << false << 100 << 10 << QVector<int>{396} << false;
    QTest::newRow("packed stride not whole pixels") << false << 100 << 10 << QVector<int>{402} << false;
    QTest::newRow("packed no rows") << false << 100 << 0 << QVector<int>{400} << false;
    QTest::newRow("packed negative width") << false << -4 << 10 << QVector<int>{400} << false;
    QTest::newRow("planar luma overflows") << true << 40000 << 65535 << QVector<int>{40000, 20000, 20000} << false;
    QTest::newRow("planar chroma stride below width") << true << 100 << 10 << QVector<int>{100, 48, 52} << false;
    QTest::newRow("planar stride not aligned") << true << 100 << 10 << QVector<int>{102, 52, 52} << false;
    QTest::newRow("planar missing plane") << true << 100 << 10 << QVector<int>{100, 52, 52} << true;
}

void tst_NSOpenGLVideoView::unsoundFramesRefused()
{
    QFETCH(bool, planar);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QVector<int>, strides);
    QFETCH(bool, nullChroma);
    RawVideoFrame good = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!good.isNull());
    // The refused frames are never read, so a small buffer stands behind every plane.
    QByteArray buffer(4096, char(16));
    unsigned char *data = reinterpret_cast<unsigned char *>(buffer.data());
    unsigned char *planes[3] = {data, nullChroma ? nullptr : data, data};
    NSOpenGLVideoView view;
    showSized(view, 64, 48);
    QSignalSpy dropped(&view, &NSOpenGLVideoView::emitFrameDropped);
    for (int i = 0; i < 12; ++i) {
        const bool accepted = planar ? view.showYUVImage(planes, width, height, strides.data())
                                     : view.showImage(data, width, height, strides[0]);
        QVERIFY(!accepted);
    }
    // The refusals left the count alone: nine frames still fit, and they are no loss to make good.
    for (int i = 0; i < 9; ++i)
        QVERIFY(deliver(view, good, true));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dropped.count(), 0);
    for (int i = 0; i < 9; ++i)
        QVERIFY(deliver(view, good, true));
    QVERIFY(!deliver(view, good, true));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dropped.count(), 1);
}

void tst_NSOpenGLVideoView::buffersReused_data()
{
    QTest::addColumn<bool>("planar");
    QTest::newRow("packed") << false;
    QTest::newRow("planar") << true;
}

// Steady play takes its copies from buffers made earlier; the pool grows only as far as frames wait at once
// and starts again at a new size.
void tst_NSOpenGLVideoView::buffersReused()
{
    QFETCH(bool, planar);
    auto make = [&](int width, int height) {
        return planar ? RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", width, height, 12)
                      : RawVideoFrame::bgra(m_dir.path(), "testsrc2", width, height, 12);
    };
    RawVideoFrame frame = make(320, 240);
    RawVideoFrame other = make(160, 120);
    QVERIFY(!frame.isNull() && !other.isNull());
    NSOpenGLVideoView view;
    showSized(view, 320, 240);
    for (int i = 0; i < 20; ++i) {
        QVERIFY(deliverFromThread(view, frame, planar));
        QCoreApplication::sendPostedEvents();
    }
    QCOMPARE(view.bufferCount(), 1);
    QCOMPARE(view.shownCount(), 20LL);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 9; ++i)
            QVERIFY(deliver(view, frame, planar));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(view.bufferCount(), 9);
    }
    expectPicture(view, RawVideoFrame::reference(m_dir.path(), "testsrc2", 320, 240));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(deliver(view, other, planar));
        QCoreApplication::sendPostedEvents();
    }
    QCOMPARE(view.bufferCount(), 1);
    QCOMPARE(view.shownCount(), 52LL);
    QCOMPARE(view.droppedCount(), 0LL);
}

QTEST_MAIN(tst_NSOpenGLVideoView)
#include "tst_nsopenglvideoview.moc"
