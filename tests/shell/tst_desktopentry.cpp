// The built tree's desktop entry: valid for the desktop tools, pointing at the program and its
// icon, and naming the MIME type of every extension the open-file dialog offers.
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>

namespace {

const QString EntryPath = QStringLiteral(ZR_ROOT_DIR "/share/applications/zrplayer.desktop");

QMap<QString, QString> readEntry()
{
    QMap<QString, QString> keys;
    QFile file(EntryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0 && !line.startsWith('#'))
            keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

}

class TestDesktopEntry : public QObject
{
    Q_OBJECT

private slots:
    void validates();
    void pointsAtProgramAndIcon();
    void namesTypeOfEveryOfferedExtension();
};

void TestDesktopEntry::validates()
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing: run scripts/setup.sh");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {EntryPath});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray output = process.readAll();
    QVERIFY2(output.isEmpty(), output.constData());
    QCOMPARE(process.exitCode(), 0);
}

void TestDesktopEntry::pointsAtProgramAndIcon()
{
    const QMap<QString, QString> entry = readEntry();
    QCOMPARE(entry.value("Type"), QStringLiteral("Application"));
    QCOMPARE(entry.value("Name"), QStringLiteral("ZRPlayer"));
    QCOMPARE(entry.value("Categories"), QStringLiteral("AudioVideo;Player;Video;"));
    QCOMPARE(entry.value("Exec"), QString("\"%1/bin/ZRPlayer\" %F").arg(ZR_ROOT_DIR));
    QVERIFY(QFileInfo(ZR_ROOT_DIR "/bin/ZRPlayer").isExecutable());
    const QString icon = entry.value("Icon");
    QVERIFY(QFileInfo(icon).isAbsolute());
    QVERIFY2(!QImage(icon).isNull(), qPrintable(icon));
}

void TestDesktopEntry::namesTypeOfEveryOfferedExtension()
{
    // The open-file dialog's "All Supported Formats".
    const QStringList extensions{"m4v", "avi", "mts", "ts", "m2ts", "m2t", "tp", "trp", "mp4", "mpg", "mpeg",
                                 "3gp", "3g2", "wmv", "asf", "rm", "rmvb", "dat", "mov", "flv", "f4v", "mkv",
                                 "dv", "dvr-ms", "h.264", "nsv", "vob", "webm", "ogv", "mp3", "m4a", "aac", "ac3",
                                 "ogg", "aiff", "ape", "flac", "wav", "wma", "m4b", "m4p", "m4r", "mka", "au"};
    const QStringList listed = readEntry().value("MimeType").split(';', Qt::SkipEmptyParts);
    QVERIFY(!listed.isEmpty());

    // An extension the system's MIME database knows must reach the program through one of its types.
    int known = 0;
    QStringList missing;
    for (const QString &extension : extensions) {
        QStringList names;
        for (const QMimeType &type : QMimeDatabase().mimeTypesForFileName("clip." + extension))
            names << type.name() << type.aliases();
        if (names.isEmpty())
            continue;
        ++known;
        if (std::none_of(names.cbegin(), names.cend(), [&](const QString &name) { return listed.contains(name); }))
            missing << extension + " (" + names.join(", ") + ")";
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join("; ")));
    QVERIFY2(known >= 30, "the system's MIME database knows too few of the extensions");
}

QTEST_MAIN(TestDesktopEntry)

#include "tst_desktopentry.moc"
