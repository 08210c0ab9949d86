// The floating controls over the player window in a real X server: where they are placed, how
// they follow the pointer and hide at rest, what keeps them hidden, the always-on-top mode and the
// full-screen requests.
#include "playwindowhost.h"

#include "engine/playmetatypes.h"
#include "shell/newmainwindowflags.h"

#include <QAbstractButton>
#include <QCursor>
#include <QElapsedTimer>

using namespace PlayWindowTest;

class tst_QMediaPlayWindowControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void placedOverTheWindow();
    void overlayAsksForThePlaylist();
    void hideAtRestAndComeBack_data();
    void hideAtRestAndComeBack();
    void edges_data();
    void edges();
    void keptHidden_data();
    void keptHidden();
    void setChildWindowTop();
    void alwaysOnTopTwice_data();
    void alwaysOnTopTwice();
    void fullScreenRequests_data();
    void fullScreenRequests();

private:
    // The host's main window lies at (100, 50), 800 by 500.
    static QPoint at(int dx, int dy) { return QPoint(100 + dx, 50 + dy); }
};

namespace {

const int Long = 180000;

bool controlsShown(const Host &host)
{
    return host.bar->isVisible();
}

void pointTo(const QPoint &global)
{
    QCursor::setPos(global);
    QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), global, Long);
}

// Moves the pointer in or out and waits until the hide timer has seen it there and the controls
// follow: a pointer resting before the first tick would count as resting already.
void settle(const Host &host, const QPoint &global, bool inside)
{
    NewMainWindowFlags::m_bMouseInMainWindow = !inside;
    pointTo(global);
    QTRY_COMPARE_WITH_TIMEOUT(NewMainWindowFlags::m_bMouseInMainWindow, inside, Long);
    QTRY_COMPARE_WITH_TIMEOUT(controlsShown(host), inside, Long);
}

}

void tst_QMediaPlayWindowControls::initTestCase()
{
    registerPlayMetaTypes();
}

// The host plays the main window, whose activation makes the program active.
void tst_QMediaPlayWindowControls::init()
{
    QMediaPlayWindow::setHistoryDlgActivate(true);
    QMediaPlayWindow::m_bWindowShowTop = false;
    pointTo(QPoint(1500, 1100));
}

void tst_QMediaPlayWindowControls::cleanup()
{
    QMediaPlayWindow::setHistoryDlgActivate(false);
    QMediaPlayWindow::m_bWindowShowTop = false;
}

void tst_QMediaPlayWindowControls::placedOverTheWindow()
{
    Host host;
    host.show();
    QCOMPARE(host.window->mapToGlobal(QPoint(0, 0)), QPoint(100, 50));
    QCOMPARE(host.bar->geometry(), QRect(130, 478, 740, 60));
    QCOMPARE(host.popup->geometry(), QRect(125, 75, 775, 50));
    QCOMPARE(host.pane("m_cover")->geometry(), QRect(0, 0, 800, 500));
    const QSize overlay = host.overlay->size();
    QCOMPARE(host.overlay->pos(), QPoint(900 - overlay.width(), 50 + (500 - overlay.height()) / 2));

    host.window->resize(600, 400);
    QCOMPARE(host.bar->geometry(), QRect(130, 378, 540, 60));
    QCOMPARE(host.pane("m_mediaVideo")->size(), QSize(600, 400));
    QCOMPARE(host.pane("m_mediaAudio")->size(), QSize(600, 400));
}

// The first show puts the overlay up (the pointer, outside, takes it away at the next tick);
// both of its buttons ask the main window to toggle the panel; the main window says which of
// them shows.
void tst_QMediaPlayWindowControls::overlayAsksForThePlaylist()
{
    Host host;
    host.main.show();
    QVERIFY(host.overlay->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&host.main, Long));
    QSignalSpy toggles(host.window, &QMediaPlayWindow::emitIsHiddenPlayList);
    emit host.overlay->emitShowPlayList();
    emit host.overlay->emitHiddenPlayList();
    QCOMPARE(toggles.count(), 2);
    host.window->setHiddenPlayListBtnState(true);
    QCOMPARE(host.overlay->getHiddenBtnState(), HiddenBtnState_ShowShowButton);
    host.window->setHiddenPlayListBtnState(false);
    QCOMPARE(host.overlay->getHiddenBtnState(), HiddenBtnState_ShowHideButton);
}

void tst_QMediaPlayWindowControls::hideAtRestAndComeBack_data()
{
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("window") << false;
    QTest::newRow("full screen: the pointer goes too") << true;
}

// About three seconds of rest hide the controls; a one-pixel move brings them back.
void tst_QMediaPlayWindowControls::hideAtRestAndComeBack()
{
    QFETCH(bool, fullScreen);
    Host host;
    host.show();
    host.window->mainIsFullScreen(fullScreen);
    settle(host, QPoint(1500, 1100), false);
    settle(host, at(400, 250), true);

    QElapsedTimer rest;
    rest.start();
    QTRY_VERIFY_WITH_TIMEOUT(!controlsShown(host), Long);
    QVERIFY(rest.elapsed() >= 2500);
    QCOMPARE(host.window->cursor().shape(), fullScreen ? Qt::BlankCursor : Qt::ArrowCursor);

    QVERIFY(!host.overlay->isVisible());

    pointTo(at(401, 250));
    QTRY_VERIFY_WITH_TIMEOUT(controlsShown(host), Long);
    QCOMPARE(host.window->cursor().shape(), Qt::ArrowCursor);
    // In full screen the bar comes back alone.
    QCOMPARE(host.overlay->isVisible(), !fullScreen);

    settle(host, QPoint(1500, 1100), false);
}

void tst_QMediaPlayWindowControls::edges_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("inside");
    QTest::newRow("3 from the left") << QPoint(3, 250) << false;
    QTest::newRow("4 from the left") << QPoint(4, 250) << true;
    QTest::newRow("3 from the top") << QPoint(400, 3) << false;
    QTest::newRow("4 from the top") << QPoint(400, 4) << true;
    QTest::newRow("3 from the right") << QPoint(797, 250) << false;
    QTest::newRow("4 from the right") << QPoint(796, 250) << true;
    QTest::newRow("3 from the bottom") << QPoint(400, 497) << false;
    QTest::newRow("4 from the bottom") << QPoint(400, 496) << true;
}

// Each point is reached from the other state, so the controls must change to pass.
void tst_QMediaPlayWindowControls::edges()
{
    QFETCH(QPoint, offset);
    QFETCH(bool, inside);
    Host host;
    host.show();
    settle(host, QPoint(1500, 1100), false);
    if (!inside)
        settle(host, at(400, 250), true);
    settle(host, at(offset.x(), offset.y()), inside);
}

void tst_QMediaPlayWindowControls::keptHidden_data()
{
    QTest::addColumn<bool>("dialogUp");
    QTest::newRow("a dialog of the program is up") << true;
    QTest::newRow("no window of the program is active") << false;
}

void tst_QMediaPlayWindowControls::keptHidden()
{
    QFETCH(bool, dialogUp);
    Host host;
    host.show();
    settle(host, QPoint(1500, 1100), false);
    settle(host, at(400, 250), true);

    if (dialogUp)
        QMediaPlayWindow::m_bWindowShowTop = true;
    else
        QMediaPlayWindow::setHistoryDlgActivate(false);
    QTRY_VERIFY_WITH_TIMEOUT(!controlsShown(host), Long);
    pointTo(at(410, 260));
    QTRY_VERIFY_WITH_TIMEOUT(!controlsShown(host), Long);

    if (dialogUp)
        QMediaPlayWindow::m_bWindowShowTop = false;
    else
        QMediaPlayWindow::setHistoryDlgActivate(true);
    pointTo(at(420, 270));
    QTRY_VERIFY_WITH_TIMEOUT(controlsShown(host), Long);
}

void tst_QMediaPlayWindowControls::setChildWindowTop()
{
    Host host;
    host.show();
    host.window->setChildWindowTop(true);
    QVERIFY(controlsShown(host));
    host.window->setChildWindowTop(false);
    QVERIFY(!controlsShown(host));
}

void tst_QMediaPlayWindowControls::alwaysOnTopTwice_data()
{
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<int>("barFlags");
    QTest::newRow("window") << false << int(Qt::Dialog | Qt::FramelessWindowHint);
    QTest::newRow("full screen") << true << int(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

void tst_QMediaPlayWindowControls::alwaysOnTopTwice()
{
    QFETCH(bool, fullScreen);
    QFETCH(int, barFlags);
    Host host;
    host.show();
    host.window->mainIsFullScreen(fullScreen);
    const Qt::WindowFlags plain = Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                  Qt::WindowMinimizeButtonHint;

    host.window->windowAlwaysFront();
    QCOMPARE(host.main.windowFlags(), plain | Qt::WindowStaysOnTopHint);
    QVERIFY(host.main.isVisible());
    QCOMPARE(int(host.bar->windowFlags()), barFlags);

    host.window->windowAlwaysFront();
    QCOMPARE(host.main.windowFlags(), plain);
    QVERIFY(host.main.isVisible());
    QCOMPARE(int(host.bar->windowFlags()), barFlags);
}

void tst_QMediaPlayWindowControls::fullScreenRequests_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("double click on the cover") << "cover";
    QTest::newRow("double click on the audio pane") << "audio";
    QTest::newRow("the bar's full screen button") << "m_btnFullScreen";
    QTest::newRow("the bar's restore button") << "m_btnNormalScreen";
}

void tst_QMediaPlayWindowControls::fullScreenRequests()
{
    QFETCH(QString, trigger);
    Host host;
    host.show();
    host.window->setAcceptDrops(false);
    QSignalSpy requests(host.window, &QMediaPlayWindow::emitIsFullScreen);
    if (trigger == "cover") {
        QTest::mouseDClick(host.pane("m_cover"), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    } else if (trigger == "audio") {
        host.window->setMediaType(MediaType_Audio);
        QTest::mouseDClick(host.pane("m_mediaAudio"), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    } else {
        host.bar->findChild<QAbstractButton *>(trigger)->click();
    }
    QCOMPARE(requests.count(), 1);
    QVERIFY(host.window->acceptDrops());
}

QTEST_MAIN(tst_QMediaPlayWindowControls)
#include "tst_qmediaplaywindow_controls.moc"
