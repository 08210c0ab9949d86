// The window bases: event order, title-bar button factories and the title bar.
#include "toolkit/qbasemainwindow.h"
#include "toolkit/qtitlebar.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbuttonext.h"
#include "toolkit/qzrdialogex.h"
#include "toolkit/qzrmainwindowex.h"
#include "toolkit/qzrwidget.h"

#include "services/qianyutil.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QMouseEvent>
#include <QtTest>

namespace {

// Records the size each layout pass sees.
class LayoutDialog : public QZRDialog
{
public:
    QList<QSize> seen;
    void resetControlLocation() override { seen << size(); }
};

class TitledDialog : public QZRDialogEx
{
public:
    QZRBaseButton *closeButton() const { return m_btnClose; }
    QZRBaseButton *minButton() const { return m_btnMin; }
    QZRBaseButton *maxButton() const { return m_btnMax; }
};

class TitledWindow : public QZRMainWindowEx
{
public:
    QZRButtonExt *maxButton() const { return m_btnMax; }
    QZRButtonExt *restoreButton() const { return m_btnRestore; }
};

QString image(const char *name)
{
    return QIAnyUtil::getResourcePath() + "/images/" + name;
}

void doubleClick(QWidget &widget)
{
    const QPoint global = widget.mapToGlobal(QPoint(60, 60));
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(60, 60), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &click);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 60), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

}

class tst_QZRWindowBases : public QObject
{
    Q_OBJECT

private slots:
    void layoutRunsAfterResizeAndShow();
    void dialogExButtons();
    void dialogExIsFixed();
    void factoryTwiceLeavesOneButton();
    void mainWindowExButtonsAndMaximise();
    void titleBarPlacesButtonsAtRight();
    void baseMainWindowMaximisesAndMoves();
};

void tst_QZRWindowBases::layoutRunsAfterResizeAndShow()
{
    LayoutDialog dialog;
    dialog.resize(300, 200);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.seen.isEmpty());
    QCOMPARE(dialog.seen.last(), QSize(300, 200));
    dialog.resize(320, 240);
    QTRY_COMPARE(dialog.seen.last(), QSize(320, 240));
}

void tst_QZRWindowBases::dialogExButtons()
{
    TitledDialog dialog;
    dialog.addCloseBtn(image("btn_close.png"), true);
    dialog.addMinBtn(image("btn_min.png"), true);
    dialog.addMaxBtn(image("btn_max.png"), false);
    dialog.addRestoreBtn(image("btn_normal.png"), true);

    QCOMPARE(dialog.closeButton()->pos(), QPoint(16, 13));
    QCOMPARE(dialog.minButton()->pos(), QPoint(36, 13));
    QCOMPARE(dialog.maxButton()->pos(), QPoint(56, 13));
    QVERIFY(dialog.closeButton()->isEnabled());
    QVERIFY(!dialog.minButton()->isEnabled());
    QVERIFY(!dialog.maxButton()->isEnabled());
    QVERIFY(dialog.maxButton()->isHidden());
    QCOMPARE(dialog.closeButton()->toolTip(), QString("Close"));
    QVERIFY(dialog.closeButton()->isCustomDraw());
    QVERIFY(dialog.closeButton()->width() > 0 && dialog.closeButton()->height() > 0);
    QCOMPARE(dialog.findChildren<QZRBaseButton *>().size(), 3);
}

void tst_QZRWindowBases::dialogExIsFixed()
{
    QZRDialogEx dialog;
    dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setGeometry(100, 100, 200, 150);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.testAttribute(Qt::WA_Hover));
    doubleClick(dialog);
    QVERIFY(!dialog.isMaxSize());
    QMouseEvent hover(QEvent::MouseMove, QPointF(0, 60), QPointF(100, 160), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&dialog, &hover);
    QCOMPARE(dialog.cursorAndState(), QBaseDrawWidget::CursorNone);
}

void tst_QZRWindowBases::factoryTwiceLeavesOneButton()
{
    TitledDialog dialog;
    dialog.addCloseBtn(image("btn_close.png"), true);
    dialog.addCloseBtn(image("btn_close.png"), true);
    QCOMPARE(dialog.findChildren<QZRBaseButton *>().size(), 1);

    TitledWindow window;
    window.addMaxBtn(image("btn_max.png"), true);
    window.addMaxBtn(image("btn_max.png"), true);
    QCOMPARE(window.findChildren<QZRButtonExt *>().size(), 1);
}

void tst_QZRWindowBases::mainWindowExButtonsAndMaximise()
{
    TitledWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.addMaxBtn(image("btn_max.png"), true);
    window.addRestoreBtn(image("btn_normal.png"), false);
    QCOMPARE(window.maxButton()->pos(), QPoint(48, 5));
    QCOMPARE(window.restoreButton()->pos(), QPoint(48, 5));
    QCOMPARE(window.maxButton()->toolTip(), QString("Maximize"));
    QVERIFY(window.restoreButton()->isHidden());

    window.setGeometry(100, 100, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    doubleClick(window);
    QVERIFY(window.isMaxSize());
    doubleClick(window);
    QVERIFY(!window.isMaxSize());
    QTRY_COMPARE(window.geometry(), QRect(100, 100, 300, 200));
}

void tst_QZRWindowBases::titleBarPlacesButtonsAtRight()
{
    QTitleBar bar;
    QSignalSpy closed(&bar, &QTitleBar::emitClose);
    QSignalSpy restored(&bar, &QTitleBar::emitFullToNormal);
    bar.resize(400, 40);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    auto *close = bar.findChild<QZRBaseButton *>("m_btnClose");
    auto *normal = bar.findChild<QZRBaseButton *>("m_btnNormal");
    auto *minimize = bar.findChild<QZRBaseButton *>("m_btnMinimize");
    QVERIFY(close && normal && minimize);
    QVERIFY(close->isCustomDraw() && normal->isCustomDraw() && minimize->isCustomDraw());
    QCOMPARE(close->geometry().right(), 399);
    QCOMPARE(close->y(), 0);
    QCOMPARE(normal->geometry().right(), close->x() - 1);
    QCOMPARE(minimize->geometry().right(), normal->x() - 1);
    QCOMPARE(bar.getDlgTitle(), QString("ZRPlayer"));

    close->click();
    normal->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(restored.count(), 1);
}

void tst_QZRWindowBases::baseMainWindowMaximisesAndMoves()
{
    QBaseMainWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.onMaximized();
    const QRect available = QApplication::desktop()->availableGeometry(-1);
    QTRY_COMPARE(window.geometry(), QRect(0, 0, QApplication::desktop()->width(), available.height()));
    window.onNormal();
    QTRY_COMPARE(window.geometry(), QRect(100, 100, 300, 200));

    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, window.mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    // The left resize band is 4 pixels wide inside the window.
    send(QEvent::MouseMove, QPoint(102, 200), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
    send(QEvent::MouseMove, QPoint(200, 200), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);

    // A drag within the top 32 pixels moves the window.
    send(QEvent::MouseButtonPress, QPoint(200, 110), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(250, 160), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(250, 160), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(window.pos(), QPoint(150, 150));
}

QTEST_MAIN(tst_QZRWindowBases)
#include "tst_qzrwindowbases.moc"
