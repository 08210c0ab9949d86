#include "codec/rqcodec.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <random>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QString fixture(const QString &name)
{
    return kFixtures + QLatin1Char('/') + name;
}

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// ffprobe's own view of a file, the reference every file probe is held against.
QJsonObject ffprobe(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                                              QStringLiteral("json"), QStringLiteral("-show_format"),
                                              QStringLiteral("-show_streams"), QStringLiteral("-show_programs"), path});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

qint64 micros(const QJsonValue &seconds)
{
    return qint64(seconds.toString().toDouble() * 1e6 + 0.5);
}

// Every field a probe answers about its current program, as one text, to compare whole probes.
QString describe(uint64_t probe)
{
    QStringList lines;
    lines << QStringLiteral("format %1 %2 programs %3")
                 .arg(text(codecProbeGetFormatName(probe)))
                 .arg(codecProbeGetDuration(probe))
                 .arg(codecProbeGetProgramCount(probe));
    for (int p = 0; p < codecProbeGetProgramCount(probe); ++p) {
        codecProbeSelectProgram(probe, p);
        lines << QStringLiteral("program %1 %2 %3 v%4 a%5").arg(p).arg(text(codecProbeGetProgramName(probe)))
                     .arg(codecProbeGetDuration(probe)).arg(codecProbeHasVideo(probe)).arg(codecProbeHasAudio(probe));
        for (int i = 0; i < codecProbeGetVideoStreamCount(probe); ++i) {
            codecProbeSelectVideoStream(probe, i);
            lines << QStringLiteral("video %1 %2 %3 %4x%5 %6:%7 %8/%9 %10 %11")
                         .arg(text(codecProbeGetVideoTitle(probe)), text(codecProbeGetVideoCodec(probe)),
                              text(codecProbeGetVideoLanguage(probe)))
                         .arg(codecProbeGetVideoWidth(probe)).arg(codecProbeGetVideoHeight(probe))
                         .arg(codecProbeGetVideoAspectNum(probe)).arg(codecProbeGetVideoAspectDen(probe))
                         .arg(codecProbeGetVideoFrameRateNum(probe)).arg(codecProbeGetVideoFrameRateDen(probe))
                         .arg(codecProbeGetVideoBitRate(probe)).arg(codecProbeGetVideoDuration(probe));
        }
        for (int i = 0; i < codecProbeGetAudioStreamCount(probe); ++i) {
            codecProbeSelectAudioStream(probe, i);
            lines << QStringLiteral("audio %1 %2 %3 %4 %5 %6 %7 %8 %9")
                         .arg(text(codecProbeGetAudioTitle(probe)), text(codecProbeGetAudioCodec(probe)),
                              text(codecProbeGetAudioLanguage(probe)))
                         .arg(codecProbeGetAudioSampleRate(probe)).arg(codecProbeGetAudioChannels(probe))
                         .arg(codecProbeGetAudioChannelLayout(probe)).arg(codecProbeGetAudioBitRate(probe))
                         .arg(codecProbeGetAudioBitDepth(probe)).arg(codecProbeGetAudioDuration(probe));
        }
        for (int i = 0; i < codecProbeGetSubtitleStreamCount(probe); ++i) {
            codecProbeSelectSubtitleStream(probe, i);
            lines << QStringLiteral("subtitle %1 %2 %3 %4")
                         .arg(text(codecProbeGetSubtitleTitle(probe)), text(codecProbeGetSubtitleCodec(probe)),
                              text(codecProbeGetSubtitleLanguage(probe)))
                         .arg(codecProbeGetSubtitleDuration(probe));
        }
        for (int i = 0; i < codecProbeGetChapterCount(probe); ++i) {
            lines << QStringLiteral("chapter %1 %2 %3").arg(text(codecProbeGetChapterTitle(probe, i)))
                         .arg(codecProbeGetChapterStart(probe, i)).arg(codecProbeGetChapterDuration(probe, i));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString probeDescription(const QString &path, bool disc)
{
    const uint64_t probe = codecCreateProbe(-1);
    const QByteArray utf8 = path.toUtf8();
    const int opened = disc ? codecProbeOpenDisc(probe, utf8.constData()) : codecProbeOpenFile(probe, utf8.constData());
    const QString result = opened ? describe(probe) : QStringLiteral("failed");
    codecCloseProbe(probe);
    codecDestroyProbe(probe);
    return result;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray randomBytes(int size)
{
    std::mt19937 generator(size);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(generator());
    return bytes;
}

// A copy of the DVD fixture's folder, to damage.
void copyDisc(const QString &target)
{
    QVERIFY(QDir(target).mkpath(QStringLiteral("VIDEO_TS")));
    for (const QString &name : QDir(fixture(QStringLiteral("dvd/VIDEO_TS"))).entryList(QDir::Files))
        QVERIFY(QFile::copy(fixture(QStringLiteral("dvd/VIDEO_TS/")) + name, target + QStringLiteral("/VIDEO_TS/") + name));
}

// Marks every PES sector of a VOB the way CSS marks the sectors it scrambles.
void markScrambled(const QString &vob)
{
    QFile file(vob);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    for (int sector = 0; sector + 2048 <= bytes.size(); sector += 2048) {
        if (bytes.mid(sector, 4) == QByteArray("\0\0\1\xba", 4) && bytes.mid(sector + 14, 3) == QByteArray("\0\0\1", 3)
            && uchar(bytes.at(sector + 17)) != 0xbb)
            bytes[sector + 0x14] = char(bytes.at(sector + 0x14) | 0x10);
    }
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

} // namespace

class TestMediaProbe : public QObject {
    Q_OBJECT

private slots:
    void filesMatchFfprobe_data();
    void filesMatchFfprobe();
    void movieTracksAndChapters();
    void mp3Tags();
    void transportStreamPrograms();
    void discs_data();
    void discs();
    void discLanguagesAndAspect();
    void scrambledTitlesAreLeftOut();
    void badInput_data();
    void badInput();
    void failedOpenForgetsPreviousMedium();
    void handlesAndRanges();
    void concurrentProbesMatchSequential();
    void streamLengthTags_data();
    void streamLengthTags();
};

void TestMediaProbe::filesMatchFfprobe_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"clip.mp4", "audio.mp3", "movie.mkv", "twoprog.ts", "anamorphic.mp4"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMediaProbe::filesMatchFfprobe()
{
    QFETCH(QString, name);
    const QString path = fixture(name);
    const QJsonObject reference = ffprobe(path);
    QVERIFY2(!reference.isEmpty(), "ffprobe gave no answer");
    const QJsonObject format = reference.value(QStringLiteral("format")).toObject();

    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(probe);
    QVERIFY(codecProbeOpenFile(probe, path.toUtf8().constData()));

    const qint64 frame = 40000;
    QVERIFY(qAbs(qint64(codecProbeGetDuration(probe)) - micros(format.value(QStringLiteral("duration")))) <= frame);
    QCOMPARE(text(codecProbeGetFormatName(probe)), format.value(QStringLiteral("format_name")).toString());
    const QJsonObject tags = format.value(QStringLiteral("tags")).toObject();
    for (auto it = tags.begin(); it != tags.end(); ++it)
        QCOMPARE(text(codecProbeGetTag(probe, it.key().toUtf8().constData())), it.value().toString());

    // A file without programs is one program of all its streams.
    QJsonArray programs = reference.value(QStringLiteral("programs")).toArray();
    if (programs.isEmpty())
        programs.append(QJsonObject{{QStringLiteral("streams"), reference.value(QStringLiteral("streams"))}});
    QCOMPARE(codecProbeGetProgramCount(probe), programs.size());

    for (int p = 0; p < programs.size(); ++p) {
        QVERIFY(codecProbeSelectProgram(probe, p));
        const QJsonObject program = programs.at(p).toObject();
        QCOMPARE(text(codecProbeGetProgramName(probe)),
                 program.value(QStringLiteral("tags")).toObject().value(QStringLiteral("service_name")).toString());
        QVERIFY(qAbs(qint64(codecProbeGetDuration(probe)) - micros(format.value(QStringLiteral("duration")))) <= frame);
        int video = 0, audio = 0, subtitles = 0;
        for (const QJsonValue &value : program.value(QStringLiteral("streams")).toArray()) {
            const QJsonObject stream = value.toObject();
            const QString type = stream.value(QStringLiteral("codec_type")).toString();
            const QJsonObject streamTags = stream.value(QStringLiteral("tags")).toObject();
            const QString codec = stream.value(QStringLiteral("codec_name")).toString();
            const QString language = streamTags.value(QStringLiteral("language")).toString();
            const QString title = streamTags.value(QStringLiteral("title")).toString();
            qint64 duration = stream.contains(QStringLiteral("duration")) ? micros(stream.value(QStringLiteral("duration"))) : -1;
            if (duration < 0 && streamTags.contains(QStringLiteral("DURATION"))) {
                const QStringList parts = streamTags.value(QStringLiteral("DURATION")).toString().split(QLatin1Char(':'));
                duration = qint64((parts.at(0).toInt() * 3600 + parts.at(1).toInt() * 60 + parts.at(2).toDouble()) * 1e6);
            }
            const qint64 bitRate = stream.value(QStringLiteral("bit_rate")).toString().toLongLong();
            if (type == QLatin1String("video")) {
                QVERIFY(codecProbeSelectVideoStream(probe, video++));
                QCOMPARE(text(codecProbeGetVideoCodec(probe)), codec);
                QCOMPARE(text(codecProbeGetVideoLanguage(probe)), language);
                QCOMPARE(text(codecProbeGetVideoTitle(probe)), title);
                QCOMPARE(codecProbeGetVideoWidth(probe), stream.value(QStringLiteral("width")).toInt());
                QCOMPARE(codecProbeGetVideoHeight(probe), stream.value(QStringLiteral("height")).toInt());
                QCOMPARE(QStringLiteral("%1:%2").arg(codecProbeGetVideoAspectNum(probe)).arg(codecProbeGetVideoAspectDen(probe)),
                         stream.value(QStringLiteral("display_aspect_ratio")).toString());
                QCOMPARE(QStringLiteral("%1/%2").arg(codecProbeGetVideoFrameRateNum(probe)).arg(codecProbeGetVideoFrameRateDen(probe)),
                         stream.value(QStringLiteral("avg_frame_rate")).toString());
                QCOMPARE(qint64(codecProbeGetVideoBitRate(probe)), bitRate);
                if (duration >= 0)
                    QVERIFY(qAbs(qint64(codecProbeGetVideoDuration(probe)) - duration) <= frame);
            } else if (type == QLatin1String("audio")) {
                QVERIFY(codecProbeSelectAudioStream(probe, audio++));
                QCOMPARE(text(codecProbeGetAudioCodec(probe)), codec);
                QCOMPARE(text(codecProbeGetAudioLanguage(probe)), language);
                QCOMPARE(text(codecProbeGetAudioTitle(probe)), title);
                QCOMPARE(codecProbeGetAudioSampleRate(probe), stream.value(QStringLiteral("sample_rate")).toString().toInt());
                QCOMPARE(codecProbeGetAudioChannels(probe), stream.value(QStringLiteral("channels")).toInt());
                QCOMPARE(codecProbeGetAudioBitDepth(probe), stream.value(QStringLiteral("bits_per_sample")).toInt());
                QCOMPARE(qint64(codecProbeGetAudioBitRate(probe)), bitRate);
                if (stream.value(QStringLiteral("channel_layout")).toString() == QLatin1String("mono"))
                    QCOMPARE(codecProbeGetAudioChannelLayout(probe), uint64_t(4));
                if (duration >= 0)
                    QVERIFY(qAbs(qint64(codecProbeGetAudioDuration(probe)) - duration) <= frame);
            } else if (type == QLatin1String("subtitle")) {
                QVERIFY(codecProbeSelectSubtitleStream(probe, subtitles++));
                QCOMPARE(text(codecProbeGetSubtitleCodec(probe)), codec);
                QCOMPARE(text(codecProbeGetSubtitleLanguage(probe)), language);
                QCOMPARE(text(codecProbeGetSubtitleTitle(probe)), title);
                if (duration >= 0)
                    QVERIFY(qAbs(qint64(codecProbeGetSubtitleDuration(probe)) - duration) <= frame);
            }
        }
        QCOMPARE(codecProbeGetVideoStreamCount(probe), video);
        QCOMPARE(codecProbeGetAudioStreamCount(probe), audio);
        QCOMPARE(codecProbeGetSubtitleStreamCount(probe), subtitles);
        QCOMPARE(codecProbeHasVideo(probe) != 0, video > 0);
        QCOMPARE(codecProbeHasAudio(probe) != 0, audio > 0);
    }
    codecCloseProbe(probe);
    codecDestroyProbe(probe);
}

void TestMediaProbe::movieTracksAndChapters()
{
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenFile(probe, fixture(QStringLiteral("movie.mkv")).toUtf8().constData()));
    QVERIFY(codecProbeSelectProgram(probe, 0));
    QCOMPARE(codecProbeGetAudioStreamCount(probe), 2);
    QVERIFY(codecProbeSelectAudioStream(probe, 1));
    QCOMPARE(text(codecProbeGetAudioLanguage(probe)), QStringLiteral("ger"));
    QCOMPARE(codecProbeGetSubtitleStreamCount(probe), 1);
    QCOMPARE(text(codecProbeGetSubtitleCodec(probe)), QStringLiteral("subrip"));
    QCOMPARE(text(codecProbeGetSubtitleTitle(probe)), QStringLiteral("English subs"));
    QCOMPARE(text(codecProbeGetSubtitleLanguage(probe)), QStringLiteral("eng"));

    QCOMPARE(codecProbeGetChapterCount(probe), 2);
    QCOMPARE(text(codecProbeGetChapterTitle(probe, 0)), QStringLiteral("Opening"));
    QCOMPARE(codecProbeGetChapterStart(probe, 0), uint64_t(0));
    QCOMPARE(codecProbeGetChapterDuration(probe, 0), uint64_t(2000000));
    QCOMPARE(text(codecProbeGetChapterTitle(probe, 1)), QStringLiteral("Ending"));
    QCOMPARE(codecProbeGetChapterStart(probe, 1), uint64_t(2000000));
    QCOMPARE(codecProbeGetChapterDuration(probe, 1), uint64_t(2000000));
    QVERIFY(!codecProbeGetChapterTitle(probe, 2));
    QCOMPARE(codecProbeGetChapterStart(probe, -1), uint64_t(0));
    codecDestroyProbe(probe);
}

void TestMediaProbe::mp3Tags()
{
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenFile(probe, fixture(QStringLiteral("audio.mp3")).toUtf8().constData()));
    // Several answers held at once: the prober reads all tags before it stores them.
    const char *title = codecProbeGetTag(probe, "title");
    const char *artist = codecProbeGetTag(probe, "artist");
    const char *album = codecProbeGetTag(probe, "album");
    const char *date = codecProbeGetTag(probe, "date");
    QCOMPARE(text(title), QStringLiteral("Test Tone"));
    QCOMPARE(text(artist), QStringLiteral("ZR Tests"));
    QCOMPARE(text(album), QStringLiteral("Fixtures"));
    QCOMPARE(text(date), QStringLiteral("2024"));
    QVERIFY(!codecProbeGetTag(probe, "composer"));
    QVERIFY(!codecProbeGetTag(probe, nullptr));
    QVERIFY(!codecProbeHasVideo(probe));
    QVERIFY(codecProbeHasAudio(probe));
    codecDestroyProbe(probe);
}

void TestMediaProbe::transportStreamPrograms()
{
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenFile(probe, fixture(QStringLiteral("twoprog.ts")).toUtf8().constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 2);
    const QStringList names{QStringLiteral("First"), QStringLiteral("Second")};
    const int widths[] = {320, 160};
    for (int p = 0; p < 2; ++p) {
        QVERIFY(codecProbeSelectProgram(probe, p));
        QCOMPARE(text(codecProbeGetProgramName(probe)), names.at(p));
        QCOMPARE(codecProbeGetVideoStreamCount(probe), 1);
        QCOMPARE(codecProbeGetAudioStreamCount(probe), 1);
        QCOMPARE(codecProbeGetVideoWidth(probe), widths[p]);
    }
    QVERIFY(!codecProbeSelectProgram(probe, 2));
    QCOMPARE(codecProbeGetVideoWidth(probe), 160);
    codecDestroyProbe(probe);
}

void TestMediaProbe::discs_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << fixture(QStringLiteral("dvd"));
    QTest::newRow("folder with slash") << fixture(QStringLiteral("dvd/"));
    QTest::newRow("VIDEO_TS folder") << fixture(QStringLiteral("dvd/VIDEO_TS"));
    QTest::newRow("iso") << fixture(QStringLiteral("dvd.iso"));
    // A byte of the first-play program chain, which plays no title, damaged in the IFO and its backup.
    static QTemporaryDir damaged;
    QVERIFY(damaged.isValid());
    copyDisc(damaged.path());
    for (const char *name : {"/VIDEO_TS/VIDEO_TS.IFO", "/VIDEO_TS/VIDEO_TS.BUP"}) {
        QFile ifo(damaged.path() + QLatin1String(name));
        QVERIFY(ifo.open(QIODevice::ReadWrite) && ifo.seek(0x4ee) && ifo.write("\xdb", 1) == 1);
    }
    QTest::newRow("folder with a damaged first-play chain") << damaged.path();
    for (const char *extension : {"img", "NRG", "bin"}) {
        const QString copy = QDir::tempPath() + QStringLiteral("/disc.") + QLatin1String(extension);
        QFile::remove(copy);
        QVERIFY(QFile::copy(fixture(QStringLiteral("dvd.iso")), copy));
        QTest::newRow(extension) << copy;
    }
}

void TestMediaProbe::discs()
{
    QFETCH(QString, path);
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenDisc(probe, path.toUtf8().constData()));
    // Two titles, then six entries that are not titles.
    QCOMPARE(codecProbeGetProgramCount(probe), 2 + 6);

    const QString vobs[] = {fixture(QStringLiteral("dvd/VIDEO_TS/VTS_01_1.VOB")), fixture(QStringLiteral("dvd/VIDEO_TS/VTS_02_1.VOB"))};
    const int chapters[] = {2, 1};
    qint64 total = 0;
    for (int t = 0; t < 2; ++t) {
        QVERIFY(codecProbeSelectProgram(probe, t));
        const qint64 duration = qint64(codecProbeGetDuration(probe));
        const qint64 reference = micros(ffprobe(vobs[t]).value(QStringLiteral("format")).toObject().value(QStringLiteral("duration")));
        QVERIFY2(qAbs(duration - reference) <= 40000, qPrintable(QStringLiteral("%1 against %2").arg(duration).arg(reference)));
        total += duration;
        QCOMPARE(codecProbeGetChapterCount(probe), chapters[t]);
        QCOMPARE(codecProbeGetChapterStart(probe, 0), uint64_t(0));
        uint64_t chapterSum = 0;
        for (int c = 0; c < chapters[t]; ++c)
            chapterSum += codecProbeGetChapterDuration(probe, c);
        QCOMPARE(qint64(chapterSum), duration);
        QVERIFY(codecProbeHasVideo(probe));
        QVERIFY(codecProbeHasAudio(probe));
        QCOMPARE(text(codecProbeGetVideoCodec(probe)), QStringLiteral("mpeg2video"));
        QCOMPARE(codecProbeGetVideoWidth(probe), 720);
        QCOMPARE(codecProbeGetVideoHeight(probe), 576);
        QCOMPARE(codecProbeGetVideoFrameRateNum(probe), 25);
        QCOMPARE(codecProbeGetVideoFrameRateDen(probe), 1);
        QCOMPARE(text(codecProbeGetAudioCodec(probe)), QStringLiteral("ac3"));
        QCOMPARE(codecProbeGetAudioSampleRate(probe), 48000);
        QCOMPARE(codecProbeGetAudioChannels(probe), 1);
        QCOMPARE(codecProbeGetSubtitleStreamCount(probe), 0);
    }
    // The second chapter of title 1 starts at the cell nearest 2 s.
    QVERIFY(codecProbeSelectProgram(probe, 0));
    QVERIFY(qAbs(qint64(codecProbeGetChapterStart(probe, 1)) - 2000000) <= 600000);
    for (int entry = 2; entry < 8; ++entry) {
        QVERIFY(codecProbeSelectProgram(probe, entry));
        QVERIFY(!codecProbeHasVideo(probe));
        QVERIFY(!codecProbeHasAudio(probe));
        QCOMPARE(codecProbeGetDuration(probe), uint64_t(0));
    }
    codecDestroyProbe(probe);

    // Before a program is chosen the duration is the whole disc's.
    const uint64_t fresh = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenDisc(fresh, path.toUtf8().constData()));
    QCOMPARE(qint64(codecProbeGetDuration(fresh)), total);
    codecDestroyProbe(fresh);

    // A folder and its image describe the same disc.
    QCOMPARE(probeDescription(path, true), probeDescription(fixture(QStringLiteral("dvd")), true));
}

void TestMediaProbe::discLanguagesAndAspect()
{
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenDisc(probe, fixture(QStringLiteral("dvdlang")).toUtf8().constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 1 + 6);
    QVERIFY(codecProbeSelectProgram(probe, 0));
    QCOMPARE(codecProbeGetVideoAspectNum(probe), 16);
    QCOMPARE(codecProbeGetVideoAspectDen(probe), 9);
    QCOMPARE(codecProbeGetAudioStreamCount(probe), 1);
    QCOMPARE(text(codecProbeGetAudioLanguage(probe)), QStringLiteral("en"));
    QCOMPARE(codecProbeGetSubtitleStreamCount(probe), 1);
    QCOMPARE(text(codecProbeGetSubtitleLanguage(probe)), QStringLiteral("de"));
    QCOMPARE(text(codecProbeGetSubtitleCodec(probe)), QStringLiteral("dvd_subtitle"));
    codecDestroyProbe(probe);

    // The first disc declares 4:3 and no languages.
    const uint64_t plain = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenDisc(plain, fixture(QStringLiteral("dvd")).toUtf8().constData()));
    QCOMPARE(codecProbeGetVideoAspectNum(plain), 4);
    QCOMPARE(codecProbeGetVideoAspectDen(plain), 3);
    QVERIFY(!codecProbeGetAudioLanguage(plain));
    codecDestroyProbe(plain);
}

void TestMediaProbe::scrambledTitlesAreLeftOut()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    copyDisc(folder.path());
    const QByteArray path = folder.path().toUtf8();

    markScrambled(folder.path() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB"));
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenDisc(probe, path.constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 1 + 6);
    QVERIFY(codecProbeSelectProgram(probe, 0));
    QVERIFY(qAbs(qint64(codecProbeGetDuration(probe)) - 2000000) <= 40000);

    // With every title scrambled there is nothing this library can play.
    markScrambled(folder.path() + QStringLiteral("/VIDEO_TS/VTS_02_1.VOB"));
    QVERIFY(!codecProbeOpenDisc(probe, path.constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 0);
    codecDestroyProbe(probe);
}

void TestMediaProbe::badInput_data()
{
    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString base = folder.path();
    QFile iso(fixture(QStringLiteral("dvd.iso")));
    QVERIFY(iso.open(QIODevice::ReadOnly));
    const QByteArray image = iso.readAll();

    QDir(base).mkpath(QStringLiteral("plain/sub"));
    QDir(base).mkpath(QStringLiteral("noifo/VIDEO_TS"));
    writeFile(base + QStringLiteral("/noifo/VIDEO_TS/VTS_01_1.VOB"), randomBytes(4096));
    QDir(base).mkpath(QStringLiteral("badifo/VIDEO_TS"));
    writeFile(base + QStringLiteral("/badifo/VIDEO_TS/VIDEO_TS.IFO"), randomBytes(6144));
    QDir(base).mkpath(QStringLiteral("novob/VIDEO_TS"));
    for (const QString &name : QDir(fixture(QStringLiteral("dvd/VIDEO_TS"))).entryList({QStringLiteral("*.IFO")}))
        QVERIFY(QFile::copy(fixture(QStringLiteral("dvd/VIDEO_TS/")) + name, base + QStringLiteral("/novob/VIDEO_TS/") + name));
    writeFile(base + QStringLiteral("/random.iso"), randomBytes(1 << 20));
    QByteArray fake = randomBytes(1 << 20);
    fake.replace(16 * 2048 + 1, 5, "CD001");
    writeFile(base + QStringLiteral("/fake.iso"), fake);
    writeFile(base + QStringLiteral("/half.iso"), image.left(image.size() / 2));
    // The UDF entry of VIDEO_TS.IFO claiming 65280 bytes of implementation use: libdvdread reads past its buffer.
    QByteArray udf = image;
    const int entry = udf.indexOf(QByteArray("\x08VIDEO_TS.IFO"), 256 * 2048);
    QVERIFY(entry > 0);
    udf[entry - 1] = char(0xff);
    writeFile(base + QStringLiteral("/udf.iso"), udf);
    writeFile(base + QStringLiteral("/head.iso"), image.left(40 * 1024));
    writeFile(base + QStringLiteral("/empty.iso"), QByteArray());
    writeFile(base + QStringLiteral("/locked.iso"), image);
    QFile::setPermissions(base + QStringLiteral("/locked.iso"), QFileDevice::Permissions());
    QVERIFY(mkfifo(QFile::encodeName(base + QStringLiteral("/pipe.mp4")).constData(), 0600) == 0);

    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("asDisc");
    QTest::addColumn<bool>("asFile");
    QTest::newRow("truncated mp4") << fixture(QStringLiteral("truncated.mp4")) << true << true;
    QTest::newRow("empty mp4") << fixture(QStringLiteral("empty.mp4")) << true << true;
    QTest::newRow("text as mp4") << fixture(QStringLiteral("notvideo.mp4")) << true << true;
    QTest::newRow("missing file") << base + QStringLiteral("/missing.mp4") << true << true;
    QTest::newRow("empty path") << QString() << true << true;
    QTest::newRow("folder without VIDEO_TS") << base + QStringLiteral("/plain") << true << true;
    QTest::newRow("VIDEO_TS without IFO") << base + QStringLiteral("/noifo") << true << true;
    QTest::newRow("IFO of random bytes") << base + QStringLiteral("/badifo") << true << true;
    QTest::newRow("IFO without VOB") << base + QStringLiteral("/novob") << true << true;
    QTest::newRow("iso of random bytes") << base + QStringLiteral("/random.iso") << true << true;
    QTest::newRow("random bytes with an ISO header") << base + QStringLiteral("/fake.iso") << true << true;
    QTest::newRow("iso cut in half") << base + QStringLiteral("/half.iso") << true << false;
    QTest::newRow("iso with a damaged UDF entry") << base + QStringLiteral("/udf.iso") << true << false;
    QTest::newRow("iso cut after its descriptors") << base + QStringLiteral("/head.iso") << true << false;
    QTest::newRow("named pipe, which nobody writes") << base + QStringLiteral("/pipe.mp4") << true << true;
    QTest::newRow("zero-byte iso") << base + QStringLiteral("/empty.iso") << true << true;
    // Root reads it anyway: then it opens like any good image, which is fine.
    if (geteuid() != 0)
        QTest::newRow("unreadable iso") << base + QStringLiteral("/locked.iso") << true << true;
}

void TestMediaProbe::badInput()
{
    QFETCH(QString, path);
    QFETCH(bool, asDisc);
    QFETCH(bool, asFile);
    const QByteArray utf8 = path.toUtf8();
    const uint64_t probe = codecCreateProbe(-1);
    if (asDisc)
        QVERIFY(!codecProbeOpenDisc(probe, utf8.constData()));
    if (asFile)
        QVERIFY(!codecProbeOpenFile(probe, utf8.constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 0);
    QCOMPARE(codecProbeGetDuration(probe), uint64_t(0));
    QVERIFY(!codecProbeGetFormatName(probe));
    QVERIFY(!codecProbeHasVideo(probe));
    QVERIFY(!codecProbeSelectProgram(probe, 0));
    QCOMPARE(codecProbeGetVideoWidth(probe), 0);
    QVERIFY(!codecProbeGetAudioCodec(probe));
    QCOMPARE(codecProbeGetChapterCount(probe), 0);
    codecCloseProbe(probe);
    codecDestroyProbe(probe);
}

void TestMediaProbe::failedOpenForgetsPreviousMedium()
{
    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenFile(probe, fixture(QStringLiteral("movie.mkv")).toUtf8().constData()));
    QVERIFY(!codecProbeOpenFile(probe, fixture(QStringLiteral("notvideo.mp4")).toUtf8().constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 0);
    QVERIFY(!codecProbeGetTag(probe, "title"));
    // A handle is reused from one medium to the next without a close in between.
    QVERIFY(codecProbeOpenDisc(probe, fixture(QStringLiteral("dvd.iso")).toUtf8().constData()));
    QVERIFY(codecProbeOpenFile(probe, fixture(QStringLiteral("clip.mp4")).toUtf8().constData()));
    QCOMPARE(codecProbeGetProgramCount(probe), 1);
    codecCloseProbe(probe);
    QCOMPARE(codecProbeGetProgramCount(probe), 0);
    codecDestroyProbe(probe);
}

void TestMediaProbe::handlesAndRanges()
{
    const uint64_t first = codecCreateProbe(-1);
    const uint64_t second = codecCreateProbe(-1);
    QVERIFY(first && second && first != second);
    QVERIFY(codecProbeOpenFile(first, fixture(QStringLiteral("clip.mp4")).toUtf8().constData()));
    QVERIFY(codecProbeOpenFile(second, fixture(QStringLiteral("audio.mp3")).toUtf8().constData()));
    QVERIFY(codecProbeHasVideo(first));
    QVERIFY(!codecProbeHasVideo(second));

    QVERIFY(!codecProbeSelectProgram(first, -1));
    QVERIFY(!codecProbeSelectVideoStream(first, 1));
    QVERIFY(!codecProbeSelectAudioStream(first, -1));
    QVERIFY(!codecProbeSelectSubtitleStream(first, 0));
    QVERIFY(!codecProbeGetSubtitleCodec(first));
    QCOMPARE(codecProbeGetVideoWidth(first), 320);

    codecDestroyProbe(first);
    QVERIFY(!codecProbeOpenFile(first, fixture(QStringLiteral("clip.mp4")).toUtf8().constData()));
    QCOMPARE(codecProbeGetDuration(first), uint64_t(0));
    QVERIFY(codecProbeHasAudio(second));
    codecDestroyProbe(first);
    codecDestroyProbe(second);
    for (const uint64_t handle : {uint64_t(0), second, ~uint64_t(0)}) {
        QCOMPARE(codecProbeGetProgramCount(handle), 0);
        QVERIFY(!codecProbeGetFormatName(handle));
        QVERIFY(!codecProbeGetChapterTitle(handle, 0));
        codecCloseProbe(handle);
    }
}

void TestMediaProbe::concurrentProbesMatchSequential()
{
    const QList<QPair<QString, bool>> media{{fixture(QStringLiteral("clip.mp4")), false},
                                            {fixture(QStringLiteral("movie.mkv")), false},
                                            {fixture(QStringLiteral("twoprog.ts")), false},
                                            {fixture(QStringLiteral("dvd.iso")), true}};
    QStringList sequential;
    for (const auto &item : media)
        sequential << probeDescription(item.first, item.second);

    // A player plays the disc all along, as the engine's does while loading threads probe.
    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(codecOpenDisc(player, fixture(QStringLiteral("dvd.iso")).toUtf8().constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecSelectProgram(player, 0));
    QVERIFY(codecPlay(player));
    for (int round = 0; round < 5; ++round) {
        codecPlayerTick(player);
        QStringList parallel;
        for (int i = 0; i < media.size(); ++i)
            parallel << QString();
        std::vector<std::thread> threads;
        for (int i = 0; i < media.size(); ++i)
            threads.emplace_back([&parallel, &media, i] { parallel[i] = probeDescription(media.at(i).first, media.at(i).second); });
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(parallel, sequential);
    }
    QVERIFY(codecIsPlaying(player) || codecIsEndReached(player));
    codecClosePlayer(player);
    codecDestroyPlayer(player);
}

void TestMediaProbe::streamLengthTags_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<quint64>("duration");

    // Matroska gives stream lengths only as DURATION tags; those of movie.mkv are rewritten in place, in
    // eighteen characters as the file holds them.
    QTest::newRow("two and a half seconds") << QByteArray("00:00:02.500000000") << quint64(2500000);
    QTest::newRow("negative") << QByteArray("-5:00:00.000000000") << quint64(0);
    QTest::newRow("out of any range") << QByteArray("00:00:00000001e300") << quint64(0);
    QTest::newRow("a million years") << QByteArray("9999999999:00:00.0") << quint64(0);
    QTest::newRow("no number") << QByteArray("00:00:nan000000000") << quint64(0);
    QTest::newRow("minutes past sixty") << QByteArray("00:75:00.000000000") << quint64(0);
}

void TestMediaProbe::streamLengthTags()
{
    QFETCH(QByteArray, tag);
    QFETCH(quint64, duration);

    QFile source(fixture(QStringLiteral("movie.mkv")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray bytes = source.readAll();
    const QRegularExpression length(QStringLiteral("\\d\\d:\\d\\d:\\d\\d\\.\\d{9}"));
    int tags = 0;
    const QString latin1 = QString::fromLatin1(bytes.constData(), bytes.size());
    for (QRegularExpressionMatchIterator it = length.globalMatch(latin1); it.hasNext(); ++tags)
        bytes.replace(it.next().capturedStart(), tag.size(), tag);
    QCOMPARE(tags, 4);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tagged.mkv"));
    writeFile(path, bytes);

    const uint64_t probe = codecCreateProbe(-1);
    QVERIFY(codecProbeOpenFile(probe, path.toUtf8().constData()));
    QCOMPARE(codecProbeGetVideoDuration(probe), uint64_t(duration));
    for (int i = 0; i < 2; ++i) {
        QVERIFY(codecProbeSelectAudioStream(probe, i));
        QCOMPARE(codecProbeGetAudioDuration(probe), uint64_t(duration));
    }
    // The medium's own length is its segment's.
    QVERIFY(qAbs(qint64(codecProbeGetDuration(probe)) - 4000000) <= 100000);
    codecDestroyProbe(probe);
}

QTEST_GUILESS_MAIN(TestMediaProbe)
#include "tst_mediaprobe.moc"
