#include "engine/qconverteroperate.h"

#include <QtTest>

class tst_QConverterOperate : public QObject
{
    Q_OBJECT

private slots:
    void initialValues();
    void languageType_data();
    void languageType();
    void textOptions();
};

void tst_QConverterOperate::initialValues()
{
    QCOMPARE(QConverterOperate::keepClassify(), 2);
    QCOMPARE(QConverterOperate::getLanguageType(), 0);
    QVERIFY(QConverterOperate::getAudioDeviceName().isEmpty());
    QVERIFY(QConverterOperate::getLogFilePath().isEmpty());
}

void tst_QConverterOperate::languageType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("Chinese") << "Chinese" << 1;
    QTest::newRow("German") << "German" << 2;
    QTest::newRow("French") << "French" << 3;
    QTest::newRow("Japanese") << "Japanese" << 4;
    QTest::newRow("English") << "English" << 0;
    QTest::newRow("french lower case") << "french" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_QConverterOperate::languageType()
{
    QFETCH(QString, name);
    QFETCH(int, type);
    QConverterOperate::setLanguageType("German");
    QConverterOperate::setLanguageType(name);
    QCOMPARE(QConverterOperate::getLanguageType(), type);
}

void tst_QConverterOperate::textOptions()
{
    QConverterOperate::setLogFilePath("/tmp/x/log.txt");
    QConverterOperate::setAudioDeviceName("Speakers");
    QConverterOperate::setConverterPath("/a");
    QConverterOperate::setDefaultOutPath("/b");
    QConverterOperate::setScreenshotsPath("/c");
    QConverterOperate::setKeepClassify(0);
    QCOMPARE(QConverterOperate::getLogFilePath(), QString("/tmp/x/log.txt"));
    QCOMPARE(QConverterOperate::getAudioDeviceName(), QString("Speakers"));
    QCOMPARE(QConverterOperate::getConverterPath(), QString("/a"));
    QCOMPARE(QConverterOperate::getDefaultOutPath(), QString("/b"));
    QCOMPARE(QConverterOperate::getScreenshotsPath(), QString("/c"));
    QCOMPARE(QConverterOperate::keepClassify(), 0);
}

QTEST_GUILESS_MAIN(tst_QConverterOperate)
#include "tst_qconverteroperate.moc"
