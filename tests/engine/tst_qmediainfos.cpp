#include "engine/qmediainfos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QString fixture(const QString &name)
{
    return kFixtures + QLatin1Char('/') + name;
}

PlayItemInfo itemFor(const QString &path, bool disc)
{
    PlayItemInfo item;
    item.path = path;
    item.File_isDVD = disc;
    return item;
}

// Probes the path as the player window does and hands back the item with its new duration.
PlayItemInfo probe(QMediaInfos &infos, const QString &path, bool disc = false)
{
    PlayItemInfo item = itemFor(path, disc);
    infos.setMediaInfo(&item);
    return item;
}

QStringList subtitleLabels(const ProgramInfo *program)
{
    QStringList labels;
    for (const SubtitleStreamInfo &choice : program->m_subtitleList)
        labels << choice.m_label;
    return labels;
}

bool writeFile(const QString &path, const QByteArray &bytes = QByteArray("1\n00:00:00,000 --> 00:00:01,000\nHi\n"))
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const qint64 kFrame = 50000;

}

class tst_QMediaInfos : public QObject
{
    Q_OBJECT

private slots:
    void plainFile();
    void movieTracksSubtitlesAndChapters();
    void languageCodesInOddForms();
    void languageTable_data();
    void languageTable();
    void externalSubtitles_data();
    void externalSubtitles();
    void transportStreamPrograms();
    void programIndexOutOfRange_data();
    void programIndexOutOfRange();
    void discTitles_data();
    void discTitles();
    void tagsAndClearing();
    void refusedOpenKeepsThePreviousDescription();
};

void tst_QMediaInfos::plainFile()
{
    QMediaInfos infos;
    PlayItemInfo item = itemFor(fixture(QStringLiteral("clip.mp4")), false);
    item.Duration_ = 123;
    infos.setMediaInfo(&item);

    QCOMPARE(infos.m_mediaPath, item.path);
    QVERIFY(!infos.m_isDisc);
    QVERIFY(qAbs(qint64(infos.m_mediaDuration) - 2000000) <= kFrame);
    QCOMPARE(item.Duration_, infos.m_mediaDuration);
    QCOMPARE(infos.m_fileSize, QFileInfo(item.path).size());
    QVERIFY(infos.m_formatName.contains(QLatin1String("mp4")));
    QCOMPARE(infos.m_programCount, 1);
    QCOMPARE(infos.m_programNames, QStringList{QStringLiteral("Program 1")});
    QVERIFY(infos.m_currentProgram == infos.m_programList.value(0));

    const ProgramInfo *program = infos.m_currentProgram;
    QCOMPARE(program->m_type, int(MediaType_Video));
    QCOMPARE(program->m_end, program->m_start + program->m_duration);
    QCOMPARE(infos.m_programsDuration, program->m_duration);
    QCOMPARE(program->m_videoList.size(), 1);
    const StreamInfo &video = program->m_videoList.at(0);
    // MP4 streams carry "und".
    QCOMPARE(video.m_label, QStringLiteral("h264 (Undefined)"));
    QCOMPARE(video.m_language, QStringLiteral("Undefined"));
    QCOMPARE(video.m_videoWidth, 320);
    QCOMPARE(video.m_videoHeight, 240);
    QCOMPARE(double(video.m_frameRateNum) / video.m_frameRateDen, 25.0);
    QCOMPARE(program->m_audioList.size(), 1);
    QCOMPARE(program->m_audioList.at(0).m_sampleRate, 44100);
    QCOMPARE(subtitleLabels(program), (QStringList{QStringLiteral("Disable"), QStringLiteral("Video Internal CC")}));
    QCOMPARE(program->m_subtitleList.at(1).m_index, 0);
    QVERIFY(program->m_chapterList.isEmpty());

    QList<SubltItemInfo> subtitles;
    QList<QString> audioNames;
    SubtitleValue_Info selection;
    selection.m_embeddedCount = 7;
    infos.getSubltListOrAudioList(subtitles, audioNames, selection);
    QCOMPARE(subtitles.size(), 2);
    QCOMPARE(subtitles.at(1).m_text, std::string("Video Internal CC"));
    QVERIFY(subtitles.at(1).m_itemData.empty());
    QCOMPARE(audioNames, QList<QString>{QStringLiteral("aac (Undefined)")});
    QCOMPARE(selection.m_embeddedCount, 0);
}

void tst_QMediaInfos::movieTracksSubtitlesAndChapters()
{
    QMediaInfos infos;
    probe(infos, fixture(QStringLiteral("movie.mkv")));
    QVERIFY(infos.m_currentProgram);
    const ProgramInfo *program = infos.m_currentProgram;

    // No language code: the codec name and one blank.
    QCOMPARE(program->m_videoList.at(0).m_label, QStringLiteral("h264 "));
    QVERIFY(program->m_videoList.at(0).m_language.isEmpty());
    QCOMPARE(program->m_audioList.size(), 2);
    QCOMPARE(program->m_audioList.at(0).m_label, QStringLiteral("aac (English)"));
    QCOMPARE(program->m_audioList.at(1).m_label, QStringLiteral("aac (German)"));
    QCOMPARE(program->m_audioList.at(1).m_language, QStringLiteral("German"));
    QCOMPARE(program->m_audioList.at(1).m_index, 1);

    QCOMPARE(program->m_subtitleCount, 1);
    QCOMPARE(subtitleLabels(program), (QStringList{QStringLiteral("Disable"), QStringLiteral("English (English subs)[subrip]"),
                                                   QStringLiteral("Video Internal CC")}));
    const SubtitleStreamInfo &embedded = program->m_subtitleList.at(1);
    QCOMPARE(embedded.m_kind, QStringLiteral("内嵌"));
    QCOMPARE(embedded.m_index, 0);
    QCOMPARE(embedded.m_title, QStringLiteral("English subs"));
    QCOMPARE(embedded.m_codecName, QStringLiteral("subrip"));
    QCOMPARE(embedded.m_language, QStringLiteral("English"));
    QCOMPARE(program->m_subtitleList.at(2).m_index, 1);
    QCOMPARE(program->m_subtitleList.at(0).m_index, -1);

    QCOMPARE(program->m_chapterTexts, (QStringList{QStringLiteral("Opening 00:00:00 - 00:00:02"),
                                                   QStringLiteral("Ending 00:00:02 - 00:00:04")}));
    QCOMPARE(program->m_chapterList.size(), 2);
    const ChapterInfo &ending = program->m_chapterList.at(1);
    QCOMPARE(ending.m_index, 2);
    QCOMPARE(ending.m_title, QStringLiteral("Ending"));
    QCOMPARE(ending.m_start, 2000000ULL);
    QCOMPARE(ending.m_end, 4000000ULL);

    // The lists are appended to, not replaced.
    QList<SubltItemInfo> subtitles{SubltItemInfo{"kept", ""}};
    QList<QString> audioNames{QStringLiteral("kept")};
    SubtitleValue_Info selection;
    infos.getSubltListOrAudioList(subtitles, audioNames, selection);
    QCOMPARE(subtitles.size(), 4);
    QCOMPARE(subtitles.at(2).m_text, std::string("English (English subs)[subrip]"));
    QCOMPARE(audioNames, (QList<QString>{QStringLiteral("kept"), QStringLiteral("aac (English)"), QStringLiteral("aac (German)")}));
    QCOMPARE(selection.m_embeddedCount, 1);
}

void tst_QMediaInfos::languageCodesInOddForms()
{
    // Video "ENG", audio "xx", subtitles "UND".
    QMediaInfos infos;
    probe(infos, fixture(QStringLiteral("languages.mkv")));
    QVERIFY(infos.m_currentProgram);
    const ProgramInfo *program = infos.m_currentProgram;
    QCOMPARE(program->m_videoList.at(0).m_label, QStringLiteral("h264 (English)"));
    QCOMPARE(program->m_videoList.at(0).m_language, QStringLiteral("English"));
    QCOMPARE(program->m_audioList.at(0).m_label, QStringLiteral("aac (xx)"));
    QCOMPARE(program->m_audioList.at(0).m_language, QStringLiteral("xx"));
    QCOMPARE(program->m_subtitleList.at(1).m_label, QStringLiteral("Undefined [subrip]"));
}

void tst_QMediaInfos::languageTable_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("639-1") << "de" << "German";
    QTest::newRow("639-1 capitals") << "EN" << "English";
    QTest::newRow("639-2/T") << "deu" << "German";
    QTest::newRow("639-2/B") << "ger" << "German";
    QTest::newRow("Greek T column") << "gre" << "Greek, Modern ()";
    QTest::newRow("Greek B column") << "ell" << "Greek, Modern ()";
    QTest::newRow("one name with a semicolon") << "nya" << "Chichewa; Nyanja";
    QTest::newRow("on screen display") << "od" << "On Screen Display";
    QTest::newRow("original audio") << "qaa" << "Original audio";
    QTest::newRow("undefined") << "Und" << "Undefined";
    QTest::newRow("last row") << "zul" << "Zulu";
    QTest::newRow("unknown pair") << "xx" << "";
    QTest::newRow("row without a 639-1 code") << "qa" << "";
    QTest::newRow("longer text") << "english" << "";
    QTest::newRow("one letter") << "e" << "";
    QTest::newRow("empty") << "" << "";
}

void tst_QMediaInfos::languageTable()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(QMediaInfos::languageName(code), name);
}

void tst_QMediaInfos::externalSubtitles_data()
{
    QTest::addColumn<QString>("media");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("paths");

    QTest::newRow("extension order, not creation order")
        << "movie.mkv" << QStringList{"movie.idx", "movie.srt", "movie.mkv.srt", "other.srt"}
        << QStringList{"(movie)[SRT]", "(movie)[VOBSUB]"} << QStringList{"movie.srt", "movie.idx"};
    QTest::newRow("every extension")
        << "movie.mkv"
        << QStringList{"movie.lrc", "movie.vtt", "movie.sup", "movie.sami", "movie.smi", "movie.sub", "movie.idx",
                       "movie.srt", "movie.ssa", "movie.ass"}
        << QStringList{"(movie)[ASS]", "(movie)[SSA]", "(movie)[SRT]", "(movie)[VOBSUB]", "(movie)[SUB]",
                       "(movie)[SMI]", "(movie)[SAMI]", "(movie)[SUP]", "(movie)[WEBVTT]", "(movie)[LRC]"}
        << QStringList{"movie.ass", "movie.ssa", "movie.srt", "movie.idx", "movie.sub", "movie.smi", "movie.sami",
                       "movie.sup", "movie.vtt", "movie.lrc"};
    QTest::newRow("label cut at the first dot")
        << "my.movie.mkv" << QStringList{"my.movie.srt", "my.srt"} << QStringList{"(my)[SRT]"}
        << QStringList{"my.movie.srt"};
    // The stem never reaches into a folder name.
    QTest::newRow("name without extension in a dotted folder")
        << "season.2/movie" << QStringList{"season.2/movie.srt", "season.srt"} << QStringList{"(movie)[SRT]"}
        << QStringList{"season.2/movie.srt"};
    QTest::newRow("a folder is no subtitle file")
        << "movie.mkv" << QStringList{"movie.ass/"} << QStringList{} << QStringList{};
    QTest::newRow("case matters") << "movie.mkv" << QStringList{"movie.SRT"} << QStringList{} << QStringList{};
}

void tst_QMediaInfos::externalSubtitles()
{
    QFETCH(QString, media);
    QFETCH(QStringList, files);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, paths);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString mediaPath = dir.filePath(media);
    QVERIFY(QDir().mkpath(QFileInfo(mediaPath).absolutePath()));
    QVERIFY(QFile::copy(fixture(QStringLiteral("movie.mkv")), mediaPath));
    for (const QString &file : files) {
        if (file.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(dir.filePath(file)));
        else
            QVERIFY(writeFile(dir.filePath(file)));
    }

    QMediaInfos infos;
    probe(infos, mediaPath);
    QVERIFY(infos.m_currentProgram);
    const QList<SubtitleStreamInfo> &list = infos.m_currentProgram->m_subtitleList;
    QCOMPARE(list.size(), 3 + labels.size());
    QCOMPARE(list.at(2).m_label, QStringLiteral("Video Internal CC"));

    QList<SubltItemInfo> subtitles;
    QList<QString> audioNames;
    SubtitleValue_Info selection;
    infos.getSubltListOrAudioList(subtitles, audioNames, selection);
    for (int i = 0; i < labels.size(); ++i) {
        const SubtitleStreamInfo &external = list.at(3 + i);
        QCOMPARE(external.m_label, labels.at(i));
        QCOMPARE(external.m_kind, QStringLiteral("外接"));
        QCOMPARE(external.m_index, -2);
        QCOMPARE(external.m_filePath, dir.filePath(paths.at(i)));
        QCOMPARE(QString::fromStdString(subtitles.at(3 + i).m_itemData), dir.filePath(paths.at(i)));
    }
}

void tst_QMediaInfos::transportStreamPrograms()
{
    QMediaInfos infos;
    probe(infos, fixture(QStringLiteral("twoprog.ts")));
    QCOMPARE(infos.m_programCount, 2);
    QCOMPARE(infos.m_programNames, (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
    const ProgramInfo *first = infos.m_programList.at(0);
    const ProgramInfo *second = infos.m_programList.at(1);
    QCOMPARE(first->m_start, 0ULL);
    QVERIFY(first->m_duration > 1500000);
    QCOMPARE(first->m_end, first->m_duration);
    QCOMPARE(second->m_start, first->m_end);
    QCOMPARE(second->m_end, second->m_start + second->m_duration);
    QCOMPARE(infos.m_programsDuration, second->m_end);
    QCOMPARE(first->m_videoList.at(0).m_videoWidth, 320);
    QCOMPARE(second->m_videoList.at(0).m_videoWidth, 160);
    QCOMPARE(second->m_audioList.at(0).m_codecName, QStringLiteral("mp2"));
    QCOMPARE(second->m_index, 1);
    QVERIFY(infos.m_currentProgram == first);

    QVERIFY(infos.getProgramInfoFromTime(0) == first);
    QVERIFY(infos.getProgramInfoFromTime(first->m_end) == first);
    QVERIFY(infos.getProgramInfoFromTime(first->m_end + 1) == second);
    QVERIFY(infos.getProgramInfoFromTime(second->m_end) == second);
    QVERIFY(infos.getProgramInfoFromTime(second->m_end + 1) == second);
    QVERIFY(infos.getProgramInfoFromTime(~0ULL) == second);

    infos.setProgramIndex(1);
    QCOMPARE(infos.m_currentIndex, 1);
    QVERIFY(infos.m_currentProgram == second);
    QVERIFY(infos.m_mediaDuration > 1500000);
    QCOMPARE(infos.m_programList.size(), 2);
    QList<SubltItemInfo> subtitles;
    QList<QString> audioNames;
    SubtitleValue_Info selection;
    infos.getSubltListOrAudioList(subtitles, audioNames, selection);
    QCOMPARE(audioNames, QList<QString>{QStringLiteral("mp2 ")});
}

void tst_QMediaInfos::programIndexOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("count") << 2;
    QTest::newRow("far") << 1000;
}

void tst_QMediaInfos::programIndexOutOfRange()
{
    QFETCH(int, index);
    QMediaInfos infos;
    probe(infos, fixture(QStringLiteral("twoprog.ts")));
    infos.setProgramIndex(1);
    const unsigned long long duration = infos.m_mediaDuration;
    ProgramInfo *current = infos.m_currentProgram;

    infos.setProgramIndex(index);
    QCOMPARE(infos.m_currentIndex, 1);
    QVERIFY(infos.m_currentProgram == current);
    QCOMPARE(infos.m_mediaDuration, duration);
    QCOMPARE(infos.m_formatName, QStringLiteral("mpegts"));
}

void tst_QMediaInfos::discTitles_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << fixture(QStringLiteral("dvd"));
    QTest::newRow("folder with slash") << fixture(QStringLiteral("dvd/"));
    QTest::newRow("image") << fixture(QStringLiteral("dvd.iso"));
}

void tst_QMediaInfos::discTitles()
{
    QFETCH(QString, path);
    QMediaInfos infos;
    const PlayItemInfo item = probe(infos, path, true);

    QVERIFY(infos.m_isDisc);
    QCOMPARE(infos.m_formatName, QStringLiteral("dvd"));
    QCOMPARE(infos.m_programCount, 2);
    QCOMPARE(infos.m_programNames, (QStringList{QStringLiteral("Title 1"), QStringLiteral("Title 2")}));
    const ProgramInfo *first = infos.m_programList.at(0);
    const ProgramInfo *second = infos.m_programList.at(1);
    QVERIFY(qAbs(qint64(first->m_duration) - 4000000) <= kFrame);
    QVERIFY(qAbs(qint64(second->m_duration) - 2000000) <= kFrame);
    QCOMPARE(second->m_start, first->m_end);
    QCOMPARE(infos.m_programsDuration, first->m_duration + second->m_duration);
    // Unopened, the disc reports its whole length.
    QCOMPARE(item.Duration_, infos.m_programsDuration);

    QCOMPARE(first->m_videoList.at(0).m_label, QStringLiteral("mpeg2video "));
    QCOMPARE(second->m_videoList.at(0).m_duration, second->m_duration);
    QCOMPARE(first->m_audioList.at(0).m_codecName, QStringLiteral("ac3"));
    QCOMPARE(subtitleLabels(first), (QStringList{QStringLiteral("Disable"), QStringLiteral("Video Internal CC")}));

    // Chapters sit on the whole disc's time line; untitled ones take their number.
    QCOMPARE(first->m_chapterList.size(), 2);
    QCOMPARE(first->m_chapterList.at(1).m_title, QStringLiteral("2"));
    QCOMPARE(second->m_chapterList.size(), 1);
    const ChapterInfo &chapter = second->m_chapterList.at(0);
    QCOMPARE(chapter.m_start, second->m_start);
    QCOMPARE(chapter.m_end, chapter.m_start + chapter.m_duration);
    QCOMPARE(chapter.m_text, QStringLiteral("1 00:00:04 - 00:00:06"));

    QVERIFY(infos.getProgramInfoFromTime(infos.m_programsDuration + 1000000) == second);
    infos.setProgramIndex(1);
    QCOMPARE(infos.m_mediaDuration, second->m_duration);
}

void tst_QMediaInfos::tagsAndClearing()
{
    QMediaInfos infos;
    probe(infos, fixture(QStringLiteral("audio.mp3")));
    QCOMPARE(infos.m_tagInfo.title, std::string("Test Tone"));
    QCOMPARE(infos.m_tagInfo.artist, std::string("ZR Tests"));
    QCOMPARE(infos.m_tagInfo.album, std::string("Fixtures"));
    QCOMPARE(infos.m_tagInfo.date, std::string("2024"));
    QVERIFY(infos.m_tagInfo.composer.empty());
    QCOMPARE(infos.m_currentProgram->m_type, int(MediaType_Audio));
    QVERIFY(infos.m_currentProgram->m_videoList.isEmpty());
    QCOMPARE(infos.m_currentProgram->m_audioList.at(0).m_label, QStringLiteral("mp3 "));

    // Tags stay with the medium across a program change.
    infos.setProgramIndex(0);
    QCOMPARE(infos.m_tagInfo.title, std::string("Test Tone"));

    infos.clearData();
    QVERIFY(infos.m_mediaPath.isEmpty() && infos.m_formatName.isEmpty());
    QVERIFY(infos.m_programList.isEmpty() && infos.m_programNames.isEmpty());
    QVERIFY(!infos.m_currentProgram);
    QCOMPARE(infos.m_programCount, 0);
    QCOMPARE(infos.m_mediaDuration + infos.m_programsDuration, 0ULL);
    QCOMPARE(infos.m_fileSize, int64_t(0));
    QVERIFY(infos.m_tagInfo.title.empty() && infos.m_tagInfo.date.empty());
    QVERIFY(!infos.getProgramInfoFromTime(0));
    QList<SubltItemInfo> subtitles;
    QList<QString> audioNames;
    SubtitleValue_Info selection;
    selection.m_embeddedCount = 5;
    infos.getSubltListOrAudioList(subtitles, audioNames, selection);
    QVERIFY(subtitles.isEmpty() && audioNames.isEmpty());
    QCOMPARE(selection.m_embeddedCount, 5);

    // The handle survives the clearing and serves the next medium.
    infos.setMediaInfo(fixture(QStringLiteral("clip.mp4")));
    QCOMPARE(infos.m_programCount, 1);
    QVERIFY(infos.m_tagInfo.title.empty());
}

void tst_QMediaInfos::refusedOpenKeepsThePreviousDescription()
{
    QMediaInfos infos;
    const PlayItemInfo movie = probe(infos, fixture(QStringLiteral("movie.mkv")));
    ProgramInfo *program = infos.m_currentProgram;
    QVERIFY(program);

    probe(infos, QString());
    QCOMPARE(infos.m_mediaPath, movie.path);

    for (const QString &name : {QStringLiteral("notvideo.mp4"), QStringLiteral("empty.mp4"), QStringLiteral("missing.mkv")}) {
        PlayItemInfo bad = itemFor(fixture(name), false);
        bad.Duration_ = 77;
        infos.setMediaInfo(&bad);
        QCOMPARE(bad.Duration_, 77ULL);
        QCOMPARE(infos.m_mediaPath, bad.path);
        QVERIFY(infos.m_currentProgram == program);
        QCOMPARE(infos.m_programCount, 1);
        QCOMPARE(infos.m_formatName, QStringLiteral("matroska,webm"));
    }
    // A disc flag on a plain file asks for a disc open, which the file refuses.
    probe(infos, fixture(QStringLiteral("clip.mp4")), true);
    QVERIFY(infos.m_isDisc);
    QVERIFY(infos.m_currentProgram == program);
}

QTEST_GUILESS_MAIN(tst_QMediaInfos)
#include "tst_qmediainfos.moc"
