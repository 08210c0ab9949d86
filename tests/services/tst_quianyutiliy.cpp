#include "services/quianyutiliy.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

class tst_QUiAnyUtiliy : public QObject
{
    Q_OBJECT

private slots:
    void converSize_data();
    void converSize();
    void timeConversions_data();
    void timeConversions();
    void findValidPathName_data();
    void findValidPathName();
    void findValidPathName_relativeFolder();
    void familieNames();
    void resourceFolderAndScale();
};

void tst_QUiAnyUtiliy::converSize_data()
{
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0ULL << "0 B";
    QTest::newRow("1023") << 1023ULL << "1023 B";
    QTest::newRow("1024") << 1024ULL << "1.00 KB";
    QTest::newRow("1536") << 1536ULL << "1.50 KB";
    QTest::newRow("1048575") << 1048575ULL << "1024.00 KB";
    QTest::newRow("1048576") << 1048576ULL << "1.00 MB";
    QTest::newRow("1073741823") << 1073741823ULL << "1024.00 MB";
    QTest::newRow("1073741824") << 1073741824ULL << "1.00 GB";
    QTest::newRow("1099511627775") << 1099511627775ULL << "1024.00 GB";
    QTest::newRow("1099511627776") << 1099511627776ULL << "1.00 T";
    QTest::newRow("max") << 18446744073709551615ULL << "16777216.00 T";
}

void tst_QUiAnyUtiliy::converSize()
{
    QFETCH(qulonglong, bytes);
    QFETCH(QString, text);
    QCOMPARE(QUiAnyUtiliy::converSize(bytes), text);
}

void tst_QUiAnyUtiliy::timeConversions_data()
{
    QTest::addColumn<qint64>("microseconds");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<qint64>("back");
    QTest::newRow("5.025 s") << qint64(5025000) << QTime(0, 0, 5, 25) << qint64(5025000);
    QTest::newRow("zero") << qint64(0) << QTime(0, 0, 0, 0) << qint64(0);
    QTest::newRow("1:02:03.004") << qint64(3723004000) << QTime(1, 2, 3, 4) << qint64(3723004000);
    QTest::newRow("sub-millisecond dropped") << qint64(5025999) << QTime(0, 0, 5, 25) << qint64(5025000);
    QTest::newRow("last of the day") << qint64(86399999000) << QTime(23, 59, 59, 999) << qint64(86399999000);
    QTest::newRow("a full day") << qint64(86400000000) << QTime() << qint64(0);
    QTest::newRow("far beyond int milliseconds") << (qint64(1) << 62) << QTime() << qint64(0);
    QTest::newRow("minus one millisecond") << qint64(-1000) << QTime() << qint64(0);
    QTest::newRow("minus below a millisecond") << qint64(-999) << QTime(0, 0, 0, 0) << qint64(0);
}

void tst_QUiAnyUtiliy::timeConversions()
{
    QFETCH(qint64, microseconds);
    QFETCH(QTime, time);
    QFETCH(qint64, back);

    const QTime converted = QUiAnyUtiliy::intConvertToTime(microseconds);
    QCOMPARE(converted.isValid(), time.isValid());
    if (!time.isValid())
        return;
    QCOMPARE(converted, time);
    QCOMPARE(QUiAnyUtiliy::timeConvertToInt(converted), back);
}

void tst_QUiAnyUtiliy::findValidPathName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("folderEnd");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("isDir");
    QTest::addColumn<QString>("result");

    // Entries: "f:" a file, "d:" a folder, "l:" a link that points nowhere.
    const QStringList two{"f:Movie.mp4", "f:Movie-1.mp4"};
    QTest::newRow("free") << QStringList() << "" << "Movie" << "mp4" << "" << false << "Movie.mp4";
    QTest::newRow("two taken") << two << "" << "Movie" << "mp4" << "" << false << "Movie-2.mp4";
    QTest::newRow("folder ends in /") << two << "/" << "Movie" << "mp4" << "" << false << "Movie-2.mp4";
    QTest::newRow("folder ends in \\") << two << "\\" << "Movie" << "mp4" << "" << false << "Movie-2.mp4";
    QTest::newRow("a folder takes a file name") << QStringList{"d:Movie.mp4"} << "" << "Movie" << "mp4" << ""
                                                << false << "Movie-1.mp4";
    QTest::newRow("a file takes a folder name") << QStringList{"f:Shots", "d:Shots-1"} << "" << "Shots" << ""
                                                << "" << true << "Shots-2";
    QTest::newRow("dangling link") << QStringList{"l:Movie.mp4"} << "" << "Movie" << "mp4" << "" << false
                                   << "Movie-1.mp4";
    QTest::newRow("own separator") << QStringList{"f:Movie.mp4"} << "" << "Movie" << "mp4" << " (%1)" << false
                                   << "Movie (1).mp4";
    QTest::newRow("separator without %1") << QStringList{"f:Movie.mp4", "f:Movie_1.mp4"} << "" << "Movie"
                                          << "mp4" << "_" << false << "Movie_2.mp4";
}

void tst_QUiAnyUtiliy::findValidPathName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, folderEnd);
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QFETCH(QString, separator);
    QFETCH(bool, isDir);
    QFETCH(QString, result);

    QTemporaryDir dir;
    for (const QString &entry : existing) {
        const QString path = dir.path() + "/" + entry.mid(2);
        if (entry.startsWith("d:")) {
            QVERIFY(QDir().mkdir(path));
        } else if (entry.startsWith("l:")) {
            QVERIFY(QFile::link(dir.path() + "/nowhere", path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    QCOMPARE(QUiAnyUtiliy::findValidPathName(dir.path() + folderEnd, name, suffix, separator, isDir), result);
}

void tst_QUiAnyUtiliy::findValidPathName_relativeFolder()
{
    QTemporaryDir dir;
    QVERIFY(QDir().mkdir(dir.path() + "/shots"));
    QFile file(dir.path() + "/shots/a.png");
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString found = QUiAnyUtiliy::findValidPathName("shots", "a", "png", "", false);
    QDir::setCurrent(before);
    QCOMPARE(found, QString("a-1.png"));
}

void tst_QUiAnyUtiliy::familieNames()
{
    const QStringList all = QUiAnyUtiliy::familieNames(QFontDatabase::Any);
    QVERIFY(!all.isEmpty());
    QCOMPARE(QUiAnyUtiliy::familieNames(QFontDatabase::Arabic), all);
}

void tst_QUiAnyUtiliy::resourceFolderAndScale()
{
    const QString root = QDir(QCoreApplication::applicationDirPath() + "/..").canonicalPath();
    QCOMPARE(QUiAnyUtiliy::getResourcePath(), root + "//Resources");
    QUiAnyUtiliy::QDpiScaleInit();
    QCOMPARE(QUiAnyUtiliy::getDpiScale(), 1.0f);
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_QUiAnyUtiliy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quianyutiliy.moc"
