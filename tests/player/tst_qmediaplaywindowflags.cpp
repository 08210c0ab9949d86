// The class-wide window flags: false at start, all four activity flags together make the program
// active, and real window activation in an X server writes them from the control bar's and the
// message popup's event filters.
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindowflags.h"
#include "player/qmessageform.h"
#include "shell/newmainwindowflags.h"

#include <QTimer>
#include <QtTest>

class tst_QMediaPlayWindowFlags : public QObject
{
    Q_OBJECT

private slots:
    void falseAtStart();
    void getActivate_data();
    void getActivate();
    void controlBarActivation();
    void messagePopupActivation();

private:
    static void activate(QWidget &window);
};

void tst_QMediaPlayWindowFlags::falseAtStart()
{
    QVERIFY(!QMediaPlayWindowFlags::m_bPlayBtnActicate);
    QVERIFY(!QMediaPlayWindowFlags::m_bHistoryActicate);
    QVERIFY(!QMediaPlayWindowFlags::m_bHiddenBtnActicate);
    QVERIFY(!QMediaPlayWindowFlags::m_bMessageActicate);
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QVERIFY(!QMediaPlayWindowFlags::getActivate());
    QVERIFY(!NewMainWindowFlags::m_bFullscreen);
    QVERIFY(!NewMainWindowFlags::m_bMouseEnter);
    QVERIFY(!NewMainWindowFlags::m_bMouseInMainWindow);
}

void tst_QMediaPlayWindowFlags::getActivate_data()
{
    QTest::addColumn<bool>("bar");
    QTest::addColumn<bool>("main");
    QTest::addColumn<bool>("overlay");
    QTest::addColumn<bool>("popup");
    QTest::newRow("all four") << true << true << true << true;
    QTest::newRow("bar inactive") << false << true << true << true;
    QTest::newRow("main window inactive") << true << false << true << true;
    QTest::newRow("overlay inactive") << true << true << false << true;
    QTest::newRow("popup inactive") << true << true << true << false;
    QTest::newRow("none") << false << false << false << false;
}

void tst_QMediaPlayWindowFlags::getActivate()
{
    QFETCH(bool, bar);
    QFETCH(bool, main);
    QFETCH(bool, overlay);
    QFETCH(bool, popup);
    QMediaPlayWindowFlags::setPlayBtnDlgActivate(bar);
    QMediaPlayWindowFlags::setHistoryDlgActivate(main);
    QMediaPlayWindowFlags::setHiddenBtnActivate(overlay);
    QMediaPlayWindowFlags::setMessageActivate(popup);
    QCOMPARE(QMediaPlayWindowFlags::m_bPlayBtnActicate, bar);
    QCOMPARE(QMediaPlayWindowFlags::m_bHistoryActicate, main);
    QCOMPARE(QMediaPlayWindowFlags::m_bHiddenBtnActicate, overlay);
    QCOMPARE(QMediaPlayWindowFlags::m_bMessageActicate, popup);
    QCOMPARE(QMediaPlayWindowFlags::getActivate(), bar && main && overlay && popup);
    QMediaPlayWindowFlags::setPlayBtnDlgActivate(false);
    QMediaPlayWindowFlags::setHistoryDlgActivate(false);
    QMediaPlayWindowFlags::setHiddenBtnActivate(false);
    QMediaPlayWindowFlags::setMessageActivate(false);
}

void tst_QMediaPlayWindowFlags::activate(QWidget &window)
{
    window.activateWindow();
    window.raise();
    QVERIFY(QTest::qWaitForWindowActive(&window, 20000));
}

void tst_QMediaPlayWindowFlags::controlBarActivation()
{
    QWidget main;
    main.setWindowTitle("main");
    main.setGeometry(100, 100, 800, 500);
    PlayBtnWidget bar(&main);
    bar.setGeometry(130, 528, 740, 60);
    main.show();
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    activate(bar);
    QTRY_VERIFY_WITH_TIMEOUT(QMediaPlayWindowFlags::m_bPlayBtnActicate, 20000);
    // Another window of the program takes the activation: the bar was deactivated.
    activate(main);
    QTRY_VERIFY_WITH_TIMEOUT(!QMediaPlayWindowFlags::m_bPlayBtnActicate, 20000);
    QVERIFY(!QMediaPlayWindowFlags::m_bMessageActicate);
}

void tst_QMediaPlayWindowFlags::messagePopupActivation()
{
    QWidget main;
    main.setGeometry(100, 100, 800, 500);
    QMessageForm popup(&main);
    popup.setGeometry(125, 125, 775, 50);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    activate(main);
    popup.setMeassge("Activated");
    popup.show();
    // Held up for the test: on a busy machine its 2.4 s could run out before the activation.
    popup.findChild<QTimer *>()->stop();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));

    // The popup consumes its activation events, so only the flag tells that it is active.
    popup.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QMediaPlayWindowFlags::m_bMessageActicate, 20000);
    activate(main);
    QTRY_VERIFY_WITH_TIMEOUT(!QMediaPlayWindowFlags::m_bMessageActicate, 20000);
    QVERIFY(!QMediaPlayWindowFlags::m_bPlayBtnActicate);
}

QTEST_MAIN(tst_QMediaPlayWindowFlags)
#include "tst_qmediaplaywindowflags.moc"
