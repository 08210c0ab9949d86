// The playlist overlay in a real X server: which button each state offers, one notification a
// click however often it is resized, the enter and leave notices, and the activation flag.
#include "player/qmediaplaywindowflags.h"
#include "playlist/qhiddendlg.h"
#include "toolkit/qzrbasebutton.h"

#include <QResizeEvent>
#include <QtTest>

class tst_QHiddenDlg : public QObject
{
    Q_OBJECT

private slots:
    void buttonsForState_data();
    void buttonsForState();
    void oneClickOneNotice_data();
    void oneClickOneNotice();
    void enterAndLeave();
    void activationSetsTheOverlayFlag();

private:
    static QZRBaseButton *button(QHiddenDlg &overlay, const char *name)
    {
        return overlay.findChild<QZRBaseButton *>(name);
    }
    static void activate(QWidget &window)
    {
        window.activateWindow();
        window.raise();
        QVERIFY(QTest::qWaitForWindowActive(&window, 20000));
    }
};

void tst_QHiddenDlg::buttonsForState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("showButton");
    QTest::addColumn<bool>("hideButton");

    QTest::newRow("0: the list is shown") << 0 << false << true;
    QTest::newRow("1: the list is hidden") << 1 << true << false;
    QTest::newRow("2: neither") << 2 << false << false;
    QTest::newRow("3: neither") << 3 << false << false;
    QTest::newRow("7: as 0") << 7 << false << true;
}

void tst_QHiddenDlg::buttonsForState()
{
    QFETCH(int, state);
    QFETCH(bool, showButton);
    QFETCH(bool, hideButton);

    QHiddenDlg overlay;
    QCOMPARE(int(overlay.getHiddenBtnState()), 0);
    QCOMPARE(overlay.size(), QSize(15, 90));
    overlay.setHiddenBtnState(HiddenBtnState(state));
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    QCOMPARE(int(overlay.getHiddenBtnState()), state);
    QCOMPARE(button(overlay, "m_btnShow")->isVisible(), showButton);
    QCOMPARE(button(overlay, "m_btnHidden")->isVisible(), hideButton);
    QVERIFY(overlay.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(overlay.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void tst_QHiddenDlg::oneClickOneNotice_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("show");

    QTest::newRow("show the list") << 1 << QByteArray("m_btnShow") << true;
    QTest::newRow("hide the list") << 0 << QByteArray("m_btnHidden") << false;
}

void tst_QHiddenDlg::oneClickOneNotice()
{
    QFETCH(int, state);
    QFETCH(QByteArray, name);
    QFETCH(bool, show);

    QHiddenDlg overlay;
    overlay.setHiddenBtnState(HiddenBtnState(state));
    overlay.move(300, 300);
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    for (int i = 0; i < 4; ++i) {
        QResizeEvent resize(overlay.size(), overlay.size());
        QCoreApplication::sendEvent(&overlay, &resize);
    }
    QSignalSpy shown(&overlay, &QHiddenDlg::emitShowPlayList);
    QSignalSpy hidden(&overlay, &QHiddenDlg::emitHiddenPlayList);
    QZRBaseButton *pressed = button(overlay, name.constData());
    QCOMPARE(pressed->size(), QSize(15, 60));
    QCOMPARE(pressed->geometry().center(), overlay.rect().center());
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(shown.count(), show ? 1 : 0);
    QCOMPARE(hidden.count(), show ? 0 : 1);
}

void tst_QHiddenDlg::enterAndLeave()
{
    QHiddenDlg overlay;
    overlay.move(300, 300);
    QCursor::setPos(100, 100);
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    QSignalSpy entered(&overlay, &QHiddenDlg::emitEnterEvent);
    QSignalSpy left(&overlay, &QHiddenDlg::emitLeaveEvent);
    QCursor::setPos(overlay.mapToGlobal(QPoint(7, 5)));
    QTRY_COMPARE_WITH_TIMEOUT(entered.count(), 1, 20000);
    QCursor::setPos(100, 100);
    QTRY_COMPARE_WITH_TIMEOUT(left.count(), 1, 20000);
}

void tst_QHiddenDlg::activationSetsTheOverlayFlag()
{
    QWidget main;
    main.setGeometry(100, 100, 800, 500);
    QHiddenDlg overlay(&main);
    overlay.move(880, 300);
    main.show();
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    QMediaPlayWindowFlags::setHiddenBtnActivate(false);

    // The overlay consumes its activation events, so only the flag tells that it is active.
    overlay.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QMediaPlayWindowFlags::m_bHiddenBtnActicate, 20000);
    activate(main);
    QTRY_VERIFY_WITH_TIMEOUT(!QMediaPlayWindowFlags::m_bHiddenBtnActicate, 20000);
    QVERIFY(!QMediaPlayWindowFlags::m_bPlayBtnActicate);
}

QTEST_MAIN(tst_QHiddenDlg)
#include "tst_qhiddendlg.moc"
