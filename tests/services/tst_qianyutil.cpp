#include "services/qianyutil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class tst_QIAnyUtil : public QObject
{
    Q_OBJECT

private slots:
    void folders_followTheTreeShape();
    void resourceFolder_foundInACopiedTree();
    void dataFolders_createdUnderXdgLocations();
    void dataFolders_fallBackToTheParent();
    void tempFolder_isPrivate();
    void size2String_data();
    void size2String();
    void textSlots();
};

void tst_QIAnyUtil::folders_followTheTreeShape()
{
    const QString root = QDir(QCoreApplication::applicationDirPath() + "/..").canonicalPath();
    QCOMPARE(QIAnyUtil::getApplicationDirPath(), root + "//");
    QCOMPARE(QIAnyUtil::getResourcePath(), root + "//Resources");
    QVERIFY(QFile::exists(QIAnyUtil::getApplicationDirPath() + "Info.plist"));
    QVERIFY(QFile::exists(QIAnyUtil::getResourcePath() + "/images/Common/btn_common.png"));
    // Cached: the same text again.
    QCOMPARE(QIAnyUtil::getResourcePath(), root + "//Resources");
}

// A copy of this executable in <tmp>/bin prints the folders it finds.
void tst_QIAnyUtil::resourceFolder_foundInACopiedTree()
{
    QTemporaryDir tree;
    QVERIFY(QDir().mkpath(tree.path() + "/bin"));
    QVERIFY(QDir().mkpath(tree.path() + "/Resources/images"));
    const QString exe = tree.path() + "/bin/ZRPlayer";
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), exe));
    QProcess process;
    process.start(exe, {"--print-paths"});
    QVERIFY(process.waitForFinished(10000));
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.value(0), tree.path() + "//");
    QCOMPARE(lines.value(1), tree.path() + "//Resources");
    QVERIFY(QDir(lines.value(1) + "/images").exists());
}

void tst_QIAnyUtil::dataFolders_createdUnderXdgLocations()
{
    const QString home = QDir::homePath();
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    QDir(data + "/ZRPlayer").removeRecursively();
    QCOMPARE(QIAnyUtil::getAppDataPath(), data + "/ZRPlayer");
    QVERIFY(QDir(data + "/ZRPlayer").exists());
    QCOMPARE(QIAnyUtil::getLogFilePath("Quorvane", "ZRPlayer"), data + "/ZRPlayer");
    QCOMPARE(QIAnyUtil::getLogFilePath(QString(), "x"), QIAnyUtil::getAppDataPath());

    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(docs.startsWith(home));
    QCOMPARE(QIAnyUtil::getDocumentPath(), docs + "/ZRPlayer");
    QVERIFY(QDir(docs + "/ZRPlayer").exists());
}

void tst_QIAnyUtil::dataFolders_fallBackToTheParent()
{
    // A file where the product folder should be: the parent location is answered.
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir(docs + "/ZRPlayer").removeRecursively();
    QFile blocker(docs + "/ZRPlayer");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(QIAnyUtil::getDocumentPath(), docs);
    QVERIFY(blocker.remove());
}

void tst_QIAnyUtil::tempFolder_isPrivate()
{
    const QString temp = QIAnyUtil::getTempSavePath();
    QVERIFY(temp.endsWith("/ZRPlayer"));
    QVERIFY(QDir(temp).exists());
    struct stat info;
    const QByteArray parent = QFile::encodeName(QFileInfo(temp).path());
    QCOMPARE(::stat(parent.constData(), &info), 0);
    QCOMPARE(info.st_uid, ::getuid());
    QCOMPARE(int(info.st_mode & 077), 0);

    // Without a runtime folder: a per-user folder under the temporary location.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = QIAnyUtil::getTempSavePath();
    qputenv("XDG_RUNTIME_DIR", runtime);
    QCOMPARE(fallback, QString("%1/zrplayer-%2/ZRPlayer").arg(QDir::tempPath()).arg(::getuid()));
    QCOMPARE(::stat(QFile::encodeName(QFileInfo(fallback).path()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 077), 0);
}

void tst_QIAnyUtil::size2String_data()
{
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0ULL << "0 B";
    QTest::newRow("1024") << 1024ULL << "1024 B";
    QTest::newRow("1025") << 1025ULL << "1.00 KB";
    QTest::newRow("1048576") << 1048576ULL << "1024.00 KB";
    QTest::newRow("1048577") << 1048577ULL << "1.00 MB";
    QTest::newRow("1073741824") << 1073741824ULL << "1024.00 MB";
    QTest::newRow("1073741825") << 1073741825ULL << "1.00 GB";
    QTest::newRow("5 TiB") << 5497558138880ULL << "5120.00 GB";
}

void tst_QIAnyUtil::size2String()
{
    QFETCH(qulonglong, bytes);
    QFETCH(QString, text);
    QCOMPARE(QIAnyUtil::size2String(bytes), text);
}

void tst_QIAnyUtil::textSlots()
{
    QCOMPARE(QIAnyUtil::dndTmpPath(), QString(""));
    QVERIFY(!QIAnyUtil::dndTmpPath().isNull());
    QCOMPARE(QIAnyUtil::getRestorePassWord(), QString());
    QIAnyUtil::setRestorePassWord("secret");
    QCOMPARE(QIAnyUtil::getRestorePassWord(), QString("secret"));
}

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--print-paths") == 0) {
        QCoreApplication app(argc, argv);
        printf("%s\n%s\n", qPrintable(QIAnyUtil::getApplicationDirPath()), qPrintable(QIAnyUtil::getResourcePath()));
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_QIAnyUtil test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qianyutil.moc"
