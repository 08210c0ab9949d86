#include "toolkit/qprojectconfig.h"
#include "toolkit/qzrprojectpath.h"

#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QtTest>

namespace {

QString folderOf(const QString &kind, const QString &name, const QString &version)
{
    if (kind == "temp")
        return QZRProjectPath::getTempSavePath(name, version);
    if (kind == "documents")
        return QZRProjectPath::getDocumentPath(name, version);
    return QZRProjectPath::getAppDataPath(name, version);
}

QString baseOf(const QString &kind)
{
    if (kind == "temp")
        return QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (kind == "documents")
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The parent of the application's own data folder.
    return QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DataLocation)).path();
}

}

class tst_QZRProjectPath : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void formatPath_data();
    void formatPath();
    void applicationAndResourceFolders();
    void projectFolders_data();
    void projectFolders();
    void projectFolders_fallBackToTheBase();
    void logFolder_ignoresItsArguments();
};

void tst_QZRProjectPath::cleanup()
{
    QProjectConfig::releaseProjectConfig();
    QZRProjectPath::setCommonPathPrefix(QString());
    QZRProjectPath::setResourcePathPrefix(QString());
}

void tst_QZRProjectPath::formatPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("plain") << "/a/b/c.png" << "/a/b/c.png";
    QTest::newRow("backslashes") << "C:\\media\\a.mp4" << "C:/media/a.mp4";
    QTest::newRow("mixed") << "/root//Resources\\\\images\\a.png" << "/root/Resources/images/a.png";
    QTest::newRow("slash after backslash") << "a\\/b" << "a/b";
    QTest::newRow("three slashes, one pass") << "a///b" << "a//b";
    QTest::newRow("empty") << "" << "";
}

void tst_QZRProjectPath::formatPath()
{
    QFETCH(QString, path);
    QFETCH(QString, formatted);
    QZRProjectPath::formatPath(path);
    QCOMPARE(path, formatted);
}

void tst_QZRProjectPath::applicationAndResourceFolders()
{
    const QString root = QDir(QCoreApplication::applicationDirPath() + "/..").canonicalPath();
    QCOMPARE(QZRProjectPath::getApplicationDirPath(), root + "/");
    QVERIFY(QFile::exists(QZRProjectPath::getApplicationDirPath() + "Info.plist"));

    QCOMPARE(QZRProjectPath::getResourcePath("/images/Common/btn_common.png"),
             root + "/Resources/images/Common/btn_common.png");
    QVERIFY(QFile::exists(QZRProjectPath::getResourcePath("images\\Common\\btn_common.png")));

    QZRProjectPath::setResourcePathPrefix("skin");
    QCOMPARE(QZRProjectPath::resourcePathPrefix(), QString("skin"));
    QCOMPARE(QZRProjectPath::getResourcePath("a.png"), root + "/Resources/skin/a.png");
}

void tst_QZRProjectPath::projectFolders_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("configName");
    QTest::addColumn<QString>("configVersion");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("relative");

    for (const char *kind : {"temp", "documents", "appdata"}) {
        const QByteArray k(kind);
        QTest::newRow(k + ": nothing configured") << kind << "" << "" << "" << "" << "" << "";
        QTest::newRow(k + ": name") << kind << "Movies" << "" << "" << "" << "" << "/Movies";
        QTest::newRow(k + ": name and version") << kind << "Movies" << "1.0" << "" << "" << "" << "/Movies 1.0";
        QTest::newRow(k + ": from the config") << kind << "" << "" << "ZRPlayer" << "2.2" << "" << "/ZRPlayer 2.2";
        QTest::newRow(k + ": arguments win") << kind << "Own" << "" << "ZRPlayer" << "" << "" << "/Own";
        QTest::newRow(k + ": common prefix") << kind << "Movies" << "" << "" << "" << "Quorvane"
                                             << "/Quorvane/Movies";
    }
}

void tst_QZRProjectPath::projectFolders()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, version);
    QFETCH(QString, configName);
    QFETCH(QString, configVersion);
    QFETCH(QString, prefix);
    QFETCH(QString, relative);

    QProjectConfig::getProjectConfig()->setProjectName(configName);
    QProjectConfig::getProjectConfig()->setProjectVersionName(configVersion);
    QZRProjectPath::setCommonPathPrefix(prefix);
    QCOMPARE(QZRProjectPath::commonPathPrefix(), prefix);

    const QString expected = baseOf(kind) + relative;
    if (!relative.isEmpty())
        QDir(expected).removeRecursively();
    QCOMPARE(folderOf(kind, name, version), expected);
    QVERIFY(QFileInfo(expected).isDir());
}

void tst_QZRProjectPath::projectFolders_fallBackToTheBase()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFile blocker(docs + "/Blocked");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(QZRProjectPath::getDocumentPath("Blocked", ""), docs);
    QVERIFY(QFileInfo(docs + "/Blocked").isFile());
}

void tst_QZRProjectPath::logFolder_ignoresItsArguments()
{
    QCOMPARE(QZRProjectPath::getLogFilePath("Quorvane", "ZRPlayer"), baseOf("appdata"));
    QProjectConfig::getProjectConfig()->setProjectName("ZRPlayer");
    QCOMPARE(QZRProjectPath::getLogFilePath("x", "y"), QZRProjectPath::getAppDataPath("", ""));
    QCOMPARE(QZRProjectPath::getLogFilePath("x", "y"), baseOf("appdata") + "/ZRPlayer");
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_QZRProjectPath test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qzrprojectpath.moc"
