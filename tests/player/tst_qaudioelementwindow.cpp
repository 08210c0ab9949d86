// The audio pane: its level panel centred at every resize, the mouse passed on as signals, and the
// bars the real playback object's blocks draw on the screen while an audio file plays.
#include "player/qaudiodatawidget.h"
#include "player/qaudioelementwindow.h"

#include "engine/playmetatypes.h"
#include "engine/zrqplayobject.h"
#include "levelbars.h"

#include <QScreen>
#include <QtTest>

using namespace LevelBars;

Q_DECLARE_METATYPE(QMouseEvent *)

class tst_QAudioElementWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void levelPanelCentred_data();
    void levelPanelCentred();
    void mouseLeavesAsSignals();
    void playingAudioDrawsBarsAndPauseClearsThem();
};

namespace {

// Records the mouse presses that reach a widget.
class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// What the screen shows of the level panel.
QImage onScreen(QWidget *levels)
{
    const QPoint at = levels->mapTo(levels->window(), QPoint(0, 0));
    return levels->screen()
        ->grabWindow(levels->window()->winId(), at.x(), at.y(), levels->width(), levels->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}

void tst_QAudioElementWindow::initTestCase()
{
    registerPlayMetaTypes();
    qRegisterMetaType<QMouseEvent *>();
}

void tst_QAudioElementWindow::levelPanelCentred_data()
{
    QTest::addColumn<QSize>("pane");
    QTest::newRow("form size") << QSize(875, 580);
    QTest::newRow("odd") << QSize(501, 301);
    QTest::newRow("smaller than the panel") << QSize(300, 200);
}

void tst_QAudioElementWindow::levelPanelCentred()
{
    QFETCH(QSize, pane);
    QAudioElementWindow window;
    auto *levels = window.findChild<QAudioDataWidget *>();
    QVERIFY(levels);
    QCOMPARE(levels->geometry(), QRect(2, 2, 390, 230));
    window.resize(pane);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(levels->geometry(),
             QRect((pane.width() - 390) / 2, (pane.height() - 230) / 2, 390, 230));
    QVERIFY(levels->isVisible());
}

void tst_QAudioElementWindow::mouseLeavesAsSignals()
{
    PressCounter parent;
    parent.resize(875, 580);
    auto *window = new QAudioElementWindow(&parent);
    window->resize(875, 580);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(window->testAttribute(Qt::WA_MouseTracking));

    QSignalSpy presses(window, &QAudioElementWindow::emitMousePressEvent);
    QSignalSpy doubles(window, &QAudioElementWindow::emitMouseDoubleClickEvent);
    QSignalSpy moves(window, &QAudioElementWindow::emitMouseMoveEvent);
    // Through the window, as the X server delivers them; over the level panel too, which lets the
    // mouse through to the pane.
    for (const QPoint &at : {QPoint(20, 20), QPoint(437, 290)}) {
        QTest::mousePress(parent.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(parent.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    }
    QCOMPARE(presses.count(), 2);
    QCOMPARE(parent.presses, 0);
    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(437, 290));
    QCOMPARE(doubles.count(), 1);
    QTest::mouseMove(window, QPoint(100, 100));
    QTRY_VERIFY(moves.count() >= 1);
}

void tst_QAudioElementWindow::playingAudioDrawsBarsAndPauseClearsThem()
{
    QAudioElementWindow window;
    window.resize(875, 580);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *levels = window.findChild<QAudioDataWidget *>();
    QCOMPARE(colouredPixels(onScreen(levels)), 0);

    ZRQPlayObject player;
    connect(&player, &ZRQPlayObject::emitAudioData, &window, &QAudioElementWindow::setAudioData);
    PlayItemInfo item;
    item.path = ZR_FIXTURES_DIR "/audio.mp3";
    QVERIFY(player.SetPlayFile(&item, 0, 0));
    player.StartPlay();
    QVERIFY(player.isPlayer());

    // The 440 Hz tone lights the bars of the low end of the spectrum.
    QTRY_VERIFY_WITH_TIMEOUT(cells(onScreen(levels), 0) > 0, 20000);
    QVERIFY(player.isPlayer());

    QList<bool> nullBlocks;
    connect(&player, &ZRQPlayObject::emitAudioData, this,
            [&](unsigned char *data, int) { nullBlocks << (data == nullptr); });
    player.pausePlay();
    QCOMPARE(nullBlocks, QList<bool>{true});
    QTRY_COMPARE_WITH_TIMEOUT(colouredPixels(onScreen(levels)), 0, 20000);
}

QTEST_MAIN(tst_QAudioElementWindow)
#include "tst_qaudioelementwindow.moc"
