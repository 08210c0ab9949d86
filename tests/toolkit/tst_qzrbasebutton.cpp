// Skinned buttons: frames from a four-frame skin, sizes from the skin, the hover poll and its
// tool tip rules.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbuttonext.h"
#include "toolkit/qzrbuttonextend.h"

#include "player/qmediaplaywindowflags.h"
#include "shell/newmainwindowflags.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTimer>
#include <QtTest>

namespace {

const QRgb Frames[4] = {0xff204060, 0xff40a040, 0xffc03030, 0xff808080};

// A 200x48 pixel strip: four frames of 50x48 pixels in the four colours.
QImage strip()
{
    QImage image(200, 48, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            image.setPixel(x, y, Frames[x / 50]);
    return image;
}

QColor centre(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Gives the button the test skin and shows it at (100, 100); true once it is exposed.
bool showSkinned(QZRBaseButton &button)
{
    QImage image = strip();
    button.setButtonImage(image, true);
    button.move(100, 100);
    button.show();
    return QTest::qWaitForWindowExposed(&button);
}

void hover(QWidget &widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&widget, &enter);
}

}

class tst_QZRBaseButton : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sizeFromSkin();
    void undecodableSkinIsMissing();
    void frames_data();
    void frames();
    void releaseOverUncheckedButtonShowsNormal();
    void textRectGrowsBesideIcon();
    void ext_hoverFollowsCursor();
    void ext_releaseUnderCursorShowsHover();
    void ext_disabledShowsDisabledFrame();
    void ext_toolTipRules_data();
    void ext_toolTipRules();
    void ext_toolTipOncePerStay();
    void extend_tagAndColourPatch();
    void badge();
};

void tst_QZRBaseButton::init()
{
    NewMainWindowFlags::m_bMouseInMainWindow = true;
    NewMainWindowFlags::m_bFullscreen = false;
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    QToolTip::hideText();
    QCursor::setPos(0, 0);
}

void tst_QZRBaseButton::sizeFromSkin()
{
    QZRBaseButton button;
    QImage image = strip();
    QVERIFY(button.setButtonImage(image, true));
    QCOMPARE(button.size(), QSize(25, 24));
    QVERIFY(button.isCustomDraw());

    QTemporaryDir dir;
    QVERIFY(strip().save(dir.filePath("skin.png")));
    QZRBaseButton fromFile;
    QVERIFY(fromFile.setButtonImage(dir.filePath("skin.png"), true));
    QCOMPARE(fromFile.size(), QSize(25, 24));
    QVERIFY(!fromFile.setButtonImage(dir.filePath("none.png"), true));
    QCOMPARE(fromFile.size(), QSize(25, 24));
}

void tst_QZRBaseButton::undecodableSkinIsMissing()
{
    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.png"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not an image");
    junk.close();

    QZRBaseButton button;
    button.resize(40, 30);
    QVERIFY(!button.setButtonImage(junk.fileName(), true));
    QCOMPARE(button.size(), QSize(40, 30));
    QVERIFY(!button.isCustomDraw());
}

void tst_QZRBaseButton::frames_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("frame");

    QTest::newRow("normal") << "none" << 0;
    QTest::newRow("hover") << "enter" << 1;
    QTest::newRow("pressed") << "press" << 2;
    QTest::newRow("disabled") << "disable" << 3;
    QTest::newRow("checked") << "check" << 2;
    QTest::newRow("checked and hovered") << "check+enter" << 2;
}

void tst_QZRBaseButton::frames()
{
    QFETCH(QString, action);
    QFETCH(int, frame);

    QZRBaseButton button;
    button.setTextColor(Qt::white, Qt::yellow, Qt::red, Qt::gray);
    QVERIFY(showSkinned(button));

    if (action.contains("check")) {
        button.setCheckable(true);
        button.setChecked(true);
    }
    if (action.contains("enter"))
        hover(button);
    if (action == "press")
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    if (action == "disable")
        button.setEnabled(false);

    QCOMPARE(centre(button), QColor(Frames[frame]));
    const QColor colours[4] = {Qt::white, Qt::yellow, Qt::red, Qt::gray};
    QCOMPARE(button.currentDrawColor(), colours[frame]);
}

void tst_QZRBaseButton::releaseOverUncheckedButtonShowsNormal()
{
    QZRBaseButton button;
    QVERIFY(showSkinned(button));
    QSignalSpy down(&button, &QZRBaseButton::mouseDown);
    QSignalSpy released(&button, &QZRBaseButton::mouseRelease);

    hover(button);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(7, 5));
    QCOMPARE(button.getBtnState(), 2);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(7, 5));
    QCOMPARE(button.getBtnState(), 0);
    QCOMPARE(centre(button), QColor(Frames[0]));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(1).toInt(), 7);
    QCOMPARE(released.count(), 1);
}

void tst_QZRBaseButton::textRectGrowsBesideIcon()
{
    QZRBaseButton button;
    button.resize(100, 30);
    button.setText("Play");
    QImage image = strip();
    button.setButtonImage(image, true);
    button.resize(100, 30);
    button.setIconRect(QRect(QPoint(0, 0), QPoint(20, 20)));
    button.setTextRect(QRect(0, 0, 0, 0));
    button.grab();
    QCOMPARE(button.textRect().right(), 78);
    QCOMPARE(button.textRect().bottom(), 29);
}

void tst_QZRBaseButton::ext_hoverFollowsCursor()
{
    QZRButtonExt button;
    QVERIFY(showSkinned(button));

    QCursor::setPos(button.mapToGlobal(QPoint(10, 10)));
    QTRY_COMPARE_WITH_TIMEOUT(button.getBtnState(), 1, 5000);
    QCOMPARE(centre(button), QColor(Frames[1]));
    QCursor::setPos(0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(button.getBtnState(), 0, 5000);
    // It follows the cursor by events: no timer of its own.
    for (const QTimer *timer : button.findChildren<QTimer *>())
        QVERIFY(!timer->isActive());
}

// Released with the cursor still over it, the button goes back to its hover frame.
void tst_QZRBaseButton::ext_releaseUnderCursorShowsHover()
{
    QZRButtonExt button;
    QVERIFY(showSkinned(button));
    QCursor::setPos(button.mapToGlobal(QPoint(10, 10)));
    QTRY_COMPARE_WITH_TIMEOUT(button.getBtnState(), 1, 5000);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(button.getBtnState(), 2);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(button.getBtnState(), 1);
    QCOMPARE(centre(button), QColor(Frames[1]));
}

void tst_QZRBaseButton::ext_disabledShowsDisabledFrame()
{
    QZRButtonExt button;
    QVERIFY(showSkinned(button));
    button.setEnabled(false);

    QCursor::setPos(button.mapToGlobal(QPoint(10, 10)));
    QTest::qWait(400);
    QCOMPARE(button.getBtnState(), 3);
    QCOMPARE(centre(button), QColor(Frames[3]));
    QCursor::setPos(0, 0);
    QTest::qWait(300);
    QCOMPARE(centre(button), QColor(Frames[3]));
}

void tst_QZRBaseButton::ext_toolTipRules_data()
{
    QTest::addColumn<bool>("inMainWindow");
    QTest::addColumn<bool>("showTop");
    QTest::addColumn<bool>("fullscreen");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("shown");

    QTest::newRow("inside the main window") << true << false << false << false << true;
    QTest::newRow("outside the main window") << false << false << false << false << false;
    QTest::newRow("modal dialog over the player") << true << true << false << false << false;
    QTest::newRow("full screen") << true << false << true << false << false;
    QTest::newRow("hidden button") << true << false << false << true << false;
}

void tst_QZRBaseButton::ext_toolTipRules()
{
    QFETCH(bool, inMainWindow);
    QFETCH(bool, showTop);
    QFETCH(bool, fullscreen);
    QFETCH(bool, hidden);
    QFETCH(bool, shown);
    NewMainWindowFlags::m_bMouseInMainWindow = inMainWindow;
    QMediaPlayWindowFlags::m_bWindowShowTop = showTop;
    NewMainWindowFlags::m_bFullscreen = fullscreen;
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    QCursor::setPos(0, 0);

    // The button sits in a window that sees the cursor come in also when the button is hidden.
    QWidget host;
    host.setGeometry(100, 100, 80, 60);
    QZRButtonExt button(&host);
    button.setToolTip("Close");
    QImage image = strip();
    button.setButtonImage(image, true);
    button.setHidden(hidden);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_VERIFY(!host.underMouse());

    QCursor::setPos(host.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY_WITH_TIMEOUT(host.underMouse(), 5000);
    if (!hidden)
        QTRY_COMPARE_WITH_TIMEOUT(button.getBtnState(), 1, 5000);
    else
        QCOMPARE(button.getBtnState(), 0);
    QCOMPARE(QToolTip::isVisible(), shown);
    if (shown)
        QCOMPARE(QToolTip::text(), QString("Close"));
}

void tst_QZRBaseButton::ext_toolTipOncePerStay()
{
    QZRButtonExt button;
    button.setToolTip("Minimize");
    QVERIFY(showSkinned(button));

    QCursor::setPos(button.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QToolTip::hideText();
    QTest::qWait(400);
    QVERIFY(!QToolTip::isVisible());

    QCursor::setPos(0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(button.getBtnState(), 0, 5000);
    QCursor::setPos(button.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
}

void tst_QZRBaseButton::extend_tagAndColourPatch()
{
    QZRButtonExtend button;
    button.resize(40, 20);
    QImage tall(10, 20, QImage::Format_ARGB32);
    tall.fill(Qt::blue);
    button.setBackgroundColor(Qt::red);
    QVERIFY(button.setTagImg(QRect(0, 0, 40, 20), tall));
    button.setIconColor(Qt::green);
    button.setIconColorRect(QRect(30, 5, 6, 6));

    const QImage shot = button.grab().toImage();
    // A picture taller than wide is fitted by height and centred: 10 wide at x 15.
    QCOMPARE(shot.pixelColor(20, 10), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(5, 10), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(33, 8), QColor(Qt::green));
    QCOMPARE(shot.pixelColor(30, 5), QColor(128, 128, 128));

    QZRButtonExtend fromBytes;
    QVERIFY(!fromBytes.setTagImg(QRect(0, 0, 40, 20), std::string("not an image")));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tall.save(&buffer, "PNG");
    QVERIFY(fromBytes.setTagImg(QRect(0, 0, 40, 20), png.toStdString()));
}

void tst_QZRBaseButton::badge()
{
    QZRBaseButton button;
    QImage image = strip();
    button.setButtonImage(image, true);
    button.resize(60, 30);
    const QColor badge(255, 120, 0);
    QCOMPARE(button.grab().toImage().pixelColor(45, 4), QColor(Frames[0]));

    // The default badge is a 20 x 20 disc touching the right edge at the top: (40, 0).
    for (int i = 0; i < 5; ++i)
        button.addItemCount();
    QCOMPARE(button.itmeCount(), 5);
    QImage shot = button.grab().toImage();
    QCOMPARE(shot.pixelColor(45, 4), badge);
    QCOMPARE(shot.pixelColor(35, 10), QColor(Frames[0]));
    QCOMPARE(shot.pixelColor(50, 25), QColor(Frames[0]));

    button.resetCount();
    QCOMPARE(button.grab().toImage().pixelColor(45, 4), QColor(Frames[0]));
}

QTEST_MAIN(tst_QZRBaseButton)
#include "tst_qzrbasebutton.moc"
