// The media information dialog: its tree on probed fixtures and on made-up records, the display size
// of a picture, the window it builds, its keys and the modal run with the player's dialog flag.
#include "engine/qmediainfos.h"
#include "engine/zrhelper.h"
#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "shell/mediainfodlg.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrscrollbar.h"
#include "whenshown.h"

#include <QTreeWidget>
#include <QtTest>

#include <climits>

Q_DECLARE_METATYPE(StreamInfo)

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QString fixture(const QString &name)
{
    return kFixtures + QLatin1Char('/') + name;
}

void probe(QMediaInfos &infos, const QString &path, bool disc = false)
{
    PlayItemInfo item;
    item.path = path;
    item.File_isDVD = disc;
    infos.setMediaInfo(&item);
}

QTreeWidget *treeOf(QWidget *dialog)
{
    return dialog->findChild<QTreeWidget *>(QStringLiteral("m_treeWidget"));
}

QStringList texts(const QTreeWidgetItem *item)
{
    QStringList list;
    for (int i = 0; i < item->childCount(); ++i)
        list << item->child(i)->text(0);
    return list;
}

// The children whose text starts with the prefix.
QList<QTreeWidgetItem *> groupsOf(const QTreeWidgetItem *item, const QString &prefix)
{
    QList<QTreeWidgetItem *> found;
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0).startsWith(prefix))
            found << item->child(i);
    }
    return found;
}

QTreeWidgetItem *onlyChild(const QTreeWidgetItem *item, const QString &prefix)
{
    const QList<QTreeWidgetItem *> found = groupsOf(item, prefix);
    return found.size() == 1 ? found.first() : nullptr;
}

QTreeWidgetItem *mediaItem(MediaInfoDlg &dialog)
{
    QTreeWidget *tree = treeOf(&dialog);
    return tree->topLevelItemCount() == 1 ? tree->topLevelItem(0) : nullptr;
}

QTreeWidgetItem *general(MediaInfoDlg &dialog)
{
    return onlyChild(mediaItem(dialog), QStringLiteral("General"));
}

// The program item at the position, under the media item after "General".
QTreeWidgetItem *program(MediaInfoDlg &dialog, int index)
{
    return mediaItem(dialog)->child(index + 1);
}

QString clock(unsigned long long time)
{
    return ZRHelper::getCountStringTime(time, 0);
}

// A made-up medium of one program, for the row tables.
struct OneProgram
{
    QMediaInfos infos;
    ProgramInfo *program = new ProgramInfo;

    OneProgram()
    {
        infos.m_mediaPath = QStringLiteral("/media/made up.mkv");
        infos.m_formatName = QStringLiteral("matroska,webm");
        program->m_name = QStringLiteral("Program 1");
        infos.m_programList << program;
        infos.m_programCount = 1;
    }
};

int dialogs()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<MediaInfoDlg *>(widget) ? 1 : 0;
    return count;
}

}

class tst_MediaInfoDlg : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void window();
    void anamorphicVideo();
    void audioTagsInOrder();
    void embeddedSubtitlesOnly();
    void movieChapters();
    void discTitles();
    void generalRows();
    void durationRow_data();
    void durationRow();
    void screenSize_data();
    void screenSize();
    void videoRows_data();
    void videoRows();
    void audioRows_data();
    void audioRows();
    void subtitleAndChapterRows();
    void nothingToShow_data();
    void nothingToShow();
    void everyCallAddsAnItem();
    void keys_data();
    void keys();
    void modalRun_data();
    void modalRun();
    void closeButtonCloses();
    void parentDyingDuringTheRun();
};

void tst_MediaInfoDlg::cleanup()
{
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
}

void tst_MediaInfoDlg::window()
{
    MediaInfoDlg dialog;
    QCOMPARE(dialog.windowTitle(), QString("ZRPlayer"));
    QCOMPARE(dialog.getDlgTitle(), QString("Media Infomation"));
    QCOMPARE(dialog.size(), QSize(600, 500));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(dialog.font().family(), QString("Tahoma"));
    QCOMPARE(dialog.font().pixelSize(), 12);
    QCOMPARE(dialog.palette().color(QPalette::Inactive, QPalette::WindowText), QColor(255, 255, 255));

    QTreeWidget *tree = treeOf(&dialog);
    QVERIFY(tree);
    QCOMPARE(tree->columnCount(), 1);
    QVERIFY(tree->isHidden());
    QVERIFY(qobject_cast<QZRScrollBar *>(tree->verticalScrollBar()));
    const QString resources = QIAnyUtil::getResourcePath();
    QVERIFY(tree->styleSheet().contains("image: url(" + resources + "/images/Common/mark_open.png)"));
    QVERIFY(tree->styleSheet().contains("image: url(" + resources + "/images/Common/mark_close.png)"));

    // Only the close button acts.
    const auto buttons = dialog.findChildren<QZRBaseButton *>();
    QCOMPARE(buttons.size(), 3);
    int enabled = 0;
    for (QZRBaseButton *button : buttons)
        enabled += button->isEnabled() ? 1 : 0;
    QCOMPARE(enabled, 1);

    OneProgram medium;
    dialog.setMediaInfos(&medium.infos);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(tree->geometry(), QRect(8, 38, 584, 454));
    QVERIFY(tree->isHeaderHidden());
    // The strip between the title and the tree is the tree's colour.
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(shot.pixelColor(QPoint(300, 33) * shot.devicePixelRatio()), QColor(44, 44, 44));
}

void tst_MediaInfoDlg::anamorphicVideo()
{
    QMediaInfos infos;
    probe(infos, fixture("anamorphic.mp4"));
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&infos);

    QTreeWidgetItem *media = mediaItem(dialog);
    QVERIFY(media);
    QCOMPARE(media->text(0), infos.m_mediaPath);
    QCOMPARE(media->toolTip(0), infos.m_mediaPath);
    QCOMPARE(texts(media), QStringList({"General", "Program 1"}));
    QCOMPARE(texts(general(dialog)),
             QStringList({"CompleteName : " + infos.m_mediaPath, "Format : " + infos.m_formatName,
                          "FileSize : " + ZRHelper::getFileSizeToString(QFileInfo(infos.m_mediaPath).size()),
                          "Duration : " + clock(infos.m_mediaDuration)}));
    QCOMPARE(general(dialog)->child(0)->toolTip(0), general(dialog)->child(0)->text(0));
    QCOMPARE(general(dialog)->child(1)->toolTip(0), QString());

    QTreeWidgetItem *video = onlyChild(program(dialog, 0), "Video #");
    QVERIFY(video);
    const QStringList rows = texts(video);
    QVERIFY2(rows.contains("Resolution : 720 * 576 pixel"), qPrintable(rows.join('|')));
    QVERIFY2(rows.contains("AspectRatio : 16 : 9"), qPrintable(rows.join('|')));
    QVERIFY2(rows.contains("Display : 1024 * 576 pixel"), qPrintable(rows.join('|')));
    QVERIFY(rows.contains("FrameRate : 25.00 fps"));
    QVERIFY(rows.indexOf("AspectRatio : 16 : 9") < rows.indexOf("Resolution : 720 * 576 pixel"));
    QVERIFY(groupsOf(program(dialog, 0), "Audio #").isEmpty());
    QVERIFY(treeOf(&dialog)->isVisibleTo(&dialog));
    QVERIFY(video->isExpanded() && program(dialog, 0)->isExpanded() && media->isExpanded());
}

void tst_MediaInfoDlg::audioTagsInOrder()
{
    QMediaInfos infos;
    probe(infos, fixture("audio.mp3"));
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&infos);

    const QStringList rows = texts(general(dialog));
    QCOMPARE(rows.mid(4, 3), QStringList({"Movie name : Test Tone", "Artist : ZR Tests", "Album : Fixtures"}));
    QCOMPARE(rows.mid(7), QStringList({"Date : 2024"}));
    QCOMPARE(rows.size(), 8);

    QTreeWidgetItem *title = program(dialog, 0);
    QVERIFY(groupsOf(title, "Video #").isEmpty());
    QTreeWidgetItem *audio = onlyChild(title, "Audio #");
    QVERIFY(audio);
    const QStringList audioRows = texts(audio);
    QVERIFY2(audioRows.contains("Format : mp3"), qPrintable(audioRows.join('|')));
    QVERIFY(audioRows.contains("SampleRate : 44100 HZ"));
    QVERIFY(audioRows.contains("Channels : 1"));
    QVERIFY(audioRows.contains("ChannelLayout : C "));
    QVERIFY(audioRows.contains("BitRate : 128 kps"));
}

// subs.mkv has SubRip and other subtitle files beside it; only its own track is a group.
void tst_MediaInfoDlg::embeddedSubtitlesOnly()
{
    QMediaInfos infos;
    probe(infos, fixture("subs.mkv"));
    int external = 0;
    for (const SubtitleStreamInfo &choice : infos.m_programList.at(0)->m_subtitleList)
        external += choice.m_kind == QStringLiteral("外接") ? 1 : 0;
    QVERIFY(external >= 2);

    MediaInfoDlg dialog;
    dialog.setMediaInfos(&infos);
    QTreeWidgetItem *subtitle = onlyChild(program(dialog, 0), "Subtitle #");
    QVERIFY(subtitle);
    QCOMPARE(subtitle->text(0), QString("Subtitle #English"));
    QCOMPARE(texts(subtitle), QStringList({"Duration : 00:00:04.000", "Format : subrip", "Language : English"}));
}

void tst_MediaInfoDlg::movieChapters()
{
    QMediaInfos infos;
    probe(infos, fixture("movie.mkv"));
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&infos);

    QTreeWidgetItem *title = program(dialog, 0);
    QCOMPARE(groupsOf(title, "Audio #").size(), 2);
    const QList<QTreeWidgetItem *> chapters = groupsOf(title, "Chapter #");
    QCOMPARE(chapters.size(), 2);
    QCOMPARE(chapters.at(0)->text(0), QString("Chapter #Opening"));
    QCOMPARE(texts(chapters.at(0)),
             QStringList({"Title : Opening", "Duration : 00:00:02.000", "EndTime : 00:00:02.000"}));
    QCOMPARE(texts(chapters.at(1)), QStringList({"Title : Ending", "Duration : 00:00:02.000",
                                                 "StartTime : 00:00:02.000", "EndTime : 00:00:04.000"}));
    // The groups follow one another: video, audio, subtitles, chapters.
    const QStringList groups = texts(title);
    QCOMPARE(groups.size(), 1 + 2 + 1 + 2);
    QVERIFY(groups.at(0).startsWith("Video #") && groups.at(3).startsWith("Subtitle #"));
}

void tst_MediaInfoDlg::discTitles()
{
    QMediaInfos infos;
    probe(infos, fixture("dvd"), true);
    QCOMPARE(infos.m_programList.size(), 2);
    const ProgramInfo *first = infos.m_programList.at(0);
    const ProgramInfo *second = infos.m_programList.at(1);
    const unsigned long long total = first->m_duration + second->m_duration;
    QVERIFY(clock(total) != clock(first->m_duration));

    MediaInfoDlg dialog;
    dialog.setMediaInfos(&infos);
    QCOMPARE(texts(mediaItem(dialog)), QStringList({"General", "Title 1", "Title 2"}));
    QVERIFY(texts(general(dialog)).contains("Duration : " + clock(total)));
    QCOMPARE(texts(general(dialog)).at(1), QString("Format : dvd"));
    // Each title has its own streams; the second title's chapter starts where the first title ends.
    for (int title = 0; title < 2; ++title) {
        QVERIFY(onlyChild(program(dialog, title), "Video #"));
        QVERIFY(onlyChild(program(dialog, title), "Audio #"));
    }
    QTreeWidgetItem *chapter = onlyChild(program(dialog, 1), "Chapter #");
    QVERIFY(chapter);
    QVERIFY(texts(chapter).contains("StartTime : " + clock(first->m_duration)));
}

// Every tag in its place, the disc number among them, and the tooltips of the long rows.
void tst_MediaInfoDlg::generalRows()
{
    OneProgram medium;
    medium.infos.m_fileSize = 0;
    medium.infos.m_mediaDuration = 5025678000ULL;
    MediaTagInfo &tags = medium.infos.m_tagInfo;
    tags.title = "Le Titre";
    tags.artist = "Artiste";
    tags.album_artist = "Album Artist";
    tags.composer = "Composer";
    tags.album = "Album";
    tags.genre = "Genre";
    tags.track = "3/12";
    tags.year = "1999";
    tags.date = "1999-05-01";
    tags.grouping = "Grouping";
    tags.comment = "Comment";
    tags.disc = "2/3";
    tags.dvd_size = "4.7";
    tags.dvd_clip = "Clip";
    tags.lyrics = "Lyrics";
    tags.copyright = "\xc2\xa9 Quorvane";

    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    QTreeWidgetItem *group = general(dialog);
    QCOMPARE(texts(group),
             QStringList({"CompleteName : /media/made up.mkv", "Format : matroska,webm", "FileSize : 0B",
                          "Duration : 01:23:45.678", "Movie name : Le Titre", "Artist : Artiste",
                          "Album artist : Album Artist", "Composer : Composer", "Album : Album", "Genre : Genre",
                          "Track : 3/12", "Year : 1999", "Date : 1999-05-01", "Grouping : Grouping",
                          "Comment : Comment", "Disc : 2/3", "Dvd_size : 4.7", "Dvd_clip : Clip",
                          "Lyrics : Lyrics", QString::fromUtf8("Copyright : \xc2\xa9 Quorvane")}));
    for (int i = 0; i < group->childCount(); ++i) {
        const bool tip = i == 0 || i == group->childCount() - 1;
        QCOMPARE(group->child(i)->toolTip(0), tip ? group->child(i)->text(0) : QString());
    }
    QCOMPARE(group->toolTip(0), QString());
    QCOMPARE(program(dialog, 0)->toolTip(0), QString());
}

void tst_MediaInfoDlg::durationRow_data()
{
    QTest::addColumn<bool>("disc");
    QTest::addColumn<QString>("row");
    QTest::newRow("file") << false << "Duration : 00:00:04.000";
    QTest::newRow("disc: all titles") << true << "Duration : 00:00:06.500";
}

// A disc's own duration may be its first title's; the row shows the titles together.
void tst_MediaInfoDlg::durationRow()
{
    QFETCH(bool, disc);
    QFETCH(QString, row);
    OneProgram medium;
    medium.infos.m_isDisc = disc;
    medium.infos.m_mediaDuration = 4000000;
    medium.infos.m_programsDuration = 6500000;
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    QCOMPARE(texts(general(dialog)).at(3), row);
}

void tst_MediaInfoDlg::screenSize_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("aspect");
    QTest::addColumn<QSize>("display");

    QTest::newRow("widened") << QSize(720, 576) << QSize(16, 9) << QSize(1024, 576);
    QTest::newRow("made taller") << QSize(1920, 1080) << QSize(4, 3) << QSize(1920, 1440);
    QTest::newRow("equal in single precision") << QSize(1920, 1080) << QSize(16, 9) << QSize(1920, 1080);
    QTest::newRow("truncated") << QSize(720, 480) << QSize(4, 3) << QSize(720, 540);
    QTest::newRow("truncated toward zero") << QSize(700, 500) << QSize(3, 2) << QSize(750, 500);
    QTest::newRow("portrait") << QSize(1080, 1920) << QSize(3, 4) << QSize(1440, 1920);
    QTest::newRow("no picture") << QSize(0, 0) << QSize(16, 9) << QSize(16, 9);
    QTest::newRow("nothing known") << QSize(0, 0) << QSize(0, 0) << QSize(0, 0);
    // Terms whose products leave 32 bits.
    QTest::newRow("large terms, widened") << QSize(720, 576) << QSize(16000000, 9000000) << QSize(1024, 576);
    QTest::newRow("large terms, taller") << QSize(1920, 1080) << QSize(4000000, 3000000) << QSize(1920, 1440);
    // Aspects that give no size leave the picture as it is.
    QTest::newRow("zero denominator") << QSize(720, 576) << QSize(16, 0) << QSize(720, 576);
    QTest::newRow("zero numerator") << QSize(720, 576) << QSize(0, 9) << QSize(720, 576);
    QTest::newRow("beyond an int") << QSize(720, 576) << QSize(INT_MAX, 1) << QSize(720, 576);
}

void tst_MediaInfoDlg::screenSize()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, aspect);
    QFETCH(QSize, display);
    QCOMPARE(getScreenSize(picture, aspect), display);
}

void tst_MediaInfoDlg::videoRows_data()
{
    QTest::addColumn<StreamInfo>("video");
    QTest::addColumn<QStringList>("rows");

    StreamInfo full;
    full.m_label = QStringLiteral("Main (English)");
    full.m_title = QStringLiteral("Main");
    full.m_videoWidth = 720;
    full.m_videoHeight = 576;
    full.m_aspectNum = 16;
    full.m_aspectDen = 9;
    full.m_duration = 61500000;
    full.m_videoBitRate = 999;
    full.m_frameRateNum = 24000;
    full.m_frameRateDen = 1001;
    full.m_language = QStringLiteral("English");
    QTest::newRow("every row") << full
                               << QStringList({"Duration : 00:01:01.500", "Title : Main", "AspectRatio : 16 : 9",
                                               "Resolution : 720 * 576 pixel", "Display : 1024 * 576 pixel",
                                               "Langauge : English", "BitRate : 999 bps", "FrameRate : 23.98 fps"});

    StreamInfo plain;
    plain.m_label = QStringLiteral("h264 ");
    plain.m_videoWidth = 1920;
    plain.m_videoHeight = 1080;
    plain.m_videoBitRate = 128000;
    plain.m_frameRateNum = 25;
    plain.m_frameRateDen = 1;
    QTest::newRow("no aspect: the resolution is the display")
        << plain << QStringList({"Resolution : 1920 * 1080 pixel", "Display : 1920 * 1080 pixel",
                                 "BitRate : 128 kps", "FrameRate : 25.00 fps"});

    StreamInfo unknown;
    unknown.m_label = QStringLiteral("h264 ");
    QTest::newRow("nothing known") << unknown << QStringList({"Display : 0 * 0 pixel"});

    StreamInfo halfAspect = plain;
    halfAspect.m_aspectDen = 9;
    halfAspect.m_videoBitRate = 0;
    halfAspect.m_frameRateNum = 0;
    QTest::newRow("half an aspect")
        << halfAspect << QStringList({"Resolution : 1920 * 1080 pixel", "Display : 1920 * 1080 pixel"});

    StreamInfo noDenominator = unknown;
    noDenominator.m_frameRateNum = 30;
    noDenominator.m_frameRateDen = 0;
    QTest::newRow("rate without denominator") << noDenominator << QStringList({"Display : 0 * 0 pixel"});
}

void tst_MediaInfoDlg::videoRows()
{
    QFETCH(StreamInfo, video);
    QFETCH(QStringList, rows);

    OneProgram medium;
    medium.program->m_videoList << video;
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    QTreeWidgetItem *group = onlyChild(program(dialog, 0), "Video #");
    QVERIFY(group);
    QCOMPARE(group->text(0), "Video #" + video.m_label);
    QCOMPARE(texts(group), rows);
}

void tst_MediaInfoDlg::audioRows_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("layoutRow");

    QTest::newRow("stereo") << 3 << "ChannelLayout : L R ";
    QTest::newRow("5.1 with back speakers") << 0x3F << "ChannelLayout : L R C Lfe Lb Rb ";
    QTest::newRow("mono") << 4 << "ChannelLayout : C ";
    QTest::newRow("top and side") << (1 << 9 | 1 << 10 | 1 << 11 | 1 << 17) << "ChannelLayout : Ls Rs Ct Rtb ";
    QTest::newRow("downmix pair") << (1 << 29 | 1 << 30) << "ChannelLayout : L R ";
    QTest::newRow("unnamed bits only") << (1 << 18) << "ChannelLayout : ";
    QTest::newRow("named and unnamed") << (1 << 0 | 1 << 20) << "ChannelLayout : L ";
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("bit 31") << int(0x80000000u) << QString();
    QTest::newRow("bit 31 with stereo") << int(0x80000003u) << QString();
}

void tst_MediaInfoDlg::audioRows()
{
    QFETCH(int, mask);
    QFETCH(QString, layoutRow);

    AudioStreamInfo audio;
    audio.m_label = QStringLiteral("aac (German)");
    audio.m_codecName = QStringLiteral("aac");
    audio.m_language = QStringLiteral("German");
    audio.m_sampleRate = 48000;
    audio.m_channels = 2;
    audio.m_channelLayout = mask;
    audio.m_audioBitRate = 192000;
    audio.m_bitDepth = 16;
    audio.m_duration = 2000000;
    audio.m_title = QStringLiteral("Dub");
    OneProgram medium;
    medium.program->m_audioList << audio << AudioStreamInfo();
    medium.program->m_audioList.last().m_label = QStringLiteral("mp3 ");

    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    const QList<QTreeWidgetItem *> groups = groupsOf(program(dialog, 0), "Audio #");
    QCOMPARE(groups.size(), 2);
    QCOMPARE(groups.at(0)->text(0), QString("Audio #aac (German)"));
    QStringList rows({"Duration : 00:00:02.000", "Title : Dub", "Format : aac", "Language : German",
                      "BitDepth : 16 bits", "BitRate : 192 kps", "SampleRate : 48000 HZ", "Channels : 2"});
    if (!layoutRow.isNull())
        rows << layoutRow;
    QCOMPARE(texts(groups.at(0)), rows);
    QCOMPARE(groups.at(1)->text(0), QString("Audio #mp3 "));
    QCOMPARE(groups.at(1)->childCount(), 0);
}

void tst_MediaInfoDlg::subtitleAndChapterRows()
{
    OneProgram medium;
    SubtitleStreamInfo disable;
    disable.m_label = QStringLiteral("Disable");
    SubtitleStreamInfo embedded;
    embedded.m_kind = QStringLiteral("内嵌");
    embedded.m_label = QStringLiteral("French (Forced)[ass]");
    embedded.m_title = QStringLiteral("Forced");
    embedded.m_codecName = QStringLiteral("ass");
    embedded.m_language = QStringLiteral("French");
    embedded.m_duration = 3000000;
    SubtitleStreamInfo bare = embedded;
    bare.m_title.clear();
    bare.m_codecName.clear();
    bare.m_language.clear();
    bare.m_duration = 0;
    SubtitleStreamInfo external;
    external.m_kind = QStringLiteral("外接");
    external.m_label = QStringLiteral("(movie)[SRT]");
    medium.program->m_subtitleList << disable << embedded << bare << external;

    ChapterInfo chapter;
    chapter.m_title = QStringLiteral("Middle");
    chapter.m_start = 10000000;
    chapter.m_duration = 5000000;
    chapter.m_end = 15000000;
    ChapterInfo empty;
    empty.m_title = QStringLiteral("2");
    medium.program->m_chapterList << chapter << empty;

    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    const QList<QTreeWidgetItem *> subtitles = groupsOf(program(dialog, 0), "Subtitle #");
    QCOMPARE(subtitles.size(), 2);
    QCOMPARE(subtitles.at(0)->text(0), QString("Subtitle #French"));
    QCOMPARE(texts(subtitles.at(0)),
             QStringList({"Title : Forced", "Duration : 00:00:03.000", "Format : ass", "Language : French"}));
    QCOMPARE(subtitles.at(1)->text(0), QString("Subtitle #"));
    QCOMPARE(subtitles.at(1)->childCount(), 0);

    const QList<QTreeWidgetItem *> chapters = groupsOf(program(dialog, 0), "Chapter #");
    QCOMPARE(chapters.size(), 2);
    QCOMPARE(texts(chapters.at(0)), QStringList({"Title : Middle", "Duration : 00:00:05.000",
                                                 "StartTime : 00:00:10.000", "EndTime : 00:00:15.000"}));
    QCOMPARE(texts(chapters.at(1)), QStringList({"Title : 2"}));
    QCOMPARE(texts(program(dialog, 0)).size(), 4);
}

void tst_MediaInfoDlg::nothingToShow_data()
{
    QTest::addColumn<bool>("withProber");
    QTest::newRow("no prober") << false;
    QTest::newRow("nothing probed") << true;
}

void tst_MediaInfoDlg::nothingToShow()
{
    QFETCH(bool, withProber);
    QMediaInfos infos;
    MediaInfoDlg dialog;
    dialog.setMediaInfos(withProber ? &infos : nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!treeOf(&dialog)->isVisible());
    QCOMPARE(treeOf(&dialog)->topLevelItemCount(), 0);
}

void tst_MediaInfoDlg::everyCallAddsAnItem()
{
    OneProgram medium;
    MediaInfoDlg dialog;
    dialog.setMediaInfos(&medium.infos);
    dialog.setMediaInfos(&medium.infos);
    QTreeWidget *tree = treeOf(&dialog);
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(1)->text(0), medium.infos.m_mediaPath);
    QCOMPARE(texts(tree->topLevelItem(1)), QStringList({"General", "Program 1"}));
}

void tst_MediaInfoDlg::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("toTree");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false << false;
    QTest::newRow("Escape at the tree") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true << false;
    QTest::newRow("Shift+Escape") << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << false << false;
    QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier) << false << true;
    QTest::newRow("Ctrl+W at the tree") << int(Qt::Key_W) << int(Qt::ControlModifier) << true << true;
    QTest::newRow("Ctrl+Shift+W") << int(Qt::Key_W) << int(Qt::ControlModifier | Qt::ShiftModifier) << false
                                  << false;
    QTest::newRow("W") << int(Qt::Key_W) << int(Qt::NoModifier) << false << false;
}

// Keys inside the modal run, at the dialog and at its tree (which leaves them to the dialog).
void tst_MediaInfoDlg::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, toTree);
    QFETCH(bool, closes);

    OneProgram medium;
    bool openAfter = true;
    whenShown<MediaInfoDlg>([&](MediaInfoDlg *dialog) {
        QWidget *target = toTree ? static_cast<QWidget *>(treeOf(dialog)) : dialog;
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        openAfter = dialog->isVisible();
        if (openAfter)
            dialog->close();
    });
    MediaInfoDlg::showMediaInfo(nullptr, &medium.infos);
    QCOMPARE(openAfter, !closes);
}

void tst_MediaInfoDlg::modalRun_data()
{
    QTest::addColumn<QRect>("parentGeometry");
    QTest::addColumn<QPoint>("offset");

    QTest::newRow("centred") << QRect(100, 80, 900, 700) << QPoint(150, 100);
    QTest::newRow("smaller parent") << QRect(200, 300, 400, 300) << QPoint(-100, -100);
}

// The flag is up only while the dialog runs; it is centred on its parent, a coordinate below 1
// becoming 50, and gone afterwards.
void tst_MediaInfoDlg::modalRun()
{
    QFETCH(QRect, parentGeometry);
    QFETCH(QPoint, offset);

    QWidget parent;
    parent.setGeometry(parentGeometry);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QMediaInfos infos;
    probe(infos, fixture("anamorphic.mp4"));

    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    bool flagWhileOpen = false;
    QPoint position;
    int items = 0;
    whenShown<MediaInfoDlg>([&](MediaInfoDlg *dialog) {
        flagWhileOpen = QMediaPlayWindowFlags::m_bWindowShowTop;
        position = dialog->pos();
        items = treeOf(dialog)->topLevelItemCount();
        QTest::keyClick(dialog, Qt::Key_W, Qt::ControlModifier);
    });
    MediaInfoDlg::showMediaInfo(&parent, &infos);

    QVERIFY(flagWhileOpen);
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(items, 1);
    QPoint expected = parent.mapToGlobal(QPoint(0, 0)) + offset;
    expected.rx() = expected.x() < 1 ? 50 : expected.x();
    expected.ry() = expected.y() < 1 ? 50 : expected.y();
    QCOMPARE(position, expected);
    QCOMPARE(dialogs(), 0);
}

void tst_MediaInfoDlg::closeButtonCloses()
{
    OneProgram medium;
    QString tooltip;
    whenShown<MediaInfoDlg>([&](MediaInfoDlg *dialog) {
        const auto buttons = dialog->findChildren<QZRBaseButton *>();
        for (QZRBaseButton *button : buttons) {
            if (button->isVisible() && button->isEnabled()) {
                tooltip = button->toolTip();
                button->click();
                return;
            }
        }
    });
    MediaInfoDlg::showMediaInfo(nullptr, &medium.infos);
    QCOMPARE(tooltip, QString("Close"));
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(dialogs(), 0);
}

void tst_MediaInfoDlg::parentDyingDuringTheRun()
{
    OneProgram medium;
    auto *parent = new QWidget;
    parent->show();
    whenShown<MediaInfoDlg>([parent](MediaInfoDlg *) { delete parent; });
    MediaInfoDlg::showMediaInfo(parent, &medium.infos);
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(dialogs(), 0);
}

QTEST_MAIN(tst_MediaInfoDlg)
#include "tst_mediainfodlg.moc"
