#include "engine/nsopenglvideoview.h"
#include "engine/nsvideoview.h"
#include "engine/qmediaelementwindow.h"
#include "engine/qvideoelementwindow.h"
#include "rawvideoframe.h"

#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include "glleaks.h"
#include "openglview.h"

#include <atomic>
#include <chrono>
#include <thread>

class tst_QMediaElementWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void elementGeometry_data();
    void elementGeometry();
    void fittingIgnoresArgumentsBelowOne_data();
    void fittingIgnoresArgumentsBelowOne();
    void mouseEventsRelayed_data();
    void mouseEventsRelayed();
    void clicksOnThePictureReachThePane();
    void elementFollowsVisibility();
    void framesReachTheView();
    void bitmapViewTakesPackedFramesOnly();
    void replacingViewWhileDelivering();
    void frameCountsOfTheView();

private:
    QVideoElementWindow *element(QMediaElementWindow &pane);

    QTemporaryDir m_dir;
};

void tst_QMediaElementWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QVideoElementWindow *tst_QMediaElementWindow::element(QMediaElementWindow &pane)
{
    return pane.findChild<QVideoElementWindow *>("m_videoElement");
}

void tst_QMediaElementWindow::elementGeometry_data()
{
    QTest::addColumn<QSize>("paneSize");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("fit 16:9") << QSize(800, 600) << true << QSize(1920, 1080) << QRect(0, 75, 800, 450);
    QTest::newRow("fit 4:3") << QSize(800, 600) << true << QSize(4, 3) << QRect(0, 0, 800, 600);
    QTest::newRow("fit 9:16") << QSize(800, 600) << true << QSize(9, 16) << QRect(231, 0, 337, 600);
    QTest::newRow("fit odd margin") << QSize(200, 100) << true << QSize(101, 100) << QRect(49, 0, 101, 100);
    QTest::newRow("native larger than pane") << QSize(800, 600) << false << QSize(1920, 1080)
                                             << QRect(0, 0, 800, 600);
    QTest::newRow("native smaller than pane") << QSize(800, 600) << false << QSize(320, 240)
                                              << QRect(240, 180, 320, 240);
}

void tst_QMediaElementWindow::elementGeometry()
{
    QFETCH(QSize, paneSize);
    QFETCH(bool, fit);
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    QMediaElementWindow pane;
    pane.resize(paneSize);
    QSignalSpy changed(&pane, &QMediaElementWindow::emitVideoElementSizeChange);
    if (fit)
        pane.setVideoElementSize(picture.width(), picture.height());
    else
        pane.setVideoSize(picture.width(), picture.height());
    QCOMPARE(element(pane)->geometry(), expected);
    QCOMPARE(pane.getVideoElementRect(), expected);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toRect(), expected);
}

void tst_QMediaElementWindow::fittingIgnoresArgumentsBelowOne_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("zero width") << 0 << 9;
    QTest::newRow("zero height") << 16 << 0;
    QTest::newRow("negative width") << -16 << 9;
}

void tst_QMediaElementWindow::fittingIgnoresArgumentsBelowOne()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QMediaElementWindow pane;
    pane.resize(800, 600);
    pane.setVideoElementSize(16, 9);
    QSignalSpy changed(&pane, &QMediaElementWindow::emitVideoElementSizeChange);
    pane.setVideoElementSize(width, height);
    QCOMPARE(element(pane)->geometry(), QRect(0, 75, 800, 450));
    QCOMPARE(changed.count(), 0);
}

void tst_QMediaElementWindow::mouseEventsRelayed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("press") << "press";
    QTest::newRow("release") << "release";
    QTest::newRow("double click") << "double";
    QTest::newRow("move") << "move";
}

void tst_QMediaElementWindow::mouseEventsRelayed()
{
    QFETCH(QString, kind);
    QMediaElementWindow pane;
    pane.resize(400, 300);
    QStringList relayed;
    QMouseEvent *relayedEvent = nullptr;
    auto record = [&](const QString &name) {
        return [&relayed, &relayedEvent, name](QMouseEvent *event) {
            relayed << name;
            relayedEvent = event;
        };
    };
    connect(&pane, &QMediaElementWindow::emitMousePressEvent, this, record("press"));
    connect(&pane, &QMediaElementWindow::emitMouseReleaseEvent, this, record("release"));
    connect(&pane, &QMediaElementWindow::emitMouseDoubleClickEvent, this, record("double"));
    connect(&pane, &QMediaElementWindow::emitMouseMoveEvent, this, record("move"));
    const QHash<QString, QEvent::Type> types = {{"press", QEvent::MouseButtonPress},
                                                {"release", QEvent::MouseButtonRelease},
                                                {"double", QEvent::MouseButtonDblClick},
                                                {"move", QEvent::MouseMove}};
    QMouseEvent event(types.value(kind), QPointF(10, 20), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&pane, &event);
    QCOMPARE(relayed, QStringList{kind});
    QCOMPARE(relayedEvent, &event);
}

// A real click from the X server on the picture: the OpenGL view's own window lets it through to the pane.
void tst_QMediaElementWindow::clicksOnThePictureReachThePane()
{
    const QString xdotool = QStandardPaths::findExecutable("xdotool");
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    QMediaElementWindow pane;
    pane.setWindowFlags(Qt::FramelessWindowHint);
    pane.setGeometry(40, 40, 400, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.SetOpenGl(true);
    pane.setVideoElementSize(4, 3);
    NSOpenGLVideoView *view = exposedOpenGlView(&pane);
    QVERIFY(view);
    QSignalSpy pressed(&pane, &QMediaElementWindow::emitMousePressEvent);
    const QPoint middle = view->mapToGlobal(QPoint(view->width() / 2, view->height() / 2));
    QCOMPARE(QProcess::execute(xdotool, {"mousemove", QString::number(middle.x()), QString::number(middle.y()),
                                         "click", "1"}),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(pressed.count(), 1, 30000);
}

void tst_QMediaElementWindow::elementFollowsVisibility()
{
    QMediaElementWindow pane;
    pane.resize(400, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QVERIFY(element(pane)->isVisible());
    pane.setVisible(false);
    QVERIFY(element(pane)->isHidden());
    pane.setVisible(true);
    QVERIFY(element(pane)->isVisible());
}

void tst_QMediaElementWindow::framesReachTheView()
{
    RawVideoFrame frame = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 719, 481, 61);
    QVERIFY(!frame.isNull());
    // Hosted as the player window hosts it: a frameless child of a window.
    QWidget window;
    window.resize(900, 700);
    auto *pane = new QMediaElementWindow(&window);
    pane->setWindowFlags(Qt::FramelessWindowHint);
    pane->setAttribute(Qt::WA_TransparentForMouseEvents);
    pane->setGeometry(50, 50, 800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!pane->showYUVImage(frame.planes(), 719, 481, frame.strides()));
    pane->SetOpenGl(true);
    pane->setVideoSize(719, 481);
    auto *view = openGlView();
    QVERIFY(view);
    QTRY_COMPARE_WITH_TIMEOUT(view->size(), QSize(719, 481), 30000);
    bool accepted = false;
    std::thread worker([&] { accepted = pane->showYUVImage(frame.planes(), 719, 481, frame.strides()); });
    worker.join();
    QVERIFY(accepted);
    const QImage expected = RawVideoFrame::reference(m_dir.path(), "testsrc2", 719, 481);
    QTRY_VERIFY_WITH_TIMEOUT(RawVideoFrame::mismatch(view->grabFramebuffer(), expected, 24) < 0.05, 30000);
    // And on the screen.
    const QRect area(element(*pane)->mapTo(&window, QPoint(0, 0)), QSize(719, 481));
    auto onScreen = [&] {
        return window.screen()->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height()).toImage();
    };
    QTRY_VERIFY_WITH_TIMEOUT(RawVideoFrame::mismatch(onScreen(), expected, 24) < 0.05, 30000);
}

void tst_QMediaElementWindow::bitmapViewTakesPackedFramesOnly()
{
    RawVideoFrame packed = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 64, 48, 0);
    RawVideoFrame planar = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!packed.isNull() && !planar.isNull());
    QMediaElementWindow pane;
    pane.resize(400, 300);
    pane.SetOpenGl(false);
    QVERIFY(element(pane)->findChild<NSVideoView *>());
    QVERIFY(!openGlView());
    QVERIFY(!pane.showYUVImage(planar.planes(), 64, 48, planar.strides()));
    QVERIFY(pane.showImage(packed.planes()[0], 64, 48, unsigned(packed.strides()[0])));
    pane.SetOpenGl(true);
    QVERIFY(!element(pane)->findChild<NSVideoView *>());
    QVERIFY(openGlView());
    QVERIFY(pane.showYUVImage(planar.planes(), 64, 48, planar.strides()));
    QCoreApplication::sendPostedEvents();
}

void tst_QMediaElementWindow::replacingViewWhileDelivering()
{
    RawVideoFrame packed = RawVideoFrame::bgra(m_dir.path(), "testsrc2", 320, 240, 0);
    RawVideoFrame planar = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 320, 240, 36);
    QVERIFY(!packed.isNull() && !planar.isNull());
    QMediaElementWindow pane;
    pane.resize(640, 480);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.setVideoElementSize(4, 3);
    pane.SetOpenGl(true);
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::thread decoder([&] {
        for (unsigned n = 0; !stop; ++n) {
            const bool ok = n % 2 ? pane.showImage(packed.planes()[0], 320, 240, unsigned(packed.strides()[0]))
                                  : pane.showYUVImage(planar.planes(), 320, 240, planar.strides());
            accepted += ok;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (int i = 0; i < 60; ++i) {
        pane.SetOpenGl(i % 5 != 4);
        QTest::qWait(i % 3 * 5);
    }
    pane.SetOpenGl(true);
    QTest::qWait(100);
    stop = true;
    decoder.join();
    QVERIFY(accepted > 0);
    // The last view still shows what arrives.
    auto *view = openGlView();
    QVERIFY(view);
    QCoreApplication::sendPostedEvents();
    QVERIFY(pane.showYUVImage(planar.planes(), 320, 240, planar.strides()));
    QTRY_VERIFY_WITH_TIMEOUT(view->grabFramebuffer().pixel(view->width() / 2, view->height() / 2) != qRgb(0, 0, 0),
                             30000);
}

// The pane tells what its current view drew and refused; a new view starts from nothing.
void tst_QMediaElementWindow::frameCountsOfTheView()
{
    RawVideoFrame planar = RawVideoFrame::yuv420p(m_dir.path(), "testsrc2", 64, 48, 0);
    QVERIFY(!planar.isNull());
    QMediaElementWindow pane;
    pane.resize(400, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    long long shown = -1, dropped = -1;
    pane.frameCounts(&shown, &dropped);
    QCOMPARE(shown, 0LL);
    QCOMPARE(dropped, 0LL);
    pane.SetOpenGl(true);
    // Nothing runs on the main thread in between: nine wait, three are refused.
    for (int i = 0; i < 12; ++i)
        pane.showYUVImage(planar.planes(), 64, 48, planar.strides());
    pane.frameCounts(&shown, &dropped);
    QCOMPARE(shown, 0LL);
    QCOMPARE(dropped, 3LL);
    QCoreApplication::sendPostedEvents();
    pane.frameCounts(&shown, &dropped);
    QCOMPARE(shown, 9LL);
    QCOMPARE(dropped, 3LL);
    pane.SetOpenGl(true);
    pane.frameCounts(&shown, &dropped);
    QCOMPARE(shown, 0LL);
    QCOMPARE(dropped, 0LL);
}

QTEST_MAIN(tst_QMediaElementWindow)
#include "tst_qmediaelementwindow.moc"
