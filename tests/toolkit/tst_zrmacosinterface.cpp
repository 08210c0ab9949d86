#include "toolkit/zrmacosinterface.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class tst_ZrMacosInterface : public QObject
{
    Q_OBJECT

private slots:
    void globalPos_followsTheCursor();
    void windowPos_nullAndUncreated();
    void windowPos_givesTheTopBackToTheChrome_data();
    void windowPos_givesTheTopBackToTheChrome();
    void showMinimize();
    void convertCharToUtft32_data();
    void convertCharToUtft32();
};

void tst_ZrMacosInterface::globalPos_followsTheCursor()
{
    QCursor::setPos(123, 45);
    QCOMPARE(ZrMacosInterface::getGlobalPos(), QCursor::pos());
    QCOMPARE(ZrMacosInterface::getGlobalPos(), QPoint(123, 45));
}

void tst_ZrMacosInterface::windowPos_nullAndUncreated()
{
    QCOMPARE(ZrMacosInterface::getWindowPos(nullptr), QPoint(0, 0));
    QWidget window;
    window.setGeometry(200, 100, 300, 200);
    QCOMPARE(ZrMacosInterface::getWindowPos(&window), QPoint(0, 0));
    ZrMacosInterface::showMinimize(nullptr);
    ZrMacosInterface::hideDock();
}

void tst_ZrMacosInterface::windowPos_givesTheTopBackToTheChrome_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("near the top") << QRect(40, 30, 300, 200);
    QTest::newRow("lower") << QRect(250, 400, 500, 120);
}

// The window chrome takes the top as screen height - y - height; that must be the frame's top,
// both for the window and for a child asking about its window.
void tst_ZrMacosInterface::windowPos_givesTheTopBackToTheChrome()
{
    QFETCH(QRect, geometry);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    QWidget child(&window);
    window.setGeometry(geometry);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    for (QWidget *widget : {&window, &child}) {
        const QPoint pos = ZrMacosInterface::getWindowPos(widget);
        QCOMPARE(pos.x(), window.frameGeometry().x());
        QCOMPARE(screenHeight - pos.y() - window.height(), window.frameGeometry().y());
    }
}

void tst_ZrMacosInterface::showMinimize()
{
    QWidget window;
    QWidget child(&window);
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ZrMacosInterface::showMinimize(&child);
    QTRY_VERIFY(window.isMinimized());
}

void tst_ZrMacosInterface::convertCharToUtft32_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QVector<uint>>("codePoints");
    QTest::newRow("ascii") << QByteArray("Abc") << QVector<uint>{'A', 'b', 'c'};
    QTest::newRow("accent and emoji") << QByteArray("\xc3\xa9\xf0\x9f\x8e\xac") << QVector<uint>{0xE9, 0x1F3AC};
    QTest::newRow("empty") << QByteArray("") << QVector<uint>{};
}

void tst_ZrMacosInterface::convertCharToUtft32()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QVector<uint>, codePoints);
    // The result owns its text: it outlives the source buffer.
    std::u32string converted;
    {
        QByteArray source = utf8;
        converted = ZrMacosInterface::ConvertCharToUtft32(source.data());
        source.fill('x');
    }
    QCOMPARE(QVector<uint>(converted.begin(), converted.end()), codePoints);
    QVERIFY(ZrMacosInterface::ConvertCharToUtft32(nullptr).empty());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tst_ZrMacosInterface test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zrmacosinterface.moc"
