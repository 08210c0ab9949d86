// The window chrome on real dialogs: nine-grid painting, the edge hit test, moving by the top band,
// keeping the band on screen, resize limits and maximising.
#include "toolkit/qzrdialog.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRgb Cells[9] = {0xff0000ff, 0xff00ff00, 0xffff0000, 0xff00ffff, 0xffff00ff,
                       0xffffff00, 0xff800000, 0xff008000, 0xff000080};

// 60x60 pixels (30x30 logical) whose thirds are the nine colours.
QImage thirds()
{
    QImage image(60, 60, QImage::Format_ARGB32);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            image.setPixel(x, y, Cells[(y / 20) * 3 + x / 20]);
    return image;
}

void send(QWidget &widget, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPoint local = widget.mapFromGlobal(global);
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void hoverAt(QWidget &widget, QPoint global)
{
    send(widget, QEvent::MouseMove, global, Qt::NoButton, Qt::NoButton);
}

void doubleClick(QWidget &widget, QPoint global)
{
    send(widget, QEvent::MouseButtonDblClick, global, Qt::LeftButton, Qt::LeftButton);
    send(widget, QEvent::MouseButtonRelease, global, Qt::LeftButton, Qt::NoButton);
}

void drag(QWidget &widget, QPoint from, QPoint to)
{
    send(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// A frameless dialog at (100, 100), 200 x 150: left 100, top 100, right 299, bottom 249.
struct Window
{
    QZRDialog dialog;
    Window()
    {
        dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        dialog.setGeometry(100, 100, 200, 150);
        dialog.show();
    }
};

}

class tst_QBaseDrawWidget : public QObject
{
    Q_OBJECT

private slots:
    void nineGrid_data();
    void nineGrid();
    void backgroundColourWithoutImage();
    void undecodableBackgroundKeepsSize();
    void gridViewSwitchesStretching();
    void hitTest_data();
    void hitTest();
    void hoverOverChildRestoresCursor();
    void dragByTopBandMoves();
    void pressBelowBandDoesNotMove();
    void releaseBelowScreenSnapsBack_data();
    void releaseBelowScreenSnapsBack();
    void resizeLimits_data();
    void resizeLimits();
    void doubleClickMaximisesAndRestores();
    void centerDlgKeepsOnScreen();
    void logoIsCentredAtFirstPaint();
    void titleIsElidedInTheTopBand();
};

void tst_QBaseDrawWidget::nineGrid_data()
{
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<int>("cell");

    QTest::newRow("top-left") << QPoint(5, 5) << 0;
    QTest::newRow("top strip") << QPoint(50, 5) << 1;
    QTest::newRow("top-right") << QPoint(95, 5) << 2;
    QTest::newRow("left strip") << QPoint(5, 30) << 3;
    QTest::newRow("centre") << QPoint(50, 30) << 4;
    QTest::newRow("right strip") << QPoint(95, 30) << 5;
    QTest::newRow("bottom-left") << QPoint(5, 55) << 6;
    QTest::newRow("bottom strip") << QPoint(50, 55) << 7;
    QTest::newRow("bottom-right") << QPoint(95, 55) << 8;
}

void tst_QBaseDrawWidget::nineGrid()
{
    QFETCH(QPoint, probe);
    QFETCH(int, cell);

    QZRDialog dialog;
    dialog.setBackgroundImage(thirds(), true);
    QCOMPARE(dialog.size(), QSize(30, 30));
    QCOMPARE(dialog.minimumSize(), QSize(30, 30));
    const rectSize corner{10, 10};
    dialog.setGridViewInfo(corner, corner, corner, corner);
    dialog.resize(100, 60);
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(shot.pixelColor(probe), QColor(Cells[cell]));
}

void tst_QBaseDrawWidget::backgroundColourWithoutImage()
{
    QZRDialog dialog;
    dialog.resize(40, 30);
    dialog.setBackgrounColor(QColor(56, 56, 56));
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(56, 56, 56));
    QCOMPARE(shot.pixelColor(39, 29), QColor(56, 56, 56));
}

void tst_QBaseDrawWidget::undecodableBackgroundKeepsSize()
{
    QTemporaryDir dir;
    QFile junk(dir.filePath("bg.png"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("\x89PNG broken");
    junk.close();

    QZRDialog dialog;
    dialog.resize(120, 80);
    dialog.setBackgroundImage(junk.fileName(), true);
    dialog.setBackgroundImage(dir.filePath("missing.png"), true);
    QCOMPARE(dialog.size(), QSize(120, 80));
    QCOMPARE(dialog.minimumSize(), QSize(0, 0));
}

void tst_QBaseDrawWidget::gridViewSwitchesStretching()
{
    Window w;
    const QRect before = w.dialog.geometry();
    w.dialog.setBackgroundImage(thirds(), false);
    w.dialog.setGeometry(before);
    hoverAt(w.dialog, QPoint(100, 180));
    QCOMPARE(w.dialog.cursorAndState(), QBaseDrawWidget::CursorNone);
    doubleClick(w.dialog, QPoint(200, 180));
    QVERIFY(!w.dialog.isMaxSize());

    w.dialog.setBackgroundImage(thirds(), true);
    w.dialog.setGeometry(before);
    QTRY_COMPARE(w.dialog.geometry(), before);
    hoverAt(w.dialog, QPoint(100, 180));
    QCOMPARE(w.dialog.cursorAndState(), QBaseDrawWidget::CursorLeft);
}

void tst_QBaseDrawWidget::hitTest_data()
{
    QTest::addColumn<QPoint>("global");
    QTest::addColumn<int>("policy");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shape");

    const int none = Qt::ArrowCursor;
    QTest::newRow("top-left corner") << QPoint(100, 100) << 3 << 0 << 2 << int(Qt::SizeFDiagCursor);
    QTest::newRow("left edge") << QPoint(102, 180) << 3 << 0 << 1 << int(Qt::SizeHorCursor);
    QTest::newRow("left band is inclusive") << QPoint(104, 180) << 3 << 0 << 1 << int(Qt::SizeHorCursor);
    QTest::newRow("just inside the left band") << QPoint(105, 180) << 3 << 0 << 0 << none;
    QTest::newRow("bottom-left corner") << QPoint(100, 249) << 3 << 0 << 8 << int(Qt::SizeBDiagCursor);
    QTest::newRow("top-right corner") << QPoint(299, 100) << 3 << 0 << 4 << int(Qt::SizeBDiagCursor);
    QTest::newRow("right edge") << QPoint(297, 180) << 3 << 0 << 5 << int(Qt::SizeHorCursor);
    QTest::newRow("bottom-right corner") << QPoint(299, 249) << 3 << 0 << 6 << int(Qt::SizeFDiagCursor);
    QTest::newRow("top edge") << QPoint(200, 102) << 3 << 0 << 3 << int(Qt::SizeVerCursor);
    QTest::newRow("bottom edge") << QPoint(200, 247) << 3 << 0 << 7 << int(Qt::SizeVerCursor);
    QTest::newRow("middle") << QPoint(200, 180) << 3 << 0 << 0 << none;
    QTest::newRow("sides only: corner is left") << QPoint(100, 100) << 1 << 0 << 1 << int(Qt::SizeHorCursor);
    QTest::newRow("sides only: top is nothing") << QPoint(200, 100) << 1 << 0 << 0 << none;
    QTest::newRow("ends only: left is nothing") << QPoint(100, 180) << 2 << 0 << 0 << none;
    QTest::newRow("ends only: corner is top") << QPoint(100, 100) << 2 << 0 << 3 << int(Qt::SizeVerCursor);
    QTest::newRow("margin: shadow is not an edge") << QPoint(102, 180) << 3 << 5 << 0 << none;
    QTest::newRow("margin: band starts inside") << QPoint(105, 180) << 3 << 5 << 1 << int(Qt::SizeHorCursor);
    QTest::newRow("margin: band ends") << QPoint(110, 180) << 3 << 5 << 0 << none;
    QTest::newRow("margin: bottom-right") << QPoint(292, 242) << 3 << 5 << 6 << int(Qt::SizeFDiagCursor);
}

void tst_QBaseDrawWidget::hitTest()
{
    QFETCH(QPoint, global);
    QFETCH(int, policy);
    QFETCH(int, margin);
    QFETCH(int, code);
    QFETCH(int, shape);

    Window w;
    w.dialog.setStretchPolicy(QBaseDrawWidget::enumStretchPolicy(policy));
    w.dialog.setTransparentW(margin);
    QCOMPARE(w.dialog.geometry(), QRect(100, 100, 200, 150));
    hoverAt(w.dialog, global);
    QCOMPARE(int(w.dialog.cursorAndState()), code);
    QCOMPARE(int(w.dialog.cursor().shape()), shape);
}

void tst_QBaseDrawWidget::hoverOverChildRestoresCursor()
{
    Window w;
    QWidget child(&w.dialog);
    child.setGeometry(0, 40, 40, 40);
    child.show();
    hoverAt(w.dialog, QPoint(101, 180));
    QCOMPARE(w.dialog.cursor().shape(), Qt::SizeHorCursor);
    hoverAt(w.dialog, QPoint(101, 150));
    QCOMPARE(w.dialog.cursor().shape(), Qt::ArrowCursor);

    // The hover event alone restores the cursor over a child too.
    hoverAt(w.dialog, QPoint(101, 180));
    QHoverEvent hover(QEvent::HoverMove, QPointF(1, 50), QPointF(1, 90));
    QApplication::sendEvent(&w.dialog, &hover);
    QCOMPARE(w.dialog.cursor().shape(), Qt::ArrowCursor);

    child.setObjectName("centralWidget");
    hoverAt(w.dialog, QPoint(101, 150));
    QCOMPARE(w.dialog.cursor().shape(), Qt::SizeHorCursor);
    QApplication::sendEvent(&w.dialog, &hover);
    QCOMPARE(w.dialog.cursor().shape(), Qt::SizeHorCursor);
}

void tst_QBaseDrawWidget::dragByTopBandMoves()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
    hoverAt(w.dialog, QPoint(150, 110));
    drag(w.dialog, QPoint(150, 110), QPoint(250, 210));
    QTRY_COMPARE(w.dialog.pos(), QPoint(200, 200));

    // Above the top of the screen the window stays where it was put.
    hoverAt(w.dialog, QPoint(250, 210));
    drag(w.dialog, QPoint(250, 210), QPoint(250, 0));
    QTRY_COMPARE(w.dialog.pos(), QPoint(200, -10));
}

void tst_QBaseDrawWidget::pressBelowBandDoesNotMove()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
    hoverAt(w.dialog, QPoint(150, 160));
    drag(w.dialog, QPoint(150, 160), QPoint(250, 260));
    QTest::qWait(50);
    QCOMPARE(w.dialog.pos(), QPoint(100, 100));

    w.dialog.setMoveTopHeight(0);
    hoverAt(w.dialog, QPoint(150, 101 + 5));
    drag(w.dialog, QPoint(150, 106), QPoint(250, 206));
    QTest::qWait(50);
    QCOMPARE(w.dialog.pos(), QPoint(100, 100));
}

void tst_QBaseDrawWidget::releaseBelowScreenSnapsBack_data()
{
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("band");

    QTest::newRow("move-top height") << -1 << 40;
    QTest::newRow("move-correct height") << 25 << 25;
}

void tst_QBaseDrawWidget::releaseBelowScreenSnapsBack()
{
    QFETCH(int, correct);
    QFETCH(int, band);

    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
    w.dialog.setMoveChangeCorrect(correct);
    const int bottom = QApplication::desktop()->availableGeometry(-1).bottom();
    hoverAt(w.dialog, QPoint(150, 110));
    drag(w.dialog, QPoint(150, 110), QPoint(150, bottom + 5));
    QTRY_COMPARE(w.dialog.pos(), QPoint(100, bottom - band));
}

void tst_QBaseDrawWidget::resizeLimits_data()
{
    QTest::addColumn<QPoint>("grab");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("expected");

    // Minimum 150 x 100; a width is taken only when 150 < width - 1.
    QTest::newRow("left edge out") << QPoint(100, 180) << QPoint(60, 180) << QRect(60, 100, 240, 150);
    QTest::newRow("left edge in, allowed") << QPoint(100, 180) << QPoint(148, 180) << QRect(148, 100, 152, 150);
    QTest::newRow("left edge in, too narrow") << QPoint(100, 180) << QPoint(149, 180) << QRect(100, 100, 200, 150);
    QTest::newRow("right edge in, too narrow") << QPoint(299, 180) << QPoint(250, 180) << QRect(100, 100, 200, 150);
    QTest::newRow("right edge out") << QPoint(299, 180) << QPoint(349, 180) << QRect(100, 100, 250, 150);
    QTest::newRow("bottom edge too short") << QPoint(200, 249) << QPoint(200, 200) << QRect(100, 100, 200, 150);
    QTest::newRow("corner: width refused, height taken")
        << QPoint(100, 100) << QPoint(180, 80) << QRect(100, 80, 200, 170);
}

void tst_QBaseDrawWidget::resizeLimits()
{
    QFETCH(QPoint, grab);
    QFETCH(QPoint, to);
    QFETCH(QRect, expected);

    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
    w.dialog.setMinimumSize(150, 100);
    hoverAt(w.dialog, grab);
    QVERIFY(w.dialog.cursorAndState() != QBaseDrawWidget::CursorNone);
    send(w.dialog, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    send(w.dialog, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    QTRY_COMPARE(w.dialog.geometry(), expected);
    send(w.dialog, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void tst_QBaseDrawWidget::doubleClickMaximisesAndRestores()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
    w.dialog.setTransparentW(6);
    const QRect screen = QApplication::desktop()->screenGeometry(-1);
    const QRect available = QApplication::desktop()->availableGeometry(-1);

    doubleClick(w.dialog, QPoint(200, 180));
    QVERIFY(w.dialog.isMaxSize());
    QTRY_COMPARE(w.dialog.geometry(), QRect(-6, -6, screen.width() + 12, available.height() + 12));

    // Maximised: no edge cursors and no moving.
    hoverAt(w.dialog, QPoint(0, 300));
    QCOMPARE(w.dialog.cursorAndState(), QBaseDrawWidget::CursorNone);

    doubleClick(w.dialog, QPoint(200, 180));
    QVERIFY(!w.dialog.isMaxSize());
    QTRY_COMPARE(w.dialog.geometry(), QRect(100, 100, 200, 150));

    w.dialog.setStretchPolicy(QBaseDrawWidget::StretchHorizontal);
    doubleClick(w.dialog, QPoint(200, 180));
    QVERIFY(!w.dialog.isMaxSize());
}

void tst_QBaseDrawWidget::centerDlgKeepsOnScreen()
{
    QZRDialog host;
    host.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    host.setGeometry(0, 0, 100, 100);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QDialog other;
    other.resize(300, 80);
    host.CenterDlg(other);
    QCOMPARE(other.pos(), QPoint(50, 10));
}

void tst_QBaseDrawWidget::logoIsCentredAtFirstPaint()
{
    QImage logo(20, 10, QImage::Format_ARGB32);
    logo.fill(Qt::red);
    QZRDialog dialog;
    dialog.resize(100, 50);
    dialog.setBackgrounColor(Qt::black);
    dialog.setLogoImage(logo);
    dialog.setLogoRect(QRect(-1, -1, 0, 0));

    QImage shot = dialog.grab().toImage();
    // 10 x 5 logical, centred: x 45..54, y 22..26.
    QCOMPARE(shot.pixelColor(45, 22), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(54, 26), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(44, 22), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(55, 27), QColor(Qt::black));

    // The place is fixed at that first paint.
    dialog.resize(200, 50);
    shot = dialog.grab().toImage();
    QCOMPARE(shot.pixelColor(45, 22), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(95, 22), QColor(Qt::black));
}

void tst_QBaseDrawWidget::titleIsElidedInTheTopBand()
{
    QZRDialog dialog;
    dialog.resize(120, 60);
    dialog.setBackgrounColor(Qt::black);
    dialog.setTransparentW(10);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    dialog.setPalette(palette);
    dialog.setDlgTitle(QString(60, 'W'));

    const QImage shot = dialog.grab().toImage();
    QRect ink;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y).lightness() > 128)
                ink |= QRect(x, y, 1, 1);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(QRect(10, 10, 100, 20).contains(ink), qPrintable(QString("ink %1,%2 %3x%4")
                                                               .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
}

QTEST_MAIN(tst_QBaseDrawWidget)
#include "tst_qbasedrawwidget.moc"
