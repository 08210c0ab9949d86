#include "services/gcd.h"

#include <QtTest>

#include <climits>

class tst_GCD : public QObject
{
    Q_OBJECT

private slots:
    void gcd_data();
    void gcd();
};

void tst_GCD::gcd_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("divisor");
    QTest::newRow("1920, 1080") << 1920 << 1080 << 120;
    QTest::newRow("1080, 1920") << 1080 << 1920 << 120;
    QTest::newRow("same") << 720 << 720 << 720;
    QTest::newRow("coprime") << 17 << 5 << 1;
    QTest::newRow("one divides the other") << 4 << 16 << 4;
    // Zero and negatives never divide by zero: the divisor of the magnitudes.
    QTest::newRow("zero second") << 12 << 0 << 12;
    QTest::newRow("zero first") << 0 << 7 << 7;
    QTest::newRow("both zero") << 0 << 0 << 0;
    QTest::newRow("negative") << -1920 << 1080 << 120;
    QTest::newRow("both negative") << -9 << -6 << 3;
    QTest::newRow("negative and zero") << -5 << 0 << 5;
    QTest::newRow("INT_MIN and 6") << INT_MIN << 6 << 2;
    QTest::newRow("INT_MIN and 0") << INT_MIN << 0 << INT_MIN;
}

void tst_GCD::gcd()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, divisor);
    QCOMPARE(GCD(a, b), divisor);
}

QTEST_APPLESS_MAIN(tst_GCD)

#include "tst_gcd.moc"
