#include "services/zrcommoninterface.h"
#include "services/urlcatcher.h"

#include "nestedplist.h"

#include <QApplication>
#include <QBitmap>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The keys of a property list's top dictionary, in order, with their value elements.
QList<QPair<QString, QDomElement>> plistEntries(const QByteArray &bytes)
{
    QList<QPair<QString, QDomElement>> entries;
    QDomDocument document;
    if (!document.setContent(bytes))
        return entries;
    const QDomElement dict = document.documentElement().firstChildElement("dict");
    for (QDomElement key = dict.firstChildElement("key"); !key.isNull(); key = key.nextSiblingElement("key"))
        entries.append({key.text(), key.nextSiblingElement()});
    return entries;
}

const QByteArray CompletePlist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                 "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                 "<plist version=\"1.0\">\n<dict>\n"
                                 "\t<key>CFBundleShortVersionString</key>\n\t<string>9.8.7</string>\n"
                                 "</dict>\n</plist>\n";

}

class tst_ZrCommonInterface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void charToQString_data();
    void charToQString();
    void isWritableDir_data();
    void isWritableDir();
    void isWritableDir_readOnlyFolder();
    void sleep_data();
    void sleep();
    void sleep_takesAll64Bits();
    void clocks();
    void systemVersion();
    void infoPlist_data();
    void infoPlist();
    void infoPlist_completesOnceWithItsSevenKeys();
    void infoPlist_otherPathFollowsTheBundle();
    void updateKeys_data();
    void updateKeys();
    void withoutBus_displaySleepIsANoOp();
    void withoutBus_revealOpensTheFolder();
    void mouse();
    void cursorImage();
    void overlayAndTopHint();

private:
    // Runs a copy of this executable in <tree>/bin with the given arguments.
    QStringList runInTree(const QString &tree, const QStringList &arguments);
    QTemporaryDir m_dir;
    UrlCatcher m_catcher;
};

void tst_ZrCommonInterface::initTestCase()
{
    QVERIFY(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    QVERIFY(m_dir.isValid());
}

void tst_ZrCommonInterface::charToQString_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("movie.mp4") << "movie.mp4";
    QTest::newRow("NUL in the middle") << QByteArray("abc\0def", 7) << "abc";
    QTest::newRow("non-ASCII") << QByteArray("Gr\xc3\xbc\xc3\x9f" "e \xe6\x97\xa5\xe6\x9c\xac")
                               << QString::fromUtf8(u8"Grüße 日本");
    QTest::newRow("leading NUL") << QByteArray("\0abc", 4) << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void tst_ZrCommonInterface::charToQString()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const std::string value(bytes.constData(), size_t(bytes.size()));
    QCOMPARE(ZrCommonInterface::charToQString(value), text);
}

void tst_ZrCommonInterface::isWritableDir_data()
{
    // Entries: "f:name" a file, "l:name" a link to a file outside, "d:name" a link to nowhere
    // outside, "all" every one of the hundred candidate names as a file.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("writable");
    QTest::newRow("empty folder") << QStringList() << true;
    QTest::newRow("first candidate is a file") << QStringList{"f:ZRPlayer.txt"} << true;
    QTest::newRow("two taken") << QStringList{"f:ZRPlayer.txt", "f:ZRPlayer1.txt"} << true;
    QTest::newRow("link to a file") << QStringList{"l:ZRPlayer.txt"} << true;
    QTest::newRow("link to nowhere") << QStringList{"d:ZRPlayer.txt", "l:ZRPlayer1.txt"} << true;
    QTest::newRow("all hundred taken") << QStringList{"all"} << false;
}

void tst_ZrCommonInterface::isWritableDir()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, writable);

    QTemporaryDir outside;
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QString target = outside.path() + "/target.txt";
    QVERIFY(writeAll(target, "precious"));

    if (entries == QStringList{"all"}) {
        entries = QStringList{"f:ZRPlayer.txt"};
        for (int i = 1; i < 100; ++i)
            entries << QString("f:ZRPlayer%1.txt").arg(i);
    }
    for (const QString &entry : entries) {
        const QString path = folder + entry.mid(2);
        if (entry.startsWith("f:"))
            QVERIFY(writeAll(path, entry.toUtf8()));
        else if (entry.startsWith("l:"))
            QVERIFY(QFile::link(target, path));
        else
            QVERIFY(QFile::link(outside.path() + "/missing.txt", path));
    }
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

    QCOMPARE(ZrCommonInterface::isWritableDir(folder), writable);

    // Nothing new stays behind, nothing existing changed, no link followed.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
    for (const QString &entry : entries) {
        const QString path = folder + entry.mid(2);
        if (entry.startsWith("f:"))
            QCOMPARE(readAll(path), entry.toUtf8());
        else
            QVERIFY(QFileInfo(path).isSymLink());
    }
    QCOMPARE(readAll(target), QByteArray("precious"));
    QVERIFY(!QFile::exists(outside.path() + "/missing.txt"));
}

void tst_ZrCommonInterface::isWritableDir_readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool writable = ZrCommonInterface::isWritableDir(dir.path() + "/");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!writable);
}

void tst_ZrCommonInterface::sleep_data()
{
    QTest::addColumn<qint64>("microseconds");
    QTest::addColumn<qint64>("atLeastMs");
    QTest::addColumn<qint64>("belowMs");
    QTest::newRow("negative") << qint64(-5000000) << qint64(0) << qint64(50);
    QTest::newRow("INT64_MIN") << std::numeric_limits<qint64>::min() << qint64(0) << qint64(50);
    QTest::newRow("zero") << qint64(0) << qint64(0) << qint64(50);
    QTest::newRow("30 ms") << qint64(30000) << qint64(30) << qint64(2000);
    QTest::newRow("1.2 s") << qint64(1200000) << qint64(1200) << qint64(4000);
}

void tst_ZrCommonInterface::sleep()
{
    QFETCH(qint64, microseconds);
    QFETCH(qint64, atLeastMs);
    QFETCH(qint64, belowMs);
    QElapsedTimer timer;
    timer.start();
    ZrCommonInterface::Sleep(microseconds);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= atLeastMs && elapsed < belowMs, qPrintable(QString::number(elapsed)));
}

// 2^32 + 1000 microseconds is more than an hour; cut to 32 bits it would be one millisecond.
void tst_ZrCommonInterface::sleep_takesAll64Bits()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--sleep", QString::number((qint64(1) << 32) + 1000)});
    QVERIFY(child.waitForStarted());
    QVERIFY(!child.waitForFinished(1500));
    QCOMPARE(child.state(), QProcess::Running);
    child.kill();
    child.waitForFinished();
}

void tst_ZrCommonInterface::clocks()
{
    const uint64_t start = ZrCommonInterface::getSystemTime();
    ZrCommonInterface::Sleep(20000);
    const uint64_t later = ZrCommonInterface::getSystemTime();
    QVERIFY(later >= start + 20000);
    QVERIFY(later < start + 2000000);

    const qint64 wall = QDateTime::currentMSecsSinceEpoch() * 1000;
    const qint64 now = qint64(ZrCommonInterface::getDateTime());
    QVERIFY(qAbs(now - wall) < 1000000);
}

void tst_ZrCommonInterface::systemVersion()
{
    const QString text = ZrCommonInterface::SystemVersionInfo();
    const QRegularExpressionMatch match = QRegularExpression("^Linux (\\d+)\\.(\\d+)\\.(\\d+)$").match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text));

    uint32_t major = 99, minor = 99, patch = 99;
    ZrCommonInterface::SystemVersionInfoValue(major, minor, patch);
    QCOMPARE(QString("Linux %1.%2.%3").arg(major).arg(minor).arg(patch), text);
    QVERIFY(QSysInfo::kernelVersion().startsWith(QString("%1.%2").arg(major).arg(minor)));
}

QStringList tst_ZrCommonInterface::runInTree(const QString &tree, const QStringList &arguments)
{
    const QString exe = tree + "/bin/" + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (!QFile::exists(exe)) {
        QDir().mkpath(tree + "/bin");
        QFile::copy(QCoreApplication::applicationFilePath(), exe);
    }
    QProcess process;
    process.start(exe, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QStringList();
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

void tst_ZrCommonInterface::infoPlist_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("needed");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("unchanged");
    QTest::newRow("complete") << CompletePlist << "0" << "9.8.7" << true;
    QTest::newRow("not a plist") << QByteArray("<plist><dict><key>CFBundle") << "1" << "2.2.0" << true;
    QTest::newRow("not XML") << QByteArray("\x00\x01 binary", 9) << "1" << "2.2.0" << true;
    QTest::newRow("no file") << QByteArray() << "1" << "2.2.0" << true;
    QTest::newRow("200000 levels deep") << nestedXmlPlist(200000) << "1" << "2.2.0" << true;
    QTest::newRow("lacks the short version") << readAll(ZR_SOURCE_DIR "/resources/Info.plist") << "1" << "2.2.0"
                                             << false;
}

// The child reports isNeedInitInfoFile and getAppVersion, then completes its bundle's Info.plist.
void tst_ZrCommonInterface::infoPlist()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, needed);
    QFETCH(QString, version);
    QFETCH(bool, unchanged);

    QTemporaryDir tree;
    const QString plist = tree.path() + "/Info.plist";
    if (!contents.isEmpty())
        QVERIFY(writeAll(plist, contents));

    QCOMPARE(runInTree(tree.path(), {"--plist"}), (QStringList{needed, version}));
    if (contents.isEmpty())
        QVERIFY(!QFile::exists(plist));
    else if (unchanged)
        QCOMPARE(readAll(plist), contents);
    else
        QVERIFY(readAll(plist) != contents);
    QCOMPARE(QDir(tree.path()).entryList(QDir::Files), contents.isEmpty() ? QStringList() : QStringList{"Info.plist"});
}

void tst_ZrCommonInterface::infoPlist_completesOnceWithItsSevenKeys()
{
    QTemporaryDir tree;
    const QString plist = tree.path() + "/Info.plist";
    QByteArray partial = readAll(ZR_SOURCE_DIR "/resources/Info.plist");
    partial.replace("</dict>", "\t<key>CFBundleVersion</key>\n\t<string>1.0</string>\n</dict>");
    QVERIFY(writeAll(plist, partial));

    QCOMPARE(runInTree(tree.path(), {"--plist"}), (QStringList{"1", "2.2.0"}));
    const QByteArray completed = readAll(plist);
    QDomDocument parsed;
    QVERIFY(parsed.setContent(completed));
    QCOMPARE(parsed.doctype().name(), QString("plist"));
    QCOMPARE(parsed.doctype().publicId(), QString("-//Apple//DTD PLIST 1.0//EN"));
    QCOMPARE(parsed.doctype().systemId(), QString("http://www.apple.com/DTDs/PropertyList-1.0.dtd"));

    const auto entries = plistEntries(completed);
    QStringList keys;
    for (const auto &entry : entries)
        keys << entry.first;
    // The existing keys stay in place; a present key is replaced, the rest follow in order.
    QCOMPARE(keys, (QStringList{"CFBundleExecutable", "CFBundleName", "CFBundlePackageType", "CFBundleVersion",
                                "CFBundleShortVersionString", "SUFeedURL", "CFBundleDisplayName",
                                "CFBundleIdentifier", "SUPublicDSAKeyFile", "NSAppTransportSecurity"}));
    QHash<QString, QDomElement> values;
    for (const auto &entry : entries)
        values.insert(entry.first, entry.second);
    auto stringOf = [&](const QString &key) {
        return values.value(key).tagName() == "string" ? values.value(key).text() : QString("<not a string>");
    };
    QCOMPARE(stringOf("CFBundleExecutable"), QString("ZRPlayer"));
    QCOMPARE(stringOf("CFBundleVersion"), QString("2.2.0.6"));
    QCOMPARE(stringOf("CFBundleShortVersionString"), QString("2.2.0"));
    const QUrl feed(stringOf("SUFeedURL"));
    QCOMPARE(feed.scheme(), QString("https"));
    QVERIFY(!feed.host().isEmpty());
    QVERIFY(stringOf("SUFeedURL").endsWith("/api/product/version?pid=700&ver=2.2.0.6"));
    QCOMPARE(stringOf("CFBundleDisplayName"), QString("ZRPlayer"));
    QCOMPARE(stringOf("CFBundleIdentifier"), QString("com.quorvane.player"));
    QCOMPARE(stringOf("SUPublicDSAKeyFile"), QString("DSAKeyFile.pem"));
    const QDomElement security = values.value("NSAppTransportSecurity");
    QCOMPARE(security.tagName(), QString("dict"));
    QCOMPARE(security.firstChildElement().tagName(), QString("key"));
    QCOMPARE(security.firstChildElement().text(), QString("NSAllowsArbitraryLoads"));
    QCOMPARE(security.firstChildElement().nextSiblingElement().tagName(), QString("true"));
    QVERIFY(security.firstChildElement().nextSiblingElement().nextSiblingElement().isNull());

    // Once complete, a second start leaves the file byte for byte.
    QCOMPARE(runInTree(tree.path(), {"--plist"}), (QStringList{"0", "2.2.0"}));
    QCOMPARE(readAll(plist), completed);
}

void tst_ZrCommonInterface::updateKeys_data()
{
    const QString builtFeed = "https://update.quorvane.com/api/product/version?pid=700&ver=2.2.0.6";
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    QByteArray own = CompletePlist;
    own.replace("</dict>", "\t<key>CFBundleVersion</key>\n\t<string>3.1.4.1</string>\n"
                           "\t<key>SUFeedURL</key>\n\t<string>https://feed.example/v</string>\n</dict>");
    QTest::newRow("the bundle's own") << own << QStringList{"3.1.4.1", "https://feed.example/v"}
                                      << QStringList{"3.1.4.1", "https://feed.example/v"};
    QByteArray notStrings = CompletePlist;
    notStrings.replace("</dict>", "\t<key>CFBundleVersion</key>\n\t<integer>3</integer>\n</dict>");
    QTest::newRow("not a string") << notStrings << QStringList{"2.2.0.6", builtFeed}
                                  << QStringList{"2.2.0.6", builtFeed};
    QTest::newRow("no file") << QByteArray() << QStringList{"2.2.0.6", builtFeed}
                             << QStringList{"2.2.0.6", builtFeed};
    QTest::newRow("completed at start") << readAll(ZR_SOURCE_DIR "/resources/Info.plist")
                                        << QStringList{"2.2.0.6", builtFeed} << QStringList{"2.2.0.6", builtFeed};
}

// The build version and feed address come from the bundle, else from the build itself; the completion
// writes the same values the fallbacks give.
void tst_ZrCommonInterface::updateKeys()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    QTemporaryDir tree;
    if (!contents.isEmpty())
        QVERIFY(writeAll(tree.path() + "/Info.plist", contents));
    QCOMPARE(runInTree(tree.path(), {"--update-keys"}), before + after);
}

// The completion writes the file it is given, and only while the bundle's own file needs it.
void tst_ZrCommonInterface::infoPlist_otherPathFollowsTheBundle()
{
    QTemporaryDir tree;
    const QByteArray lacking = readAll(ZR_SOURCE_DIR "/resources/Info.plist");
    const QString other = tree.path() + "/Other.plist";
    QVERIFY(writeAll(other, lacking));

    QVERIFY(writeAll(tree.path() + "/Info.plist", CompletePlist));
    QCOMPARE(runInTree(tree.path(), {"--plist", other}), (QStringList{"0", "9.8.7"}));
    QCOMPARE(readAll(other), lacking);

    QVERIFY(writeAll(tree.path() + "/Info.plist", lacking));
    QCOMPARE(runInTree(tree.path(), {"--plist", other}), (QStringList{"1", "2.2.0"}));
    QCOMPARE(readAll(tree.path() + "/Info.plist"), lacking);
    QVERIFY(plistEntries(readAll(other)).size() == 10);
}

void tst_ZrCommonInterface::withoutBus_displaySleepIsANoOp()
{
    ZrCommonInterface::neverSleepComputerMac();
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
    ZrCommonInterface::neverSleepComputerMac();
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
    ZrCommonInterface::sleepComputerMac();
    QCOMPARE(ZrCommonInterface::displaySleepAssertionID, uint32_t(0));
}

void tst_ZrCommonInterface::withoutBus_revealOpensTheFolder()
{
    const QString folder = m_dir.path() + QString::fromUtf8(u8"/Vidéos 1");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeAll(folder + "/clip.mp4", "x"));
    m_catcher.urls.clear();
    ZrCommonInterface::showFileInFolder((folder + "\\clip.mp4").toStdString());
    QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
}

void tst_ZrCommonInterface::mouse()
{
    QCursor::setPos(321, 123);
    QCOMPARE(ZrCommonInterface::getMousePoint(), QPoint(321, 123));

    QWidget window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!ZrCommonInterface::mouseIsPressed());
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(ZrCommonInterface::mouseIsPressed());
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(!ZrCommonInterface::mouseIsPressed());
}

void tst_ZrCommonInterface::cursorImage()
{
    QImage shape(16, 16, QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    shape.setPixel(3, 4, qRgb(255, 0, 0));
    const QPixmap pixmap = QPixmap::fromImage(shape);

    QWidget window;
    window.setGeometry(100, 100, 200, 100);
    window.setCursor(QCursor(pixmap, 5, 6));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The cursor of the widget under the pointer.
    QCursor::setPos(150, 150);
    QPoint hotSpot(-1, -1);
    QImage image = ZrCommonInterface::getMacCursor(hotSpot);
    QCOMPARE(hotSpot, QPoint(5, 6));
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), shape);

    // An override cursor wins.
    QGuiApplication::setOverrideCursor(QCursor(pixmap, 2, 3));
    image = ZrCommonInterface::getMacCursor(hotSpot);
    QGuiApplication::restoreOverrideCursor();
    QCOMPARE(hotSpot, QPoint(2, 3));
    QVERIFY(!image.isNull());

    // A shape of the system has no image here.
    window.setCursor(Qt::ArrowCursor);
    hotSpot = QPoint(-1, -1);
    QVERIFY(ZrCommonInterface::getMacCursor(hotSpot).isNull());
    QCOMPARE(hotSpot, QPoint(-1, -1));
}

void tst_ZrCommonInterface::overlayAndTopHint()
{
    ZrCommonInterface::setWindowsIgnoresMouse(nullptr);

    QWidget window;
    QWidget child(&window);
    window.resize(200, 100);
    ZrCommonInterface::setWindowsIgnoresMouse(&child);
    QVERIFY(window.isVisible());
    QVERIFY(window.windowFlags() & Qt::WindowTransparentForInput);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(qAbs(window.windowOpacity() - 0.5) < 0.01);

    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    ZrCommonInterface::setWindowTopHint(other, true);
    QVERIFY(other.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(other.isVisible());
    ZrCommonInterface::setWindowTopHint(other, false);
    QVERIFY(!(other.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(other.isVisible());

    QWidget hidden;
    ZrCommonInterface::setWindowTopHint(hidden, true);
    QVERIFY(hidden.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!hidden.isVisible());
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--sleep") == 0) {
        ZrCommonInterface::Sleep(QByteArray(argv[2]).toLongLong());
        return 0;
    }
    if (argc >= 2 && qstrcmp(argv[1], "--plist") == 0) {
        QCoreApplication app(argc, argv);
        const QString target = argc == 3 ? QString::fromLocal8Bit(argv[2]) : ZrCommonInterface::getAppInfoFile();
        printf("%d\n%s\n", int(ZrCommonInterface::isNeedInitInfoFile()),
               ZrCommonInterface::getAppVersion().toUtf8().constData());
        ZrCommonInterface::InitInfoToFile(target.toStdString());
        return 0;
    }
    if (argc == 2 && qstrcmp(argv[1], "--update-keys") == 0) {
        QCoreApplication app(argc, argv);
        for (int pass = 0; pass < 2; ++pass) {
            printf("%s\n%s\n", ZrCommonInterface::getAppBuildVersion().toUtf8().constData(),
                   ZrCommonInterface::getUpdateFeedURL().toUtf8().constData());
            ZrCommonInterface::InitInfoToFile(ZrCommonInterface::getAppInfoFile().toStdString());
        }
        return 0;
    }
    QApplication app(argc, argv);
    tst_ZrCommonInterface test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zrcommoninterface.moc"
