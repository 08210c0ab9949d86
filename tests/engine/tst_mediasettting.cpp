#include "engine/mediasettting.h"
#include "engine/programinfo.h"

#include <QtTest>

class tst_MediaSettting : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void equaliserCopiesAreDeep();
    void equaliserWithoutBandsDropsPreamp();
    void selfAssignmentKeepsTheRecord();
    void resetFreesTheBands();
    void recordCopiesShareNothing();
    void proberRecordDefaults();
};

static EqualizeSettings tenBands()
{
    const double frequencies[10] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    const double gains[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EqualizeSettings eq;
    eq.setBands(frequencies, gains, 10);
    eq.m_preamp = 2.5;
    return eq;
}

void tst_MediaSettting::defaults()
{
    const MediaSettting s;
    QCOMPARE(s.m_equalize.m_count, 0);
    QVERIFY(!s.m_equalize.m_frequencies && !s.m_equalize.m_gains);
    QCOMPARE(s.m_subtitle.m_alpha, 255);
    QCOMPARE(s.m_subtitle.m_scaleX, 100);
    QCOMPARE(s.m_subtitle.m_scaleY, 100);
    QCOMPARE(s.m_subtitle.m_pointSize, 18);
    QCOMPARE(s.m_subtitle.m_fontColour, 0xFFFFFFFFu);
    QCOMPARE(s.m_subtitle.m_shadowColour, 0x80000000u);
    QCOMPARE(s.m_subtitle.m_outlineColour, 0xFF000000u);
    QCOMPARE(s.m_subtitle.m_shadowOffset, 0.5);
    QCOMPARE(s.m_subtitle.m_outlineSize, 1.0);
    QCOMPARE(s.m_subtitle.m_marginX, 0.05);
    QCOMPARE(s.m_subtitle.m_marginY, 0.05);
    QVERIFY(s.m_subtitle.m_fontName.empty());
    QCOMPARE(s.m_effect.m_brightness, 0);
    QCOMPARE(s.m_effect.m_reserved, 0);
    QCOMPARE(s.m_effect.m_saturation, 100);
    QCOMPARE(s.m_effect.m_contrast, 100);
    QCOMPARE(s.m_effect.m_hue, 0);
    QCOMPARE(s.m_deinterlace, 2u);
    QCOMPARE(s.m_audioSettings.m_speed, 100u);
    QCOMPARE(s.m_audioSettings.m_rate, 100u);
    QCOMPARE(s.m_ratio, RatioType_Source);
    QCOMPARE(s.m_fillMode, 0);
    QCOMPARE(s.m_audioDelay, 0.0);
    QVERIFY(s.m_subltItemList.isEmpty() && s.m_audioTrackList.isEmpty());
}

void tst_MediaSettting::equaliserCopiesAreDeep()
{
    const EqualizeSettings source = tenBands();
    EqualizeSettings copy(source);
    EqualizeSettings assigned;
    assigned = source;
    for (EqualizeSettings *eq : {&copy, &assigned}) {
        QCOMPARE(eq->m_count, 10);
        QCOMPARE(eq->m_preamp, 2.5);
        QVERIFY(eq->m_gains != source.m_gains && eq->m_frequencies != source.m_frequencies);
        QCOMPARE(eq->m_frequencies[9], 16000.0);
        eq->m_gains[3] = -12;
    }
    QCOMPARE(source.m_gains[3], 4.0);
}

void tst_MediaSettting::equaliserWithoutBandsDropsPreamp()
{
    EqualizeSettings none;
    none.m_preamp = 3;
    EqualizeSettings target = tenBands();
    target = none;
    QCOMPARE(target.m_count, 0);
    QCOMPARE(target.m_preamp, 0.0);
    QVERIFY(!target.m_gains && !target.m_frequencies);
}

void tst_MediaSettting::selfAssignmentKeepsTheRecord()
{
    MediaSettting s;
    s.m_equalize = tenBands();
    s.m_subltItemList.append(SubltItemInfo{"English", "/a.srt"});
    MediaSettting &alias = s;
    s = alias;
    QCOMPARE(s.m_equalize.m_count, 10);
    QCOMPARE(s.m_equalize.m_gains[9], 10.0);
    QCOMPARE(s.m_subltItemList.size(), 1);
    EqualizeSettings &eqAlias = s.m_equalize;
    s.m_equalize = eqAlias;
    QCOMPARE(s.m_equalize.m_gains[0], 1.0);
}

void tst_MediaSettting::resetFreesTheBands()
{
    MediaSettting s;
    s.m_equalize = tenBands();
    s.m_subtitle.m_fontName = "DejaVu Sans";
    s.m_subtitleValue.m_itemData = "/x.srt";
    s.m_audioTrackList << "eng";
    s.m_deinterlace = 0;
    s.m_audioSettings.m_speed = 200;
    s.m_rotate = 90;
    s.reset();
    QCOMPARE(s.m_equalize.m_count, 0);
    QVERIFY(!s.m_equalize.m_gains);
    QVERIFY(s.m_subtitle.m_fontName.empty());
    QVERIFY(s.m_subtitleValue.m_itemData.empty());
    QVERIFY(s.m_audioTrackList.isEmpty());
    QCOMPARE(s.m_deinterlace, 2u);
    QCOMPARE(s.m_audioSettings.m_speed, 100u);
    QCOMPARE(s.m_rotate, 0);
}

void tst_MediaSettting::recordCopiesShareNothing()
{
    MediaSettting a;
    a.m_equalize = tenBands();
    a.m_subltItemList.append(SubltItemInfo{"One", ""});
    MediaSettting b = a;
    b.m_equalize.m_gains[0] = 99;
    b.m_subltItemList[0].m_text = "Changed";
    b.m_audioTrackList << "ger";
    QCOMPARE(a.m_equalize.m_gains[0], 1.0);
    QCOMPARE(a.m_subltItemList[0].m_text, std::string("One"));
    QVERIFY(a.m_audioTrackList.isEmpty());
}

void tst_MediaSettting::proberRecordDefaults()
{
    const ProgramInfo program;
    QCOMPARE(program.m_index, -1);
    QVERIFY(program.m_name.isEmpty() && program.m_videoList.isEmpty() && program.m_chapterTexts.isEmpty());
    QCOMPARE(program.m_type, 0);
    QCOMPARE(program.m_start + program.m_duration + program.m_end, 0ULL);
    QCOMPARE(SubtitleStreamInfo().m_index, -1);
    QCOMPARE(ChapterInfo().m_index, -1);

    MediaTagInfo tags;
    tags.title = "Title";
    tags.copyright = "(c)";
    tags.lyrics = "la la";
    tags.reset();
    QVERIFY(tags.title.empty() && tags.copyright.empty() && tags.lyrics.empty());
}

QTEST_GUILESS_MAIN(tst_MediaSettting)
#include "tst_mediasettting.moc"
