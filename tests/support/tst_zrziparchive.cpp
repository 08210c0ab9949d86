#include "support/zrziparchive.h"

#include "filesizelimit.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes an archive from a list of entries: name (hex bytes), data (repeated so many times),
// mode, host system, link, utf8 (name flagged UTF-8), date. Names that are not ASCII are written as placeholders of the
// same length and patched in afterwards, so any bytes can stand in a name.
const char makeArchiveScript[] = R"(
import json, sys, zipfile
path, listing = sys.argv[1], json.loads(sys.argv[2])
swaps = []
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
    for i, entry in enumerate(listing):
        raw = bytes.fromhex(entry['name'])
        if entry.get('utf8'):
            name = raw.decode('utf-8')
        else:
            try:
                name = raw.decode('ascii')
            except UnicodeDecodeError:
                name = '\x7f' * (len(raw) - 1) + chr(0x41 + i)
                swaps.append((name.encode('ascii'), raw))
        info = zipfile.ZipInfo(name, date_time=tuple(entry.get('date', (2019, 4, 5, 6, 7, 8))))
        info.create_system = entry.get('system', 3)
        mode = entry.get('mode', 0o644)
        if entry.get('link'):
            mode = 0o120777
        elif raw.endswith(b'/'):
            mode |= 0o40000
        else:
            mode |= 0o100000
        info.external_attr = mode << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(info, entry.get('data', '').encode('utf-8') * entry.get('repeat', 1))
data = open(path, 'rb').read()
for placeholder, raw in swaps:
    data = data.replace(placeholder, raw)
open(path, 'wb').write(data)
)";

// Damages one entry: "crc" writes a wrong CRC into both of its headers, "flip" changes one bit
// in the middle of its data, "badblock" makes its deflate stream start with a reserved block type.
const char damageScript[] = R"(
import struct, sys, zipfile
path, name, how = sys.argv[1], sys.argv[2], sys.argv[3]
info = zipfile.ZipFile(path).getinfo(name)
data = bytearray(open(path, 'rb').read())
local = info.header_offset
if how == 'crc':
    wrong = struct.pack('<I', info.CRC ^ 0x5a5a5a5a)
    data[local + 14:local + 18] = wrong
    central = data.find(b'PK\x01\x02')
    while central >= 0:
        nameLength = struct.unpack('<H', data[central + 28:central + 30])[0]
        if data[central + 46:central + 46 + nameLength] == name.encode():
            data[central + 16:central + 20] = wrong
        central = data.find(b'PK\x01\x02', central + 4)
else:
    nameLength, extraLength = struct.unpack('<HH', data[local + 26:local + 30])
    start = local + 30 + nameLength + extraLength
    if how == 'flip':
        data[start + info.compress_size // 2] ^= 0x01
    else:
        data[start] = 0x07
open(path, 'wb').write(data)
)";

struct Entry
{
    Entry() = default;
    Entry(const QByteArray &name, const QByteArray &data) : name(name), data(data) {}

    QByteArray name;
    QByteArray data;
    int mode = 0644;
    int system = 3;
    bool link = false;
    bool utf8 = false;
    QList<int> date;
    int repeat = 1;
};

QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    return environment;
}

// Runs a tool to its end; its exit code, or -1 when it could not run.
int runTool(const QString &program, const QStringList &arguments, const QString &workingDirectory = QString(),
            QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(toolEnvironment());
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitCode();
}

// Debian's interpreter when it is there: a version manager's shim earlier on PATH can take
// seconds to start.
QString python()
{
    return QFileInfo::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

bool makeArchive(const QString &path, const QList<Entry> &entries)
{
    QJsonArray listing;
    for (const Entry &entry : entries) {
        QJsonObject object{{"name", QString::fromLatin1(entry.name.toHex())},
                           {"data", QString::fromUtf8(entry.data)},
                           {"mode", entry.mode},
                           {"system", entry.system},
                           {"link", entry.link},
                           {"utf8", entry.utf8},
                           {"repeat", entry.repeat}};
        if (!entry.date.isEmpty())
            object.insert("date", QJsonArray::fromVariantList({entry.date[0], entry.date[1], entry.date[2],
                                                               entry.date[3], entry.date[4], entry.date[5]}));
        listing.append(object);
    }
    return runTool(python(), {"-c", makeArchiveScript, path,
                               QString::fromUtf8(QJsonDocument(listing).toJson(QJsonDocument::Compact))})
           == 0;
}

bool damage(const QString &archive, const QString &entry, const QString &how)
{
    return runTool(python(), {"-c", damageScript, archive, entry, how}) == 0;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setModificationTime(const QString &path, const QDateTime &date)
{
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = time_t(date.toSecsSinceEpoch());
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

QDateTime modificationTime(const QString &path)
{
    struct stat status;
    if (lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QDateTime();
    return QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec);
}

int permissions(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

bool isSymbolicLink(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

// A link's target as it was written, not made absolute.
QByteArray linkTarget(const QString &path)
{
    char target[4096];
    const ssize_t length = readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return length < 0 ? QByteArray() : QByteArray(target, int(length));
}

// Every path below the folder, relative, sorted; folders end in "/".
QStringList tree(const QString &folder)
{
    QStringList paths;
    QDirIterator iterator(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        const QFileInfo info(path);
        paths.append(QDir(folder).relativeFilePath(path) + (info.isDir() && !info.isSymLink() ? "/" : ""));
    }
    paths.sort();
    return paths;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(size);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// A small source tree: text, incompressible data, a script, nested and empty folders, UTF-8
// names, and fixed even-second dates (the archive keeps two-second steps).
struct SourceTree
{
    QMap<QString, QByteArray> files{
        {"readme.txt", QByteArray("hello\n").repeated(500)},
        {"bin/tool.sh", "#!/bin/sh\necho tool\n"},
        {"data/random.bin", randomBytes(70000)},
        {QString::fromUtf8("data/caf\u00e9/na\u00efve \u65e5\u672c.txt"), "unicode"},
    };
    QMap<QString, int> modes{{"readme.txt", 0644}, {"bin/tool.sh", 0755}, {"data/random.bin", 0640}};
    QStringList emptyFolders{"data/empty"};
    QDateTime date = QDateTime(QDate(2018, 3, 4), QTime(10, 20, 30));

    void write(const QString &root) const
    {
        int step = 0;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = root + "/" + it.key();
            QVERIFY(writeFile(path, it.value()));
            chmod(QFile::encodeName(path).constData(), mode_t(modes.value(it.key(), 0644)));
            setModificationTime(path, date.addSecs(3600 * ++step));
        }
        for (const QString &folder : emptyFolders) {
            QVERIFY(QDir().mkpath(root + "/" + folder));
            setModificationTime(root + "/" + folder, date.addDays(-1));
        }
    }

    // Contents, permission bits and dates as they must come back.
    void compare(const QString &source, const QString &copy) const
    {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = copy + "/" + it.key();
            QCOMPARE(readFile(path), it.value());
            QCOMPARE(permissions(path), modes.value(it.key(), 0644));
            QCOMPARE(modificationTime(path), modificationTime(source + "/" + it.key()));
        }
        for (const QString &folder : emptyFolders) {
            QVERIFY(QFileInfo(copy + "/" + folder).isDir());
            QVERIFY(QDir(copy + "/" + folder).isEmpty());
            QCOMPARE(modificationTime(copy + "/" + folder), modificationTime(source + "/" + folder));
        }
    }
};

// Records what an unpacking run tells its delegate.
class RecordingDelegate : public QObject
{
    Q_OBJECT
public:
    QStringList calls;
    qint64 refuseIndex = -1;

public slots:
    void zipArchiveWillUnzipArchiveAtPath(const QString &path, const ZrZipGlobalInfo &zipInfo)
    {
        calls.append(QStringLiteral("willUnzipArchive %1 %2").arg(QFileInfo(path).fileName()).arg(zipInfo.numberEntry));
    }
    void zipArchiveProgressEvent(quint64 loaded, quint64 total)
    {
        calls.append(loaded == 0 ? QStringLiteral("progress start") : loaded == total ? QStringLiteral("progress end")
                                                                                       : QStringLiteral("progress"));
    }
    bool zipArchiveShouldUnzipFileAtIndex(qint64 fileIndex, qint64 totalFiles, const QString &, const ZrZipFileInfo &)
    {
        calls.append(QStringLiteral("should %1/%2").arg(fileIndex).arg(totalFiles));
        return fileIndex != refuseIndex;
    }
    void zipArchiveWillUnzipFileAtIndex(qint64 fileIndex, qint64, const QString &, const ZrZipFileInfo &)
    {
        calls.append(QStringLiteral("will %1").arg(fileIndex));
    }
    void zipArchiveDidUnzipFileAtIndex(qint64 fileIndex, qint64, const QString &, const ZrZipFileInfo &fileInfo)
    {
        calls.append(QStringLiteral("did %1 size %2").arg(fileIndex).arg(fileInfo.uncompressedSize));
    }
    void zipArchiveDidUnzipArchiveAtPath(const QString &, const ZrZipGlobalInfo &, const QString &unzippedPath)
    {
        calls.append(QStringLiteral("didUnzipArchive %1").arg(QFileInfo(unzippedPath).fileName()));
    }
};

// Answers only the form of the per-entry report that carries the unpacked path.
class PathDelegate : public QObject
{
    Q_OBJECT
public:
    QStringList paths;

public slots:
    void zipArchiveDidUnzipFileAtIndex(qint64, qint64, const QString &, const QString &unzippedFilePath)
    {
        paths.append(unzippedFilePath);
    }
};

}  // namespace

Q_DECLARE_METATYPE(Entry)

class TestZRZipArchive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void unzipRestoresTree();
    void overwriteOffKeepsExistingFiles();
    void nestedZip_data();
    void nestedZip();
    void symbolicLinkEntry();
    void linkTargets_data();
    void linkTargets();
    void entryNames_data();
    void entryNames();
    void attributes_data();
    void attributes();
    void unsafeEntriesRefused_data();
    void unsafeEntriesRefused();
    void passwords_data();
    void passwords();
    void damagedAesEntry();
    void archiveWithoutEntries();
    void badInput_data();
    void badInput();
    void fileThatCannotBeCreated();
    void writeFailure();
    void delegateAndBlockOrder();
    void cancelAndStop();
    void writeFolder_data();
    void writeFolder();
    void writeFolderWithPassword();
    void writeFolderWithLinks();
    void writeFolderInPart_data();
    void writeFolderInPart();
    void writeOnFullDisk_data();
    void writeOnFullDisk();
    void writerInstance();
    void dataEncodings();

private:
    QString path(const QString &name) const { return m_dir->path() + "/" + name; }

    QScopedPointer<QTemporaryDir> m_dir;
    QTemporaryDir m_fixtures;
};

void TestZRZipArchive::initTestCase()
{
    QVERIFY(m_fixtures.isValid());
}

void TestZRZipArchive::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void TestZRZipArchive::unzipRestoresTree()
{
    const SourceTree source;
    source.write(path("src"));
    QVERIFY(writeFile(path("src/__MACOSX/._readme.txt"), "resource fork"));
    QCOMPARE(runTool("zip", {"-q", "-r", "-y", path("tree.zip"), "."}, path("src")), 0);

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("tree.zip"), path("out")));
    source.compare(path("src"), path("out"));
    QVERIFY(!QFileInfo::exists(path("out/__MACOSX")));
    QStringList expected = tree(path("src"));
    expected.removeAll("__MACOSX/");
    expected.removeAll("__MACOSX/._readme.txt");
    QCOMPARE(tree(path("out")), expected);
}

void TestZRZipArchive::overwriteOffKeepsExistingFiles()
{
    QVERIFY(makeArchive(path("a.zip"), {{"dir/a.txt", "new"}, {"dir/sub/", ""}, {"dir/b.txt", "b"}}));
    QVERIFY(writeFile(path("out/dir/a.txt"), "old"));

    ZrError error;
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("a.zip"), path("out"), false, QString(), &error));
    QVERIFY(error.isNull());
    QCOMPARE(readFile(path("out/dir/a.txt")), QByteArray("old"));
    QVERIFY(QFileInfo(path("out/dir/sub")).isDir());
    QCOMPARE(readFile(path("out/dir/b.txt")), QByteArray("b"));

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("a.zip"), path("out"), true, QString(), &error));
    QCOMPARE(readFile(path("out/dir/a.txt")), QByteArray("new"));
}

void TestZRZipArchive::nestedZip_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("level 0 keeps the nested archive") << 0 << QStringList{"pkg/", "pkg/inner.zip", "top.txt"};
    QTest::newRow("level 1 unpacks it beside itself")
        << 1 << QStringList{"pkg/", "pkg/inner/", "pkg/inner/deep/", "pkg/inner/deep/in.txt", "top.txt"};
}

void TestZRZipArchive::nestedZip()
{
    QFETCH(int, level);
    QFETCH(QStringList, expected);

    QVERIFY(makeArchive(path("inner.zip"), {{"deep/in.txt", "inside"}}));
    QVERIFY(writeFile(path("src/top.txt"), "top"));
    QVERIFY(QDir().mkpath(path("src/pkg")));
    QVERIFY(QFile::copy(path("inner.zip"), path("src/pkg/inner.zip")));
    QCOMPARE(runTool("zip", {"-q", "-r", path("outer.zip"), "."}, path("src")), 0);

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("outer.zip"), path("out"), true, true, level, QString(), nullptr,
                                          nullptr, ZRZipArchive::ProgressHandler(),
                                          ZRZipArchive::CompletionHandler()));
    QCOMPARE(tree(path("out")), expected);
    if (level > 0)
        QCOMPARE(readFile(path("out/pkg/inner/deep/in.txt")), QByteArray("inside"));
}

void TestZRZipArchive::symbolicLinkEntry()
{
    QVERIFY(writeFile(path("src/target.txt"), "target"));
    QVERIFY(QFile::link("target.txt", path("src/link")));
    QCOMPARE(runTool("zip", {"-q", "-r", "-y", path("links.zip"), "."}, path("src")), 0);

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("links.zip"), path("out")));
    QVERIFY(isSymbolicLink(path("out/link")));
    QCOMPARE(QFile::symLinkTarget(path("out/link")), path("out/target.txt"));
    QCOMPARE(readFile(path("out/link")), QByteArray("target"));

    // A second run replaces the link it finds.
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("links.zip"), path("out")));
    QVERIFY(isSymbolicLink(path("out/link")));
}

void TestZRZipArchive::linkTargets_data()
{
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("allowed");

    QTest::newRow("beside it") << QByteArray("l") << QByteArray("sub/file.txt") << true;
    QTest::newRow("up from its folder and down") << QByteArray("sub/l") << QByteArray("../sub/file.txt") << true;
    QTest::newRow("up to the destination itself") << QByteArray("sub/deep/l") << QByteArray("../..") << true;
    QTest::newRow("dot steps") << QByteArray("sub/l") << QByteArray("./file.txt") << true;
    QTest::newRow("to nothing yet, inside") << QByteArray("l") << QByteArray("missing/x") << true;
    QTest::newRow("up out of the destination") << QByteArray("l") << QByteArray("..") << false;
    QTest::newRow("up out from a folder") << QByteArray("sub/l") << QByteArray("../../outside") << false;
    QTest::newRow("absolute, outside") << QByteArray("l") << QByteArray("/etc/passwd") << false;
    QTest::newRow("absolute root") << QByteArray("sub/l") << QByteArray("/") << false;
    // Through another link the step up after a name could land anywhere.
    QTest::newRow("a step up after a name") << QByteArray("l") << QByteArray("sub/../file") << false;
    QTest::newRow("in place of the destination") << QByteArray("sub/..") << QByteArray("sub") << false;
}

void TestZRZipArchive::linkTargets()
{
    QFETCH(QByteArray, link);
    QFETCH(QByteArray, target);
    QFETCH(bool, allowed);

    Entry entry{link, target};
    entry.link = true;
    QVERIFY(makeArchive(path("links.zip"), {{"sub/file.txt", "inside"}, {"sub/deep/", ""}, entry}));

    if (!allowed)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\\[ZRZipArchive\\] Refused symbolic link "));
    ZrError error;
    QCOMPARE(ZRZipArchive::unzipFileAtPath(path("links.zip"), path("out"), true, QString(), &error), allowed);
    QCOMPARE(readFile(path("out/sub/file.txt")), QByteArray("inside"));
    const QString linkPath = path("out/") + QString::fromUtf8(link);
    if (allowed) {
        QVERIFY(error.isNull());
        QCOMPARE(linkTarget(linkPath), target);
    } else {
        QCOMPARE(error.code(), -6);
        QVERIFY(!isSymbolicLink(linkPath));
    }
}

void TestZRZipArchive::entryNames_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("expected");

    QTest::newRow("CP437 from a DOS host") << QByteArray("\x80\x82\xe1.txt") << 0 << false
                                           << QString::fromUtf8("\u00c7\u00e9\u00df.txt");
    QTest::newRow("UTF-8 flagged from a DOS host") << QByteArray("\xc3\xbc.txt") << 0 << true
                                                   << QString::fromUtf8("\u00fc.txt");
    QTest::newRow("UTF-8 from a Unix host") << QByteArray("\xc3\xbc\xe6\x97\xa5.txt") << 3 << false
                                            << QString::fromUtf8("\u00fc\u65e5.txt");
    QTest::newRow("GB18030") << QByteArray("\xc4\xe3\xba\xc3.txt") << 3 << false
                             << QString::fromUtf8("\u4f60\u597d.txt");
    QTest::newRow("Shift_JIS") << QByteArray("\xb1\xb2\xb3.txt") << 3 << false
                               << QString::fromUtf8("\uff71\uff72\uff73.txt");
    QTest::newRow("undecodable, as hexadecimal") << QByteArray("\xff\xfe.txt") << 3 << false
                                                 << QString("FFFE2E747874");
}

void TestZRZipArchive::entryNames()
{
    QFETCH(QByteArray, raw);
    QFETCH(int, system);
    QFETCH(bool, utf8);
    QFETCH(QString, expected);

    Entry entry{raw, "content"};
    entry.system = system;
    entry.utf8 = utf8;
    QVERIFY(makeArchive(path("names.zip"), {entry}));

    QStringList reported;
    QVERIFY(ZRZipArchive::unzipFileAtPath(
        path("names.zip"), path("out"),
        [&](const QString &name, const ZrZipFileInfo &info, qint64, qint64) {
            reported.append(name);
            return info.sizeFilename == quint32(raw.size());
        },
        ZRZipArchive::CompletionHandler()));
    QCOMPARE(reported, QStringList{expected});
    QCOMPARE(tree(path("out")), QStringList{expected});
    QCOMPARE(readFile(path("out/") + expected), QByteArray("content"));
}

void TestZRZipArchive::attributes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("date");
    QTest::addColumn<int>("expectedMode");
    QTest::addColumn<QDateTime>("expectedDate");

    const QList<int> date{2016, 7, 8, 9, 10, 12};
    const QDateTime local(QDate(2016, 7, 8), QTime(9, 10, 12));
    QTest::newRow("plain mode") << 0640 << date << 0640 << local;
    QTest::newRow("owner read and write added") << 0044 << date << 0644 << local;
    QTest::newRow("no mode at all") << 0 << date << 0600 << local;
    QTest::newRow("setuid dropped") << 04755 << date << 0755 << local;
    QTest::newRow("setgid dropped") << 02750 << date << 0750 << local;
    QTest::newRow("sticky bit dropped") << 01777 << date << 0777 << local;
    QTest::newRow("DOS date 0 keeps the written date") << 0644 << QList<int>{1980, 0, 0, 0, 0, 0} << 0644
                                                       << QDateTime();
    QTest::newRow("odd seconds round down") << 0644 << QList<int>{2001, 2, 3, 4, 5, 7} << 0644
                                            << QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
}

void TestZRZipArchive::attributes()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, date);
    QFETCH(int, expectedMode);
    QFETCH(QDateTime, expectedDate);

    Entry entry{"file.txt", "data"};
    entry.mode = mode;
    entry.date = date;
    QVERIFY(makeArchive(path("modes.zip"), {entry}));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("modes.zip"), path("out")));
    QCOMPARE(permissions(path("out/file.txt")), expectedMode);
    if (expectedDate.isValid())
        QCOMPARE(modificationTime(path("out/file.txt")), expectedDate);
    else
        QVERIFY(modificationTime(path("out/file.txt")) >= before);
}

void TestZRZipArchive::unsafeEntriesRefused_data()
{
    QTest::addColumn<QList<Entry>>("entries");

    Entry parentLink{"link", ".."};
    parentLink.link = true;
    Entry absoluteLink{"abs", ""};
    absoluteLink.link = true;  // the target is filled in with the test's own folder
    Entry fileLink{"f", ""};
    fileLink.link = true;

    QTest::newRow("parent steps") << QList<Entry>{{"ok.txt", "ok"}, {"a/../../x", "bad"}};
    QTest::newRow("backslash parent step") << QList<Entry>{{"ok.txt", "ok"}, {"..\\x", "bad"}};
    QTest::newRow("bare parent") << QList<Entry>{{"ok.txt", "ok"}, {"..", "bad"}};
    QTest::newRow("through a link to the parent") << QList<Entry>{{"ok.txt", "ok"}, parentLink, {"link/x", "bad"}};
    QTest::newRow("through a link to a folder outside")
        << QList<Entry>{{"ok.txt", "ok"}, absoluteLink, {"abs/x", "bad"}};
    QTest::newRow("through a link to a file outside") << QList<Entry>{{"ok.txt", "ok"}, fileLink, {"f", "bad"}};
}

void TestZRZipArchive::unsafeEntriesRefused()
{
    QFETCH(QList<Entry>, entries);

    const QString work = path("work");
    QVERIFY(writeFile(work + "/victim", "untouched"));
    for (Entry &entry : entries) {
        if (entry.name == "abs")
            entry.data = work.toUtf8();
        if (entry.name == "f" && entry.link)
            entry.data = QString(work + "/victim").toUtf8();
    }
    QVERIFY(makeArchive(path("evil.zip"), entries));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\\[ZRZipArchive\\] Refused "));
    ZrError error;
    QString completedPath = "not called";
    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("evil.zip"), work + "/dest", true, true, QString(), &error, nullptr,
                                           ZRZipArchive::ProgressHandler(),
                                           [&](const QString &archive, bool succeeded, const ZrError &reported) {
                                               QVERIFY(!succeeded);
                                               QCOMPARE(reported, error);
                                               completedPath = archive;
                                           }));
    QCOMPARE(error.domain(), QStringLiteral("ZRZipArchiveErrorDomain"));
    QCOMPARE(error.code(), -6);
    QCOMPARE(completedPath, path("evil.zip"));
    QCOMPARE(readFile(work + "/dest/ok.txt"), QByteArray("ok"));
    QCOMPARE(readFile(work + "/victim"), QByteArray("untouched"));
    QCOMPARE(tree(work).filter(QRegularExpression("(^|/)x$")), QStringList());
    QCOMPARE(tree(m_dir->path()).filter(QRegularExpression("(^|/)x$")), QStringList());
}

void TestZRZipArchive::passwords_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("aes");

    QTest::newRow("zip -P") << "zip" << QStringList{"-q", "-r", "-P", "s3cret"} << false;
    QTest::newRow("7z AES-256") << "7z" << QStringList{"a", "-tzip", "-ps3cret", "-mem=AES256", "-bd"} << true;
}

void TestZRZipArchive::passwords()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(bool, aes);

    // Text that compresses and data that does not, so that both stored and deflated entries occur.
    QVERIFY(writeFile(path("src/text.txt"), QByteArray("all work and no play\n").repeated(400)));
    QVERIFY(writeFile(path("src/sub/random.bin"), randomBytes(30000)));
    QVERIFY(writeFile(path("src/tiny.txt"), "t"));
    QCOMPARE(runTool(tool, arguments << path("locked.zip") << "text.txt" << "sub" << "tiny.txt", path("src")), 0);
    QVERIFY(writeFile(path("plain/plain.txt"), "plain"));
    QCOMPARE(runTool("zip", {"-q", "-r", path("plain.zip"), "."}, path("plain")), 0);

    QVERIFY(ZRZipArchive::isFilePasswordProtectedAtPath(path("locked.zip")));
    QVERIFY(!ZRZipArchive::isFilePasswordProtectedAtPath(path("plain.zip")));
    QVERIFY(!ZRZipArchive::isFilePasswordProtectedAtPath(path("missing.zip")));

    ZrError error = ZrError("stale", 1, "stale");
    QVERIFY(ZRZipArchive::isPasswordValidForArchiveAtPath(path("locked.zip"), "s3cret", &error));
    QVERIFY(error.isNull());
    QVERIFY(ZRZipArchive::isPasswordValidForArchiveAtPath(path("plain.zip"), "anything", &error));
    if (aes) {
        // Traditional encryption tells a wrong password only with a chance of 255 in 256.
        QVERIFY(!ZRZipArchive::isPasswordValidForArchiveAtPath(path("locked.zip"), "wrong", &error));
        QVERIFY(error.isNull());
    }
    QVERIFY(!ZRZipArchive::isPasswordValidForArchiveAtPath(path("locked.zip"), QString(), &error));
    QVERIFY(error.isNull());

    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("locked.zip"), path("wrong"), true, "wrong", &error));
    QVERIFY(!error.isNull());
    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("locked.zip"), path("none"), true, QString(), &error));
    QCOMPARE(error.code(), -2);
    QCOMPARE(error.localizedDescription(), QStringLiteral("failed to open file in zip file"));

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("locked.zip"), path("out"), true, "s3cret", &error));
    QVERIFY(error.isNull());
    QCOMPARE(readFile(path("out/text.txt")), readFile(path("src/text.txt")));
    QCOMPARE(readFile(path("out/sub/random.bin")), readFile(path("src/sub/random.bin")));
    QCOMPARE(readFile(path("out/tiny.txt")), QByteArray("t"));
}

void TestZRZipArchive::damagedAesEntry()
{
    // AES entries from 7z carry no CRC: only their authentication code reveals damage.
    QVERIFY(writeFile(path("src/first.txt"), "first"));
    QVERIFY(writeFile(path("src/random.bin"), randomBytes(20000)));
    QCOMPARE(runTool("7z", {"a", "-tzip", "-pkey", "-mem=AES256", "-bd", path("aes.zip"), "first.txt", "random.bin"},
                     path("src")),
             0);
    QVERIFY(damage(path("aes.zip"), "random.bin", "flip"));

    ZrError error;
    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("aes.zip"), path("out"), true, "key", &error));
    QCOMPARE(error.code(), -3);
    QCOMPARE(error.localizedDescription(), QStringLiteral("crc check failed for file"));
    QCOMPARE(readFile(path("out/first.txt")), QByteArray("first"));
}

void TestZRZipArchive::archiveWithoutEntries()
{
    QCOMPARE(runTool(python(), {"-c", "import zipfile,sys; zipfile.ZipFile(sys.argv[1], 'w').close()",
                                 path("empty.zip")}),
             0);
    ZrError error;
    QVERIFY(ZRZipArchive::isPasswordValidForArchiveAtPath(path("empty.zip"), "any", &error));
    QVERIFY(error.isNull());
    QVERIFY(!ZRZipArchive::isFilePasswordProtectedAtPath(path("empty.zip")));

    RecordingDelegate delegate;
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("empty.zip"), path("out"), &delegate));
    QCOMPARE(delegate.calls, QStringList({"willUnzipArchive empty.zip 0", "progress start", "didUnzipArchive out",
                                          "progress end"}));

    QVERIFY(makeArchive(path("mac.zip"), {{"__MACOSX/", ""}, {"__MACOSX/._a", "fork"}}));
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("mac.zip"), path("mac")));
    QCOMPARE(tree(path("mac")), QStringList());
}

void TestZRZipArchive::badInput_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("completionGetsPath");

    QTest::newRow("empty archive path") << "" << "out" << -6 << "received invalid argument(s)" << false;
    QTest::newRow("empty destination") << "good.zip" << "" << -6 << "received invalid argument(s)" << false;
    QTest::newRow("missing archive") << "missing.zip" << "out" << -1 << "failed to open zip file" << false;
    QTest::newRow("empty file") << "zero.zip" << "out" << -1 << "failed to open zip file" << false;
    QTest::newRow("not an archive") << "text.zip" << "out" << -1 << "failed to open zip file" << false;
    QTest::newRow("truncated archive") << "truncated.zip" << "out" << -1 << "failed to open zip file" << false;
    QTest::newRow("damaged CRC") << "crc.zip" << "out" << -3 << "crc check failed for file" << true;
    QTest::newRow("damaged data") << "data.zip" << "out" << -4 << "failed to read contents of file entry" << true;
}

void TestZRZipArchive::badInput()
{
    QFETCH(QString, archive);
    QFETCH(QString, destination);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(bool, completionGetsPath);

    // The archives are made once, for every row.
    const QString fixtures = m_fixtures.path() + "/";
    if (!QFileInfo::exists(fixtures + "good.zip")) {
        const QList<Entry> entries{{"first.txt", "kept"}, {"second.txt", QByteArray("compressible ").repeated(3000)}};
        QVERIFY(makeArchive(fixtures + "crc.zip", entries));
        QVERIFY(damage(fixtures + "crc.zip", "second.txt", "crc"));
        QVERIFY(makeArchive(fixtures + "data.zip", entries));
        QVERIFY(damage(fixtures + "data.zip", "second.txt", "badblock"));
        QVERIFY(writeFile(fixtures + "zero.zip", ""));
        QVERIFY(writeFile(fixtures + "text.zip", "this is not a zip archive at all"));
        QVERIFY(makeArchive(fixtures + "good.zip", entries));
        QVERIFY(writeFile(fixtures + "truncated.zip", readFile(fixtures + "good.zip").left(60)));
    }

    const QString archivePath = archive.isEmpty() ? QString() : fixtures + archive;
    const QString destinationPath = destination.isEmpty() ? QString() : path(destination);
    ZrError error;
    int completions = 0;
    QString completedPath = "not called";
    ZrError completedError;
    const bool result = ZRZipArchive::unzipFileAtPath(
        archivePath, destinationPath, true, true, QString(), &error, nullptr, ZRZipArchive::ProgressHandler(),
        [&](const QString &reportedPath, bool succeeded, const ZrError &reportedError) {
            ++completions;
            QVERIFY(!succeeded);
            completedPath = reportedPath;
            completedError = reportedError;
        });
    QVERIFY(!result);
    QCOMPARE(error.domain(), QStringLiteral("ZRZipArchiveErrorDomain"));
    QCOMPARE(error.code(), code);
    QCOMPARE(error.localizedDescription(), message);
    QCOMPARE(completions, 1);
    QCOMPARE(completedError, error);
    QCOMPARE(completedPath, completionGetsPath ? archivePath : QString());
    if (completionGetsPath)
        QCOMPARE(readFile(path("out/first.txt")), QByteArray("kept"));
}

void TestZRZipArchive::fileThatCannotBeCreated()
{
    // "a" is unpacked as a file, so "a/b" has no folder to go into.
    QVERIFY(makeArchive(path("clash.zip"), {{"a", "file"}, {"a/b", "inner"}, {"c", "never"}}));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\\[ZRZipArchive\\] Error: "));
    ZrError error;
    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("clash.zip"), path("out"), true, QString(), &error));
    QCOMPARE(error.domain(), QStringLiteral("NSPOSIXErrorDomain"));
    QCOMPARE(error.code(), ENOTDIR);
    QCOMPARE(readFile(path("out/a")), QByteArray("file"));
    QVERIFY(!QFileInfo::exists(path("out/c")));
}

void TestZRZipArchive::writeFailure()
{
    Entry big("big.bin", "z");
    big.repeat = 300000;
    QVERIFY(makeArchive(path("big.zip"), {{"small.txt", "small"}, big}));

    // Writes past 64 KiB fail as on a full disk.
    bool result = true;
    ZrError error;
    {
        const FileSizeLimit limit(65536);
        QVERIFY(limit.isActive());
        QTest::ignoreMessage(QtWarningMsg, "[ZRZipArchive] Failed to write file (check your free space)");
        result = ZRZipArchive::unzipFileAtPath(path("big.zip"), path("out"), true, QString(), &error);
    }

    QVERIFY(!result);
    QCOMPARE(error.code(), -5);
    QCOMPARE(error.localizedDescription(), QStringLiteral("Failed to write file (check your free space)"));
    QCOMPARE(readFile(path("out/small.txt")), QByteArray("small"));
}

void TestZRZipArchive::delegateAndBlockOrder()
{
    QVERIFY(makeArchive(path("three.zip"), {{"one.txt", "1"}, {"folder/", ""}, {"folder/two.txt", "22"}}));

    RecordingDelegate delegate;
    QStringList blocks;
    ZrError error;
    QVERIFY(ZRZipArchive::unzipFileAtPath(
        path("three.zip"), path("out"), true, true, QString(), &error, &delegate,
        [&](const QString &entry, const ZrZipFileInfo &info, qint64 entryNumber, qint64 total) {
            delegate.calls.append(QStringLiteral("block %1 %2/%3 size %4")
                                      .arg(entry)
                                      .arg(entryNumber)
                                      .arg(total)
                                      .arg(info.uncompressedSize));
            return true;
        },
        [&](const QString &archive, bool succeeded, const ZrError &reported) {
            delegate.calls.append(QStringLiteral("completion %1 %2 %3")
                                      .arg(QFileInfo(archive).fileName())
                                      .arg(succeeded)
                                      .arg(reported.isNull()));
        }));
    QCOMPARE(delegate.calls, QStringList({"willUnzipArchive three.zip 3",
                                          "progress start",
                                          "should 0/3",
                                          "will 0",
                                          "progress",
                                          "did 0 size 1",
                                          "block one.txt 0/3 size 1",
                                          "should 1/3",
                                          "will 1",
                                          "progress",
                                          "did 1 size 0",
                                          "block folder/ 1/3 size 0",
                                          "should 2/3",
                                          "will 2",
                                          "progress",
                                          "did 2 size 2",
                                          "block folder/two.txt 2/3 size 2",
                                          "didUnzipArchive out",
                                          "progress end",
                                          "completion three.zip 1 1"}));

    PathDelegate pathDelegate;
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("three.zip"), path("again"), &pathDelegate));
    QCOMPARE(pathDelegate.paths,
             QStringList({path("again/one.txt"), path("again/folder"), path("again/folder/two.txt")}));
}

void TestZRZipArchive::cancelAndStop()
{
    QVERIFY(makeArchive(path("three.zip"), {{"one.txt", "1"}, {"two.txt", "2"}, {"three.txt", "3"}}));

    RecordingDelegate delegate;
    delegate.refuseIndex = 1;
    ZrError error = ZrError("stale", 1, "stale");
    QVERIFY(!ZRZipArchive::unzipFileAtPath(path("three.zip"), path("cancelled"), true, QString(), &error, &delegate));
    QVERIFY(error.isNull());
    QCOMPARE(delegate.calls, QStringList({"willUnzipArchive three.zip 3", "progress start", "should 0/3", "will 0",
                                          "progress", "did 0 size 1", "should 1/3"}));
    QCOMPARE(tree(path("cancelled")), QStringList{"one.txt"});

    int calls = 0;
    bool completed = true;
    QVERIFY(!ZRZipArchive::unzipFileAtPath(
        path("three.zip"), path("stopped"),
        [&](const QString &, const ZrZipFileInfo &, qint64, qint64) { return ++calls < 2; },
        [&](const QString &, bool succeeded, const ZrError &) { completed = succeeded; }));
    QCOMPARE(calls, 2);
    QVERIFY(!completed);
    QCOMPARE(tree(path("stopped")), QStringList({"one.txt", "two.txt"}));
}

void TestZRZipArchive::writeFolder_data()
{
    QTest::addColumn<bool>("keepParentDirectory");
    QTest::newRow("contents only") << false;
    QTest::newRow("under the folder's name") << true;
}

void TestZRZipArchive::writeFolder()
{
    QFETCH(bool, keepParentDirectory);

    const SourceTree source;
    source.write(path("Folder"));
    QList<quint64> progress;
    QVERIFY(ZRZipArchive::createZipFileAtPath(path("made.zip"), path("Folder"), keepParentDirectory, QString(),
                                              [&](quint64 done, quint64 total) {
                                                  progress.append(done);
                                                  QCOMPARE(total, quint64(tree(path("Folder")).size()));
                                              }));
    QCOMPARE(progress.size(), tree(path("Folder")).size());
    for (int i = 0; i < progress.size(); ++i)
        QCOMPARE(progress[i], quint64(i + 1));

    QByteArray listing;
    QCOMPARE(runTool("unzip", {"-Z1", path("made.zip")}, QString(), &listing), 0);
    QStringList names = QString::fromUtf8(listing).split('\n', Qt::SkipEmptyParts);
    names.sort();
    QStringList expected = source.files.keys() + QStringList{"data/empty/"};
    if (keepParentDirectory) {
        for (QString &name : expected)
            name.prepend("Folder/");
    }
    expected.sort();
    QCOMPARE(names, expected);

    QCOMPARE(runTool("unzip", {"-tq", path("made.zip")}), 0);
    QCOMPARE(runTool("unzip", {"-q", path("made.zip"), "-d", path("unzip")}), 0);
    source.compare(path("Folder"), keepParentDirectory ? path("unzip/Folder") : path("unzip"));

    QVERIFY(ZRZipArchive::unzipFileAtPath(path("made.zip"), path("ours")));
    source.compare(path("Folder"), keepParentDirectory ? path("ours/Folder") : path("ours"));

    // An empty folder is one entry with its name, or an archive without entries.
    QVERIFY(QDir().mkpath(path("Lonely")));
    QVERIFY(ZRZipArchive::createZipFileAtPath(path("lonely.zip"), path("Lonely"), keepParentDirectory));
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("lonely.zip"), path("lonely")));
    QCOMPARE(tree(path("lonely")), keepParentDirectory ? QStringList{"Lonely/"} : QStringList());
}

void TestZRZipArchive::writeFolderWithPassword()
{
    const SourceTree source;
    source.write(path("Folder"));
    QVERIFY(ZRZipArchive::createZipFileAtPath(path("aes.zip"), path("Folder"), QString("pass word")));

    QByteArray methods;
    QCOMPARE(runTool(python(),
                     {"-c",
                      "import sys,zipfile; print(sorted({i.compress_type for i in zipfile.ZipFile(sys.argv[1]).infolist() "
                      "if not i.is_dir()}))",
                      path("aes.zip")},
                     QString(), &methods),
             0);
    QCOMPARE(methods.trimmed(), QByteArray("[99]"));  // WinZip AES
    QCOMPARE(runTool("7z", {"t", "-ppass word", "-bd", path("aes.zip")}), 0);
    QVERIFY(runTool("7z", {"t", "-pwrong", "-bd", path("aes.zip")}) != 0);
    QVERIFY(ZRZipArchive::isFilePasswordProtectedAtPath(path("aes.zip")));
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("aes.zip"), path("out"), true, "pass word"));
    source.compare(path("Folder"), path("out"));

    QVERIFY(ZRZipArchive::createZipFileAtPath(path("classic.zip"), path("Folder"), false, 6, "pass word", false,
                                              ZRZipArchive::WriteProgressHandler()));
    QCOMPARE(runTool("unzip", {"-tq", "-P", "pass word", path("classic.zip")}), 0);
}

void TestZRZipArchive::writeFolderWithLinks()
{
    QVERIFY(writeFile(path("Folder/real/file.txt"), "data"));
    QVERIFY(writeFile(path("Folder/real/deeper/inner.txt"), "inner"));
    QVERIFY(QFile::link("real", path("Folder/to folder")));
    QVERIFY(QFile::link("real/file.txt", path("Folder/to file")));
    QVERIFY(QFile::link("nowhere", path("Folder/dangling")));
    QVERIFY(ZRZipArchive::createZipFileAtPath(path("links.zip"), path("Folder")));

    // Info-ZIP sees three link entries and nothing below the linked folder.
    QByteArray listing;
    QCOMPARE(runTool("zipinfo", {path("links.zip")}, QString(), &listing), 0);
    QStringList links;
    static const QRegularExpression linkLine("^l\\S+(?:\\s+\\S+){7}\\s(.+)$");
    for (const QString &line : QString::fromUtf8(listing).split('\n')) {
        const QRegularExpressionMatch match = linkLine.match(line);
        if (match.hasMatch())
            links << match.captured(1);
        QVERIFY2(!line.contains("to folder/"), qPrintable(line));
    }
    links.sort();
    QCOMPARE(links, QStringList({"dangling", "to file", "to folder"}));

    const QList<QPair<QString, QByteArray>> expected{
        {"to folder", "real"}, {"to file", "real/file.txt"}, {"dangling", "nowhere"}};
    QCOMPARE(runTool("unzip", {"-q", path("links.zip"), "-d", path("unzip")}), 0);
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("links.zip"), path("ours")));
    for (const QString &folder : {path("unzip"), path("ours")}) {
        for (const auto &link : expected) {
            QVERIFY2(isSymbolicLink(folder + "/" + link.first), qPrintable(folder + "/" + link.first));
            QCOMPARE(linkTarget(folder + "/" + link.first), link.second);
        }
        QCOMPARE(readFile(folder + "/to folder/deeper/inner.txt"), QByteArray("inner"));
        QCOMPARE(readFile(folder + "/to file"), QByteArray("data"));
    }
}

void TestZRZipArchive::writeFolderInPart_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("no such folder") << "missing";
    QTest::newRow("a folder inside that cannot be listed") << "unreadable";
    QTest::newRow("a named pipe inside") << "pipe";
}

// A folder that cannot be written whole is never reported as written.
void TestZRZipArchive::writeFolderInPart()
{
    QFETCH(QString, damage);

    QVERIFY(writeFile(path("Folder/file.txt"), "data"));
    QString source = path("Folder");
    if (damage == "missing") {
        source = path("Missing");
    } else if (damage == "unreadable") {
        if (geteuid() == 0)
            QSKIP("the superuser lists every folder");
        QVERIFY(writeFile(path("Folder/closed/hidden.txt"), "hidden"));
        QVERIFY(QFile::setPermissions(path("Folder/closed"), QFileDevice::WriteOwner));
    } else {
        QCOMPARE(mkfifo(QFile::encodeName(path("Folder/pipe")).constData(), 0600), 0);
    }
    const bool written = ZRZipArchive::createZipFileAtPath(path("part.zip"), source);
    if (damage == "unreadable")
        QFile::setPermissions(path("Folder/closed"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!written);
}

void TestZRZipArchive::writeOnFullDisk_data()
{
    QTest::addColumn<bool>("empty");
    QTest::newRow("a folder with a file") << false;
    QTest::newRow("an empty folder, no entries") << true;
}

// An archive that cannot reach the disk whole is not reported as written, and does not replace
// the one that was there.
void TestZRZipArchive::writeOnFullDisk()
{
    QFETCH(bool, empty);

    QVERIFY(QDir().mkpath(path("Folder")));
    if (!empty)
        QVERIFY(writeFile(path("Folder/file.txt"), randomBytes(100000)));
    QVERIFY(writeFile(path("made.zip"), "the archive before"));
    bool written = true;
    {
        const FileSizeLimit full(0);
        QVERIFY(full.isActive());
        written = ZRZipArchive::createZipFileAtPath(path("made.zip"), path("Folder"));
    }
    QVERIFY(!written);
    QCOMPARE(readFile(path("made.zip")), QByteArray("the archive before"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList("made.zip"));
}

void TestZRZipArchive::writerInstance()
{
    QVERIFY(writeFile(path("src/file.txt"), "from a file"));
    QVERIFY(QDir().mkpath(path("src/folder")));

    ZRZipArchive zip(path("made.zip"));
    QVERIFY(!zip.writeData("early", "early.txt", QString()));
    QVERIFY(zip.open());
    QVERIFY(zip.writeData("stored bytes", "stored.txt", 0, QString(), false));
    QVERIFY(zip.writeData(QByteArray(), "empty.txt", QString()));
    QVERIFY(zip.writeFile(path("src/file.txt"), QString()));
    QVERIFY(zip.writeFileAtPath(path("src/file.txt"), "renamed/file.txt", QString()));
    QVERIFY(zip.writeFolderAtPath(path("src/folder"), "folder", QString()));
    QVERIFY(!zip.writeFile(path("src/missing.txt"), QString()));
    QVERIFY(!zip.writeFile(path("src/folder"), QString()));
    QVERIFY(!zip.writeData("again", "stored.txt", QString()));  // names are unique
    QVERIFY(zip.close());
    QVERIFY(!zip.close());

    QCOMPARE(runTool("unzip", {"-tq", path("made.zip")}), 0);
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("made.zip"), path("out")));
    QCOMPARE(tree(path("out")),
             QStringList({"empty.txt", "file.txt", "folder/", "renamed/", "renamed/file.txt", "stored.txt"}));
    QCOMPARE(readFile(path("out/stored.txt")), QByteArray("stored bytes"));
    QCOMPARE(readFile(path("out/renamed/file.txt")), QByteArray("from a file"));

    QVERIFY(ZRZipArchive::createZipFileAtPath(path("files.zip"), QStringList{path("src/file.txt")}, "pw"));
    QVERIFY(ZRZipArchive::unzipFileAtPath(path("files.zip"), path("files"), true, "pw"));
    QCOMPARE(tree(path("files")), QStringList{"file.txt"});
    QVERIFY(!ZRZipArchive::createZipFileAtPath(path("partial.zip"),
                                               QStringList{path("src/file.txt"), path("src/missing.txt")}));
    QVERIFY(!ZRZipArchive::createZipFileAtPath(path("no/such/folder/x.zip"), QStringList{path("src/file.txt")}));
}

void TestZRZipArchive::dataEncodings()
{
    const QByteArray bytes("\x00\x0f\xfb\xff\x3e\x3f", 6);
    QCOMPARE(ZRZipArchive::_hexString(bytes), QStringLiteral("000FFBFF3E3F"));
    QCOMPARE(ZRZipArchive::_hexString(QByteArray()), QString());
    QCOMPARE(ZRZipArchive::_base64RFC4648(bytes), QStringLiteral("AA_7_z4_"));
    QCOMPARE(ZRZipArchive::_base64RFC4648("\xfb\xff"), QStringLiteral("-_8="));
}

QTEST_GUILESS_MAIN(TestZRZipArchive)
#include "tst_zrziparchive.moc"
