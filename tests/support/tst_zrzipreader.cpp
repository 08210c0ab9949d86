#include "support/zrzipreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using ReaderCall = std::function<int(ZrZipReader &)>;
Q_DECLARE_METATYPE(ReaderCall)

class TestZrZipReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyCall_data();
    void everyCall();

private:
    QTemporaryDir m_dir;
};

void TestZrZipReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // An archive of one entry, and things that are no archive at all.
    QProcess python;
    python.start(QFileInfo::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
                 {"-c", "import sys, zipfile; zipfile.ZipFile(sys.argv[1], 'w').writestr('one.txt', 'one')",
                  m_dir.filePath("one.zip")});
    QVERIFY(python.waitForFinished(120000));
    QCOMPARE(python.exitCode(), 0);
    QFile text(m_dir.filePath("text.zip"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("PK but not a zip archive\n");
    text.close();
    QFile empty(m_dir.filePath("empty.zip"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QVERIFY(QDir(m_dir.path()).mkdir("folder.zip"));
}

void TestZrZipReader::everyCall_data()
{
    QTest::addColumn<ReaderCall>("call");
    QTest::addColumn<int>("opened");

    QTest::newRow("globalInfo") << ReaderCall([](ZrZipReader &zip) {
        ZrZipGlobalInfo info;
        info.numberEntry = 99;
        const int result = zip.globalInfo(info);
        return result == ZrZipReader::Ok && info.numberEntry != 1 ? -1 : result;
    }) << int(ZrZipReader::Ok);
    QTest::newRow("goToFirstFile") << ReaderCall([](ZrZipReader &zip) { return zip.goToFirstFile(); })
                                   << int(ZrZipReader::Ok);
    QTest::newRow("goToNextFile") << ReaderCall([](ZrZipReader &zip) { return zip.goToNextFile(); })
                                  << int(ZrZipReader::EndOfListOfFile);
    QTest::newRow("openCurrentFile") << ReaderCall([](ZrZipReader &zip) { return zip.openCurrentFile(QByteArray()); })
                                     << int(ZrZipReader::Ok);
    QTest::newRow("openCurrentFile with a password")
        << ReaderCall([](ZrZipReader &zip) { return zip.openCurrentFile("secret"); }) << int(ZrZipReader::Ok);
    QTest::newRow("currentFileInfo") << ReaderCall([](ZrZipReader &zip) {
        ZrZipFileInfo info;
        QByteArray rawName;
        QString name;
        return zip.currentFileInfo(info, rawName, name);
    }) << int(ZrZipReader::Ok);
    QTest::newRow("readCurrentFile") << ReaderCall([](ZrZipReader &zip) {
        char buffer[16];
        return zip.readCurrentFile(buffer, sizeof buffer);
    }) << int(ZrZipReader::ParamError);
    QTest::newRow("closeCurrentFile") << ReaderCall([](ZrZipReader &zip) { return zip.closeCurrentFile(); })
                                      << int(ZrZipReader::ParamError);
}

// Every call on a reader whose archive did not open answers an error; on one that opened, its result.
void TestZrZipReader::everyCall()
{
    QFETCH(ReaderCall, call);
    QFETCH(int, opened);

    for (const char *name : {"missing.zip", "text.zip", "empty.zip", "folder.zip"}) {
        ZrZipReader zip(m_dir.filePath(name));
        QVERIFY2(!zip.isOpen(), name);
        QVERIFY2(call(zip) == ZrZipReader::ParamError, name);
        QVERIFY2(call(zip) == ZrZipReader::ParamError, name);
    }
    ZrZipReader zip(m_dir.filePath("one.zip"));
    QVERIFY(zip.isOpen());
    QCOMPARE(call(zip), opened);
}

QTEST_GUILESS_MAIN(TestZrZipReader)
#include "tst_zrzipreader.moc"
