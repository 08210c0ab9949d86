#include "toolkit/qveanyutiliy.h"

#include <QDir>
#include <QGuiApplication>
#include <QtTest>

class tst_QVeAnyUtiliy : public QObject
{
    Q_OBJECT

private slots:
    void converSize_data();
    void converSize();
    void equalDouble_data();
    void equalDouble();
    void resourceFolder();
    void dpiScale();
};

void tst_QVeAnyUtiliy::converSize_data()
{
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0ULL << "0 B";
    QTest::newRow("1023") << 1023ULL << "1023 B";
    QTest::newRow("1536") << 1536ULL << "1.50 KB";
    QTest::newRow("3 MiB") << 3145728ULL << "3.00 MB";
    QTest::newRow("below 2^40") << 1099511627775ULL << "1024.00 GB";
    QTest::newRow("2 TiB") << 2199023255552ULL << "2.00 T";
}

void tst_QVeAnyUtiliy::converSize()
{
    QFETCH(qulonglong, bytes);
    QFETCH(QString, text);
    QCOMPARE(QVeAnyUtiliy::converSize(bytes), text);
}

void tst_QVeAnyUtiliy::equalDouble_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("0.1 + 0.2 and 0.3") << 0.1 + 0.2 << 0.3 << true;
    QTest::newRow("same") << 42.0 << 42.0 << true;
    QTest::newRow("just inside above") << 1.0000009 << 1.0 << true;
    QTest::newRow("just inside below") << 1.0 << 1.0000009 << true;
    QTest::newRow("just outside above") << 1.0000011 << 1.0 << false;
    QTest::newRow("just outside below") << 1.0 << 1.0000011 << false;
    QTest::newRow("signs") << -0.5 << 0.5 << false;
}

void tst_QVeAnyUtiliy::equalDouble()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(bool, equal);
    QCOMPARE(QVeAnyUtiliy::equalDouble(a, b), equal);
}

void tst_QVeAnyUtiliy::resourceFolder()
{
    const QString root = QDir(QCoreApplication::applicationDirPath() + "/..").canonicalPath();
    QCOMPARE(QVeAnyUtiliy::getResourcePath(), root + "//Resources");
    QVERIFY(QFile::exists(QVeAnyUtiliy::getResourcePath() + "/images/Common/btn_common.png"));
}

void tst_QVeAnyUtiliy::dpiScale()
{
    QVeAnyUtiliy::QDpiScaleInit();
    QCOMPARE(QVeAnyUtiliy::getDpiScale(), 1.0f);
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_QVeAnyUtiliy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qveanyutiliy.moc"
