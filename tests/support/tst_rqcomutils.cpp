#include "support/rqcomutils.h"

#include "support/fakepkexec.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const int WaitMs = 60000;

// Run from a copy of this executable beside its own Info.plist (ZR_BUNDLE_PROBE set): prints
// what the main bundle gives.
int probeMainBundle()
{
    std::printf("appVersion=%s\nappShortVersion=%s\nappCopyright=%s\nappVersionFloat=%.4f\nappName=%s\n"
                "bundleDisplayName=%s\nbundleIdentifier=%s\ncurrentAppSupportDirectory=%s\n"
                "currentAppCachesDirectory=%s\n",
                qUtf8Printable(RQComUtils::appVersion()), qUtf8Printable(RQComUtils::appShortVersion()),
                qUtf8Printable(RQComUtils::appCopyright()), double(RQComUtils::appVersionFloat()),
                qUtf8Printable(RQComUtils::appName()), qUtf8Printable(RQComUtils::bundleDisplayName()),
                qUtf8Printable(RQComUtils::bundleIdentifier()),
                qUtf8Printable(RQComUtils::currentAppSupportDirectory()),
                qUtf8Printable(RQComUtils::currentAppCachesDirectory()));
    return 0;
}

QString run(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(WaitMs))
        return QString();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(WaitMs);
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray infoPlist(const QByteArray &entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
           + entries + "</dict>\n</plist>\n";
}

QByteArray stringEntry(const QByteArray &key, const QByteArray &value)
{
    return "<key>" + key + "</key><string>" + value + "</string>\n";
}

// The three leading numbers of a kernel release.
QList<quint32> releaseNumbers(const QString &release)
{
    const QRegularExpressionMatch match = QRegularExpression("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?").match(release);
    return {match.captured(1).toUInt(), match.captured(2).toUInt(), match.captured(3).toUInt()};
}

QStringList toolsOf(const QList<FakePkexec::Run> &runs)
{
    QStringList tools;
    for (const FakePkexec::Run &run : runs)
        tools << run.arguments.value(1);
    return tools;
}

}

class TestRQComUtils : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formatDiskSize_data();
    void formatDiskSize();
    void fitAndFillSize_data();
    void fitAndFillSize();
    void croppedImage_data();
    void croppedImage();
    void fileNameByTrimmingSpecialCharacters_data();
    void fileNameByTrimmingSpecialCharacters();
    void encStringByAddingPercentEscapes_data();
    void encStringByAddingPercentEscapes();
    void stringByReplacingWithMatches_data();
    void stringByReplacingWithMatches();
    void safeDictionart();
    void digests_data();
    void digests();
    void defaultFont();

    void mainBundle();
    void bundleAtPath_data();
    void bundleAtPath();
    void systemInformation();
    void isLessThanSystemVersion_data();
    void isLessThanSystemVersion();
    void sysctlStringForKey_data();
    void sysctlStringForKey();
    void deviceQueries();

    void moveToTrash_data();
    void moveToTrash();
    void renameFile_data();
    void renameFile();
    void filePathsAndSizes();
    void copyMoveAndDelete();
    void listingsAndAttributes();
    void appFolders();
    void userDefaults();

    void administratorOperations_data();
    void administratorOperations();
    void administratorSequences_data();
    void administratorSequences();
    void privilegedRunWaitsForItsOwnChild();

private:
    QTemporaryDir m_bin;
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestRQComUtils::initTestCase()
{
    QVERIFY(m_bin.isValid());
    QVERIFY(FakePkexec::install(m_bin.path()));
}

void TestRQComUtils::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    FakePkexec::setRefusing(false);
    FakePkexec::clearRuns();
}

void TestRQComUtils::cleanup()
{
    m_dir.reset();
}

void TestRQComUtils::formatDiskSize_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing") << quint64(0) << "0.0 KB";
    QTest::newRow("below one unit") << quint64(999) << "1.0 KB";
    QTest::newRow("999,999 stays in KB") << quint64(999999) << "1000.0 KB";
    QTest::newRow("MB step") << quint64(1000000) << "1.0 MB";
    QTest::newRow("1.5 MB") << quint64(1500000) << "1.5 MB";
    QTest::newRow("last MB") << quint64(999999999) << "1000.0 MB";
    QTest::newRow("GB step") << quint64(1000000000) << "1.0 GB";
    QTest::newRow("TB step") << quint64(1000000000000) << "1.0 TB";
    QTest::newRow("2.5 TB") << quint64(2500000000000) << "2.5 TB";
    QTest::newRow("largest count") << std::numeric_limits<quint64>::max() << "18446744.1 TB";
}

void TestRQComUtils::formatDiskSize()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(RQComUtils::formatDiskSize(bytes), text);
}

void TestRQComUtils::fitAndFillSize_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QSizeF>("bounds");
    QTest::addColumn<QSizeF>("fit");
    QTest::addColumn<QSizeF>("fill");

    QTest::newRow("smaller stays, fill grows") << QSizeF(50, 20) << QSizeF(100, 100) << QSizeF(50, 20)
                                               << QSizeF(100, 40);
    QTest::newRow("smaller portrait") << QSizeF(20, 50) << QSizeF(100, 100) << QSizeF(20, 50) << QSizeF(40, 100);
    QTest::newRow("landscape takes the width") << QSizeF(400, 100) << QSizeF(200, 200) << QSizeF(200, 50)
                                               << QSizeF(200, 50);
    QTest::newRow("portrait takes the height") << QSizeF(100, 400) << QSizeF(200, 200) << QSizeF(50, 200)
                                               << QSizeF(50, 200);
    QTest::newRow("square takes the width") << QSizeF(300, 300) << QSizeF(100, 50) << QSizeF(100, 100)
                                            << QSizeF(100, 100);
    QTest::newRow("equal width is not smaller") << QSizeF(100, 50) << QSizeF(100, 100) << QSizeF(100, 50)
                                                << QSizeF(100, 50);
    QTest::newRow("empty size") << QSizeF(0, 0) << QSizeF(0, 0) << QSizeF(0, 0) << QSizeF(0, 0);
}

void TestRQComUtils::fitAndFillSize()
{
    QFETCH(QSizeF, size);
    QFETCH(QSizeF, bounds);
    QFETCH(QSizeF, fit);
    QFETCH(QSizeF, fill);
    QCOMPARE(RQComUtils::fitSize(size, bounds), fit);
    QCOMPARE(RQComUtils::fillSize(size, bounds), fill);
}

void TestRQComUtils::croppedImage_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
    QTest::newRow("RGB888") << int(QImage::Format_RGB888);
    QTest::newRow("RGB16") << int(QImage::Format_RGB16);
}

void TestRQComUtils::croppedImage()
{
    QFETCH(int, format);
    // Left half red, right half blue.
    QImage source(400, 200, QImage::Format_ARGB32);
    source.fill(Qt::blue);
    QPainter(&source).fillRect(0, 0, 200, 200, Qt::red);
    source = source.convertToFormat(QImage::Format(format));

    const QImage small = RQComUtils::croppedImage(source, QSizeF(100, 100));
    QCOMPARE(small.size(), QSize(100, 50));
    QCOMPARE(small.format(), source.format());
    QCOMPARE(QColor(small.pixel(10, 25)), QColor(Qt::red));
    QCOMPARE(QColor(small.pixel(90, 25)), QColor(Qt::blue));

    QCOMPARE(RQComUtils::croppedImage(source, QSizeF(0, 0)), source);
    QVERIFY(RQComUtils::croppedImage(QImage(), QSizeF(100, 100)).isNull());
}

void TestRQComUtils::fileNameByTrimmingSpecialCharacters_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("trimmed");

    QTest::newRow("two dots and a slash") << "..name/" << "name";
    QTest::newRow("blanks, colons, slashes") << " \ta:b/c.txt \t" << "abc.txt";
    QTest::newRow("dots after a slash") << "/.x" << "x";
    QTest::newRow("inner and trailing dots stay") << "a..b." << "a..b.";
    QTest::newRow("only dots") << "..." << "";
    QTest::newRow("line breaks stay") << "\n.x" << "\n.x";
    QTest::newRow("empty") << "" << "";
}

void TestRQComUtils::fileNameByTrimmingSpecialCharacters()
{
    QFETCH(QString, name);
    QFETCH(QString, trimmed);
    QCOMPARE(RQComUtils::fileNameByTrimmingSpecialCharacters(name), trimmed);
}

void TestRQComUtils::encStringByAddingPercentEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");

    QTest::newRow("unreserved stay") << "AZaz09-._~" << "AZaz09-._~";
    QTest::newRow("the listed characters")
        << "!*'();:@&=+$,/?%#[]" << "%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D";
    QTest::newRow("outside the URL set") << "a b\"<>\\^`{|}" << "a%20b%22%3C%3E%5C%5E%60%7B%7C%7D";
    QTest::newRow("UTF-8") << QString::fromUtf8("é€") << "%C3%A9%E2%82%AC";
}

void TestRQComUtils::encStringByAddingPercentEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(RQComUtils::encStringByAddingPercentEscapes(text), escaped);
}

void TestRQComUtils::stringByReplacingWithMatches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");

    QTest::newRow("case-insensitive, every match") << "abc" << "ABC abc aBc!" << "x" << "x x x!";
    QTest::newRow("groups") << "(\\d+)-(\\d+)" << "a 12-34 b 5-6" << "$2-$1" << "a 34-12 b 6-5";
    QTest::newRow("whole match") << "o+" << "foo bo" << "[$0]" << "f[oo] b[o]";
    QTest::newRow("escaped dollar") << "x" << "axb" << "\\$1" << "a$1b";
    QTest::newRow("digits beyond the groups") << "(a)" << "ab" << "$12" << "a2b";
    QTest::newRow("empty template removes") << "\\s+" << "a  b\tc" << "" << "abc";
    QTest::newRow("invalid pattern") << "(" << "a(b" << "x" << "a(b";
    QTest::newRow("no pattern") << "" << "abc" << "x" << "abc";
    QTest::newRow("no template") << "a" << "abc" << QString() << "abc";
}

void TestRQComUtils::stringByReplacingWithMatches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(RQComUtils::stringByReplacingWithMatches(pattern, text, replacement), result);
}

void TestRQComUtils::safeDictionart()
{
    QVariantMap inner{{"none", QVariant()}, {"kept", 0}, {"deeper", QVariantMap{{"null", QVariant::fromValue(nullptr)}}}};
    QVariantMap map{{"none", QVariant()},
                    {"text", "t"},
                    {"zero", 0},
                    {"inner", inner},
                    {"list", QVariantList{QVariant(), 1}}};
    RQComUtils::safeDictionart(map);

    const QVariantMap expectedInner{{"none", ""}, {"kept", 0}, {"deeper", QVariantMap{{"null", ""}}}};
    const QVariantMap expected{{"none", ""},
                               {"text", "t"},
                               {"zero", 0},
                               {"inner", expectedInner},
                               {"list", QVariantList{QVariant(), 1}}};
    QCOMPARE(map, expected);
    QCOMPARE(map.value("inner").toMap().value("deeper").toMap().value("null").type(), QVariant::String);
}

void TestRQComUtils::digests_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("ASCII") << "The quick brown fox";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Grüße, 世界 🎬");
}

void TestRQComUtils::digests()
{
    QFETCH(QString, text);
    const QString md5 = run("md5sum", {}, text.toUtf8()).section(' ', 0, 0);
    const QString sha1 = run("sha1sum", {}, text.toUtf8()).section(' ', 0, 0);
    QCOMPARE(md5.size(), 32);
    QCOMPARE(sha1.size(), 40);
    QCOMPARE(RQComUtils::md5Encode(text), md5);
    QCOMPARE(RQComUtils::sha1(text), sha1);
    QVERIFY(RQComUtils::md5Encode(QString()).isNull());
}

void TestRQComUtils::defaultFont()
{
    const QFont font = RQComUtils::defaultFontWithSize(17);
    QCOMPARE(font.pointSizeF(), 17.0);
    const bool pingFang = QFontDatabase().families().contains("PingFangSC-Light");
    QCOMPARE(font.family(),
             pingFang ? QString("PingFangSC-Light") : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

void TestRQComUtils::mainBundle()
{
    // A copy of this program in a root of its own, since the main bundle is the executable's parent folder.
    const QString root = m_dir->filePath("root");
    const QString copy = root + "/bin/" + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QVERIFY(QDir().mkpath(root + "/bin"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QVERIFY(writeFile(root + "/Info.plist",
                      infoPlist(stringEntry("CFBundleVersion", "1.2.3") + stringEntry("CFBundleShortVersionString", "1.2")
                                + stringEntry("NSHumanReadableCopyright", "© Somebody")
                                + stringEntry("CFBundleName", "Plain") + stringEntry("CFBundleDisplayName", "Shown Name")
                                + stringEntry("CFBundleIdentifier", "com.example.player"))));

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZR_BUNDLE_PROBE", "1");
    probe.setProcessEnvironment(environment);
    probe.start(copy, QStringList());
    QVERIFY(probe.waitForFinished(WaitMs));
    QCOMPARE(probe.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString support = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/Shown Name";
    const QString caches = QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME")) + "/Shown Name";
    QCOMPARE(lines, QStringList({"appVersion=1.2.3", "appShortVersion=1.2", QString::fromUtf8("appCopyright=© Somebody"),
                                 "appVersionFloat=1.2300", "appName=Shown Name", "bundleDisplayName=Shown Name",
                                 "bundleIdentifier=com.example.player", "currentAppSupportDirectory=" + support,
                                 "currentAppCachesDirectory=" + caches}));
    QVERIFY(QFileInfo(support).isDir());
    QVERIFY(QFileInfo(caches).isDir());
}

void TestRQComUtils::bundleAtPath_data()
{
    QTest::addColumn<QString>("infoAt");
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("buildVersion");
    QTest::addColumn<QList<int>>("parts");
    QTest::addColumn<QString>("versionString");

    QTest::newRow("flat Info.plist") << "Info.plist" << stringEntry("CFBundleVersion", "10.4.7") << false
                                     << QByteArray() << QList<int>({10, 4, 7}) << "10.4.7";
    QTest::newRow("Contents, two parts, build") << "Contents/Info.plist" << stringEntry("CFBundleVersion", "3.1")
                                                << false << QByteArray("17A42") << QList<int>({3, 1, -1})
                                                << "3.1 (17A42)";
    QTest::newRow("binary list, letters after digits")
        << "Contents/Info.plist" << stringEntry("CFBundleVersion", "5.6b.7.9") << true << QByteArray()
        << QList<int>({5, 6, 7}) << "5.6b.7.9";
    QTest::newRow("version not a string") << "Info.plist" << QByteArray("<key>CFBundleVersion</key><integer>4</integer>\n")
                                           << false << QByteArray("1A1") << QList<int>({-1, -1, -1}) << QString();
    // Refused before the parser could overflow the stack.
    QTest::newRow("200000 levels deep")
        << "Info.plist"
        << "<key>Deep</key>" + QByteArray("<array>").repeated(200000) + QByteArray("</array>").repeated(200000)
               + stringEntry("CFBundleVersion", "1.2.3")
        << false << QByteArray() << QList<int>({-1, -1, -1}) << QString();
    QTest::newRow("no Info.plist") << QString() << QByteArray() << false << QByteArray() << QList<int>({-1, -1, -1})
                                   << QString();
}

void TestRQComUtils::bundleAtPath()
{
    QFETCH(QString, infoAt);
    QFETCH(QByteArray, entries);
    QFETCH(bool, binary);
    QFETCH(QByteArray, buildVersion);
    QFETCH(QList<int>, parts);
    QFETCH(QString, versionString);

    const QString bundle = m_dir->filePath("Some.app");
    QVERIFY(QDir().mkpath(bundle));
    if (!infoAt.isEmpty()) {
        const QString info = bundle + "/" + infoAt;
        QVERIFY(writeFile(info, infoPlist(entries)));
        if (binary) {
            QProcess::execute("plistutil", {"-i", info, "-o", info + ".bin"});
            QVERIFY(readFile(info + ".bin").startsWith("bplist00"));
            QVERIFY(QFile::remove(info) && QFile::rename(info + ".bin", info));
        }
    }
    if (!buildVersion.isEmpty())
        QVERIFY(writeFile(bundle + "/Contents/version.plist", infoPlist(stringEntry("ProductBuildVersion", buildVersion))));

    int major = -1, minor = -1, bugfix = -1;
    RQComUtils::applicationVersion(bundle, &major, &minor, &bugfix);
    QCOMPARE(QList<int>({major, minor, bugfix}), parts);
    QCOMPARE(RQComUtils::applicationVersionString(bundle), versionString);
}

void TestRQComUtils::systemInformation()
{
    const QString release = run("uname", {"-r"}).trimmed();
    const QList<quint32> numbers = releaseNumbers(release);
    QCOMPARE(RQComUtils::deviceInfo(), run("uname", {"-m"}).trimmed());
    QCOMPARE(RQComUtils::systemVersion(), release);
    QCOMPARE(QList<quint32>({RQComUtils::systemVersionMajor(), RQComUtils::systemVersionMinor(),
                             RQComUtils::systemVersionBugfix()}),
             numbers);
    QCOMPARE(RQComUtils::systemVersionUInt64(),
             (quint64(numbers[0]) << 48) | (quint64(numbers[1]) << 32) | (quint64(numbers[2]) << 16));
    QCOMPARE(RQComUtils::statusBarHeight(), release.section('.', 0, 1).toDouble() >= 7.0 ? 20.0 : 0.0);
    QCOMPARE(RQComUtils::systemName(), QString(""));
    QVERIFY(!RQComUtils::isSIPEnabled());
    QCOMPARE(RQComUtils::appFrame(), QRectF());
    qputenv("USER", "someone");
    QCOMPARE(RQComUtils::deviceName(), QString("someone"));
}

void TestRQComUtils::isLessThanSystemVersion_data()
{
    QTest::addColumn<int>("majorStep");
    QTest::addColumn<int>("minorStep");
    QTest::addColumn<int>("bugfixStep");
    QTest::addColumn<bool>("less");

    QTest::newRow("the running version") << 0 << 0 << 0 << false;
    QTest::newRow("next bugfix") << 0 << 0 << 1 << true;
    QTest::newRow("next minor") << 0 << 1 << 0 << true;
    QTest::newRow("next major") << 1 << 0 << 0 << true;
    QTest::newRow("previous major, higher minor") << -1 << 50 << 0 << false;
}

void TestRQComUtils::isLessThanSystemVersion()
{
    QFETCH(int, majorStep);
    QFETCH(int, minorStep);
    QFETCH(int, bugfixStep);
    QFETCH(bool, less);
    const QList<quint32> running = releaseNumbers(run("uname", {"-r"}).trimmed());
    QVERIFY(running[0] > 0);
    QCOMPARE(RQComUtils::isLessThanSystemVersion(running[0] + majorStep, running[1] + minorStep,
                                                 running[2] + bugfixStep),
             less);
}

void TestRQComUtils::sysctlStringForKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("Linux name") << "kernel.ostype" << "Linux";
    QTest::newRow("macOS name") << "hw.machine" << "";
    QTest::newRow("a folder") << "kernel" << "";
    QTest::newRow("dots cannot climb out") << "...etc.hostname" << "";
    QTest::newRow("empty") << "" << "";
}

void TestRQComUtils::sysctlStringForKey()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString result = RQComUtils::sysctlStringForKey(key);
    QCOMPARE(result, value);
    QVERIFY(!result.isNull());
}

void TestRQComUtils::deviceQueries()
{
    // Whatever the machine has: DMI tables or none, an interface on the default route or none.
    const QString model = QString::fromUtf8(readFile("/sys/class/dmi/id/product_name")).trimmed();
    QCOMPARE(RQComUtils::deviceModel(), model);
    const QString serial = RQComUtils::deviceSerialNumber();
    QCOMPARE(serial, QFileInfo("/sys/class/dmi/id/product_serial").isReadable()
                         ? QString::fromUtf8(readFile("/sys/class/dmi/id/product_serial")).trimmed()
                         : QString());

    QString routeInterface;
    for (const QByteArray &line : readFile("/proc/net/route").split('\n').mid(1)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 8 && fields[1] == "00000000" && fields[7] == "00000000") {
            routeInterface = QString::fromUtf8(fields[0]);
            break;
        }
    }
    const QString address = RQComUtils::deviceMacAddress();
    const QString sysfsAddress =
        QString::fromUtf8(readFile("/sys/class/net/" + routeInterface + "/address")).trimmed().remove(':');
    if (routeInterface.isEmpty() || sysfsAddress.size() != 12) {
        QVERIFY(address.isNull());
    } else {
        QVERIFY(QRegularExpression("^[0-9a-f]{12}$").match(address).hasMatch());
        QCOMPARE(address, sysfsAddress);
    }
}

void TestRQComUtils::moveToTrash_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("inTrash");
    QTest::addColumn<QString>("trashedAs");

    QTest::newRow("free name") << "free.txt" << QStringList() << "free.txt";
    QTest::newRow("name there twice") << "name" << QStringList({"name", "1_name"}) << "2_name";
    QTest::newRow("only its info file there") << "info only" << QStringList({"info only.trashinfo"})
                                              << "1_info only";
    QTest::newRow("a folder") << "folder.d" << QStringList({"folder.d"}) << "1_folder.d";
}

void TestRQComUtils::moveToTrash()
{
    QFETCH(QString, name);
    QFETCH(QStringList, inTrash);
    QFETCH(QString, trashedAs);

    const QString trash = RQComUtils::userTrashDirectory();
    QCOMPARE(trash, QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/Trash/files");
    const QString info = QFileInfo(trash).path() + "/info";
    for (const QString &entry : inTrash) {
        const bool infoFile = entry.endsWith(".trashinfo");
        QVERIFY(writeFile((infoFile ? info : trash) + "/" + entry, "old"));
    }

    const QString path = m_dir->filePath(name);
    if (name.endsWith(".d"))
        QVERIFY(writeFile(path + "/inner", "content"));
    else
        QVERIFY(writeFile(path, "content"));
    QVERIFY(RQComUtils::moveToTrash(path));
    QVERIFY(!QFileInfo::exists(path));

    const QString target = trash + "/" + trashedAs;
    QCOMPARE(readFile(QFileInfo(target).isDir() ? target + "/inner" : target), QByteArray("content"));
    for (const QString &entry : inTrash)
        QVERIFY(QFileInfo::exists((entry.endsWith(".trashinfo") ? info : trash) + "/" + entry));
    const QStringList lines = QString::fromUtf8(readFile(info + "/" + trashedAs + ".trashinfo")).split('\n');
    QCOMPARE(lines.value(0), QString("[Trash Info]"));
    QCOMPARE(lines.value(1), "Path=" + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
    const QDateTime deleted = QDateTime::fromString(lines.value(2).mid(13), "yyyy-MM-ddThh:mm:ss");
    QVERIFY(lines.value(2).startsWith("DeletionDate="));
    QVERIFY(deleted.isValid());
    QVERIFY(qAbs(deleted.secsTo(QDateTime::currentDateTime())) < 3600);

    QVERIFY(!RQComUtils::moveToTrash(path));
    QVERIFY(!RQComUtils::moveToTrash(QString()));
}

void TestRQComUtils::renameFile_data()
{
    QTest::addColumn<bool>("sourceThere");
    QTest::addColumn<bool>("targetThere");
    QTest::addColumn<bool>("renamed");

    QTest::newRow("free name") << true << false << true;
    QTest::newRow("onto an existing file") << true << true << false;
    QTest::newRow("no source") << false << false << false;
}

void TestRQComUtils::renameFile()
{
    QFETCH(bool, sourceThere);
    QFETCH(bool, targetThere);
    QFETCH(bool, renamed);

    const QString source = m_dir->filePath("source.txt");
    const QString target = m_dir->filePath("target.txt");
    if (sourceThere)
        QVERIFY(writeFile(source, "source"));
    if (targetThere)
        QVERIFY(writeFile(target, "target"));

    QCOMPARE(RQComUtils::renameFile(source, "target.txt"), renamed);
    if (renamed) {
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(readFile(target), QByteArray("source"));
    } else {
        QCOMPARE(QFileInfo::exists(source), sourceThere);
        if (sourceThere)
            QCOMPARE(readFile(source), QByteArray("source"));
        QCOMPARE(readFile(target), targetThere ? QByteArray("target") : QByteArray());
    }
}

void TestRQComUtils::filePathsAndSizes()
{
    const QString top = m_dir->filePath("top");
    QVERIFY(writeFile(top + "/a.txt", "abc"));
    QVERIFY(writeFile(top + "/sub/b.bin", QByteArray(1000, 'b')));
    QVERIFY(writeFile(top + "/sub/deeper/c", "12345"));
    QVERIFY(writeFile(top + "/.hidden", "1234567"));
    QVERIFY(writeFile(top + "/sub/.hid", "123456789"));
    QVERIFY(writeFile(top + "/.hiddendir/d", "12345678901"));
    QVERIFY(QFile::link(top + "/a.txt", top + "/link"));
    QVERIFY(QFile::link(top + "/sub", top + "/sublink"));

    const QStringList expected{top + "/a.txt", top + "/sub/b.bin", top + "/sub/deeper/c"};
    QCOMPARE(RQComUtils::filePathsOfDirectory(top), expected);
    QCOMPARE(RQComUtils::fileSize(top, true), quint64(3 + 1000 + 5));
    QCOMPARE(RQComUtils::fileSize(top + "/sub/b.bin", false), quint64(1000));
    QCOMPARE(RQComUtils::fileSize(top + "/missing", false), quint64(0));
    QCOMPARE(RQComUtils::fileSize(top + "/missing", true), quint64(0));
    QVERIFY(RQComUtils::filePathsOfDirectory(top + "/a.txt").isEmpty());
    QVERIFY(RQComUtils::filePathsOfDirectory(QString()).isEmpty());
}

void TestRQComUtils::copyMoveAndDelete()
{
    const QString source = m_dir->filePath("tree");
    QVERIFY(writeFile(source + "/x", "x"));
    QVERIFY(writeFile(source + "/.y/z", "z"));
    QVERIFY(QFile::link("x", source + "/relative"));

    const QString copy = m_dir->filePath("copy");
    QVERIFY(RQComUtils::copyItemAtPath(source, copy));
    QCOMPARE(readFile(copy + "/x"), QByteArray("x"));
    QCOMPARE(readFile(copy + "/.y/z"), QByteArray("z"));
    QCOMPARE(QFile::symLinkTarget(copy + "/relative"), copy + "/x");
    QVERIFY(!RQComUtils::copyItemAtPath(source, copy));
    QVERIFY(!RQComUtils::copyItemAtPath(m_dir->filePath("missing"), m_dir->filePath("other")));

    const QString moved = m_dir->filePath("moved");
    QVERIFY(RQComUtils::moveItemAtPath(copy, moved));
    QVERIFY(!QFileInfo::exists(copy));
    QCOMPARE(readFile(moved + "/.y/z"), QByteArray("z"));
    QVERIFY(!RQComUtils::moveItemAtPath(source, moved));
    QVERIFY(QFileInfo::exists(source + "/x"));

    // Removing a link to a folder removes the link only.
    QVERIFY(QFile::link(moved, m_dir->filePath("link")));
    QVERIFY(RQComUtils::deleteFile(m_dir->filePath("link")));
    QVERIFY(QFileInfo::exists(moved + "/x"));
    QVERIFY(RQComUtils::deleteFile(moved));
    QVERIFY(!QFileInfo::exists(moved));
    QVERIFY(!RQComUtils::deleteFile(moved));

    QVERIFY(writeFile(RQComUtils::filePathForDocumentDirectory("doc.txt"), "d"));
    QVERIFY(RQComUtils::deleteDocumentFile("doc.txt"));
    QVERIFY(!QFileInfo::exists(RQComUtils::userDocumentsDirectory() + "/doc.txt"));
}

void TestRQComUtils::listingsAndAttributes()
{
    const QString folder = m_dir->filePath("list");
    QVERIFY(writeFile(folder + "/b", "bb"));
    QVERIFY(writeFile(folder + "/.a", "a"));
    QVERIFY(QDir().mkpath(folder + "/c"));

    QCOMPARE(RQComUtils::contentsOfDirectoryAtPath(folder), QStringList({".a", "b", "c"}));
    QCOMPARE(RQComUtils::contentsOfDirectoryAtPath(folder, true),
             QList<QUrl>({QUrl::fromLocalFile(folder + "/b"), QUrl::fromLocalFile(folder + "/c")}));
    QCOMPARE(RQComUtils::contentsOfDirectoryAtPath(folder, false).size(), 3);
    QVERIFY(RQComUtils::contentsOfDirectoryAtPath(QString(), false).isEmpty());
    QVERIFY(RQComUtils::checkIsExistsFile(folder + "/b"));
    QVERIFY(!RQComUtils::checkIsExistsDir(folder + "/b"));
    QVERIFY(RQComUtils::checkIsExistsDir(folder + "/c"));
    QVERIFY(!RQComUtils::checkIsExistsFile(folder + "/missing"));

    const QString made = folder + "/made";
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1500000000);
    QVERIFY(RQComUtils::creatFile(made, "data",
                                  {{"NSFilePosixPermissions", 0640}, {"NSFileModificationDate", when}}));
    const QVariantMap attributes = RQComUtils::fileProperty(made);
    QCOMPARE(attributes.value("NSFileType").toString(), QString("NSFileTypeRegular"));
    QCOMPARE(attributes.value("NSFileSize").toULongLong(), quint64(4));
    QCOMPARE(attributes.value("NSFilePosixPermissions").toInt(), 0640);
    QCOMPARE(attributes.value("NSFileModificationDate").toDateTime(), when);
    QCOMPARE(attributes.value("NSFileOwnerAccountID").toUInt(), uint(::geteuid()));
    QCOMPARE(RQComUtils::fileProperty(folder + "/c").value("NSFileType").toString(), QString("NSFileTypeDirectory"));
    QVERIFY(RQComUtils::fileProperty(folder + "/missing").isEmpty());
    QVERIFY(RQComUtils::isReadableFileAtPath(made));
    QVERIFY(RQComUtils::isWritableFileAtPath(made));
    QVERIFY(!RQComUtils::isReadableFileAtPath(folder + "/missing"));
    QVERIFY(!RQComUtils::creatFile(folder + "/nofolder/x", "x", {}));
    QVERIFY(RQComUtils::createDirectoryAtPath(folder + "/p/q/r"));
    QVERIFY(QFileInfo(folder + "/p/q/r").isDir());
    QVERIFY(!RQComUtils::createDirectoryAtPath(folder + "/b/under-a-file"));
}

void TestRQComUtils::appFolders()
{
    // The folders named after the application are checked with a bundle of its own in mainBundle.
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    QCOMPARE(RQComUtils::userSupportDirectory(), data);
    QCOMPARE(RQComUtils::userLibraryDirectory(), data);
    QCOMPARE(RQComUtils::userCachesDirectory(), QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME")));
    QCOMPARE(RQComUtils::filePathForSupportDirectory("a/b"), data + "/a/b");
    QCOMPARE(RQComUtils::filePathForDocumentDirectory("/d"), RQComUtils::userDocumentsDirectory() + "/d");
    QCOMPARE(RQComUtils::filePathForTempDirectory("t"), QDir::tempPath() + "/t");

    // A data home that is a file: nothing can be made below it.
    const QString blocker = m_dir->filePath("blocker");
    QVERIFY(writeFile(blocker, "x"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker));
    const QString none = RQComUtils::currentAppSupportDirectory();
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    QVERIFY(none.isNull());
}

void TestRQComUtils::userDefaults()
{
    RQComUtils::setDefaultValue(42, "answer");
    QCOMPARE(RQComUtils::defaultValueForKey("answer").toInt(), 42);
    // Written out at once.
    QVERIFY(readFile(QSettings().fileName()).contains("answer=42"));
    RQComUtils::removeDefaultForKey("answer");
    QVERIFY(!RQComUtils::defaultValueForKey("answer").isValid());
    QVERIFY(!readFile(QSettings().fileName()).contains("answer"));
}

void TestRQComUtils::administratorOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("result");

    const bool root = ::geteuid() == 0;
    QTest::newRow("remove a name that looks like an option") << "remove" << false
                                                             << QStringList({"/bin/rm", "-rf", "--", "-victim"}) << true;
    QTest::newRow("move") << "move" << false << QStringList({"/bin/mv", "-f", "--", "-victim", "moved"}) << true;
    QTest::newRow("copy") << "copy" << false << QStringList({"/bin/cp", "-pR", "--", "-victim", "copied"}) << true;
    QTest::newRow("chown, which needs root") << "chown" << false
                                             << QStringList({"/bin/chown", "-R", "--", "0:0", "-victim"}) << root;
    QTest::newRow("move of a missing file fails") << "move missing" << false
                                                  << QStringList({"/bin/mv", "-f", "--", "missing", "moved"}) << false;
    QTest::newRow("refused") << "remove" << true << QStringList({"/bin/rm", "-rf", "--", "-victim"}) << false;
    QTest::newRow("empty path runs nothing") << "remove empty" << false << QStringList() << false;
    QTest::newRow("no authorization runs nothing") << "no authorization" << false << QStringList() << false;
}

void TestRQComUtils::administratorOperations()
{
    QFETCH(QString, operation);
    QFETCH(bool, refused);
    QFETCH(QStringList, arguments);
    QFETCH(bool, result);

    // Relative paths, so that the name beginning with "-" reaches the tool as it is.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(writeFile("-victim", "v"));
    FakePkexec::setRefusing(refused);
    const ZrAuthorization authorization = ZrAuthorization::create();
    QVERIFY(!authorization.isNull());

    bool done = false;
    if (operation == "remove")
        done = RQComUtils::removeItemAtPath("-victim", authorization);
    else if (operation == "move")
        done = RQComUtils::moveItemAtPath("-victim", "moved", authorization);
    else if (operation == "copy")
        done = RQComUtils::copyItemAtPath("-victim", "copied", authorization);
    else if (operation == "chown")
        done = RQComUtils::chownItemAtPath("-victim", authorization);
    else if (operation == "move missing")
        done = RQComUtils::moveItemAtPath("missing", "moved", authorization);
    else if (operation == "remove empty")
        done = RQComUtils::removeItemAtPath(QString(), authorization);
    else if (operation == "no authorization")
        done = RQComUtils::removeItemAtPath("-victim", ZrAuthorization());
    QVERIFY(QDir::setCurrent(before));

    QCOMPARE(done, result);
    const QList<FakePkexec::Run> runs = FakePkexec::runs();
    if (arguments.isEmpty()) {
        QVERIFY(runs.isEmpty());
    } else {
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first().arguments, QStringList("--keep-cwd") + arguments);
        QCOMPARE(runs.first().folder, QFileInfo(m_dir->path()).canonicalFilePath());
    }
    // What the tools really did.
    const bool removed = done && (operation == "remove" || operation == "move");
    QCOMPARE(QFileInfo::exists(m_dir->filePath("-victim")), !removed);
    QCOMPARE(QFileInfo::exists(m_dir->filePath("moved")), done && operation == "move");
    QCOMPARE(QFileInfo::exists(m_dir->filePath("copied")), done && operation == "copy");
}

void TestRQComUtils::administratorSequences_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("destinationFolder");
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<bool>("result");

    const bool root = ::geteuid() == 0;
    QTest::newRow("copy as the administrator") << "copy" << "out" << QStringList({"/bin/rm", "/bin/cp", "/bin/chown"})
                                               << root;
    QTest::newRow("copy stops when cp fails") << "copy" << "missing/folder" << QStringList({"/bin/rm", "/bin/cp"})
                                              << false;
    QTest::newRow("copy of a missing source runs nothing") << "copy missing" << "out" << QStringList() << false;
    QTest::newRow("move then copy") << "move and copy" << "out"
                                    << QStringList({"/bin/mv", "/bin/rm", "/bin/cp", "/bin/chown"}) << root;
    QTest::newRow("move and copy of a missing source runs nothing") << "move and copy missing" << "out"
                                                                    << QStringList() << false;
}

void TestRQComUtils::administratorSequences()
{
    QFETCH(QString, operation);
    QFETCH(QString, destinationFolder);
    QFETCH(QStringList, tools);
    QFETCH(bool, result);

    const QString source = m_dir->filePath("source");
    QVERIFY(writeFile(source, "new"));
    QVERIFY(QDir().mkpath(m_dir->filePath("out")));
    const QString destination = m_dir->filePath(destinationFolder + "/destination");
    if (destinationFolder == "out")
        QVERIFY(writeFile(destination, "old"));
    const QString missing = m_dir->filePath("missing-source");

    bool done = false;
    if (operation == "copy")
        done = RQComUtils::copyItemAtPath(source, destination, true);
    else if (operation == "copy missing")
        done = RQComUtils::copyItemAtPath(missing, destination, true);
    else if (operation == "move and copy")
        done = RQComUtils::AuthorizationExecuteMoveItemAtPath(source, m_dir->filePath("moved"), m_dir->filePath("moved"),
                                                              destination);
    else if (operation == "move and copy missing")
        done = RQComUtils::AuthorizationExecuteMoveItemAtPath(missing, m_dir->filePath("moved"), source, destination);

    QCOMPARE(done, result);
    QCOMPARE(toolsOf(FakePkexec::runs()), tools);
    // The destination holds the new content once cp has run.
    if (tools.contains("/bin/cp") && destinationFolder == "out")
        QCOMPARE(readFile(destination), QByteArray("new"));
    if (tools.isEmpty() && destinationFolder == "out")
        QCOMPARE(readFile(destination), QByteArray("old"));
}

void TestRQComUtils::privilegedRunWaitsForItsOwnChild()
{
    // Another child of this program, already ended and not yet collected.
    pid_t other = -1;
    char shell[] = "/bin/sh", flag[] = "-c", script[] = "exit 9";
    char *argv[] = {shell, flag, script, nullptr};
    QCOMPARE(posix_spawn(&other, shell, nullptr, nullptr, argv, environ), 0);
    siginfo_t info;
    QCOMPARE(::waitid(P_PID, id_t(other), &info, WEXITED | WNOWAIT), 0);

    const ZrAuthorization authorization = ZrAuthorization::create();
    QVERIFY(RQComUtils::AuthorizationExecuteWithPrivileges(authorization, "/bin/sh", {"-c", "exit 0"}));
    QVERIFY(!RQComUtils::AuthorizationExecuteWithPrivileges(authorization, "/bin/sh", {"-c", "exit 2"}));
    QVERIFY(!RQComUtils::AuthorizationExecuteWithPrivileges(authorization, "/bin/sh", {"-c", "kill -9 $$"}));
    // A tool named by anything but an absolute path is not run at all.
    QVERIFY(!RQComUtils::AuthorizationExecuteWithPrivileges(authorization, "sh", {"-c", "exit 0"}));
    QVERIFY(RQComUtils::AuthorizationExecute([](const ZrAuthorization &given) { return !given.isNull(); }));

    // Its status is still there to collect.
    int status = 0;
    QCOMPARE(::waitpid(other, &status, 0), other);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 9);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("ZR_BUNDLE_PROBE")) {
        QCoreApplication app(argc, argv);
        return probeMainBundle();
    }
    QGuiApplication app(argc, argv);
    TestRQComUtils test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rqcomutils.moc"
