#include "toolkit/qprojectconfig.h"

#include <QGuiApplication>
#include <QtTest>

class tst_QProjectConfig : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void setters();
    void release_startsAfresh();
};

void tst_QProjectConfig::defaults()
{
    QProjectConfig *config = QProjectConfig::getProjectConfig();
    QVERIFY(config);
    QCOMPARE(QProjectConfig::getProjectConfig(), config);
    QVERIFY(config->companyName().isEmpty());
    QVERIFY(config->projectName().isEmpty());
    QVERIFY(config->projectShortName().isEmpty());
    QVERIFY(config->projectVersionName().isEmpty());
    QCOMPARE(config->dlgTop(), 22);
    QCOMPARE(config->dlgBottom(), 50);
    QCOMPARE(config->getTransparentMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(config->font(), QFont());
}

void tst_QProjectConfig::setters()
{
    QProjectConfig *config = QProjectConfig::getProjectConfig();
    config->setCompanyName("Quorvane");
    config->setProjectName("ZRPlayer");
    config->setProjectShortName("ZR");
    config->setProjectVersionName("2.2");
    QCOMPARE(config->companyName(), QString("Quorvane"));
    QCOMPARE(config->projectName(), QString("ZRPlayer"));
    QCOMPARE(config->projectShortName(), QString("ZR"));
    QCOMPARE(config->projectVersionName(), QString("2.2"));

    config->setTransparentMargins(7);
    QCOMPARE(config->getTransparentMargins(), QMargins(7, 7, 7, 7));
    config->setTransparentMargins(1, 2, 3, 4);
    QCOMPARE(config->getTransparentMargins(), QMargins(1, 2, 3, 4));
    const QMargins margins(5, 6, 7, 8);
    config->setTransparentMargins(margins);
    QCOMPARE(config->getTransparentMargins(), margins);

    config->setDlgTopAndBottom(30, 60);
    QCOMPARE(config->dlgTop(), 30);
    QCOMPARE(config->dlgBottom(), 60);

    QFont font("Tahoma");
    font.setPixelSize(12);
    config->setFont(font);
    QCOMPARE(config->font(), font);
    // A copy comes back: changing it leaves the stored font alone.
    QFont copy = config->font();
    copy.setPixelSize(30);
    QCOMPARE(config->font().pixelSize(), 12);
}

void tst_QProjectConfig::release_startsAfresh()
{
    QProjectConfig::getProjectConfig()->setProjectName("Changed");
    QProjectConfig::releaseProjectConfig();
    QProjectConfig::releaseProjectConfig();
    QVERIFY(QProjectConfig::getProjectConfig()->projectName().isEmpty());
    QCOMPARE(QProjectConfig::getProjectConfig()->dlgTop(), 22);
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_QProjectConfig test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qprojectconfig.moc"
