#include "services/qzrcommonplatfromapi.h"
#include "services/urlcatcher.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class tst_QZRCommonPlatfromApi : public QObject
{
    Q_OBJECT

private slots:
    void overlay_data();
    void overlay();
    void nullWidget();
    void showFileInFolder_withoutBus();
};

void tst_QZRCommonPlatfromApi::overlay_data()
{
    QTest::addColumn<bool>("ownColour");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("click-through") << false << QColor(Qt::red);
    QTest::newRow("translucent colour") << true << QColor(10, 20, 30, 128);
}

void tst_QZRCommonPlatfromApi::overlay()
{
    QFETCH(bool, ownColour);
    QFETCH(QColor, colour);

    QWidget window;
    QWidget child(&window);
    window.resize(120, 80);
    if (ownColour)
        QZRCommonPlatfromApi::setMacTransBackgroundColor(&child, colour);
    else
        QZRCommonPlatfromApi::setWindowsIgnoresMouse(&child);

    QVERIFY(window.isVisible());
    QVERIFY(window.windowFlags() & Qt::WindowTransparentForInput);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window.windowOpacity(), 1.0);
    QCOMPARE(window.palette().color(QPalette::Window), colour);

    // The window paints itself in the colour, its alpha included.
    const QImage painted = window.grab().toImage();
    QCOMPARE(painted.pixelColor(60, 40).alpha(), colour.alpha());
    QVERIFY(qAbs(painted.pixelColor(60, 40).red() - colour.red()) <= 2);
}

void tst_QZRCommonPlatfromApi::nullWidget()
{
    QZRCommonPlatfromApi::setWindowsIgnoresMouse(nullptr);
    QZRCommonPlatfromApi::setMacTransBackgroundColor(nullptr, Qt::blue);
}

void tst_QZRCommonPlatfromApi::showFileInFolder_withoutBus()
{
    QVERIFY(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    UrlCatcher catcher;
    QTemporaryDir dir;
    QZRCommonPlatfromApi::showFileInFolder((dir.path() + "//clip.mp4").toStdString());
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tst_QZRCommonPlatfromApi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qzrcommonplatfromapi.moc"
