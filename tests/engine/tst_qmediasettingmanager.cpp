#include "codec/rqcodec.h"
#include "engine/nsopenglvideoview.h"
#include "engine/qmediaelementwindow.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "openglview.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

QString fixture(const char *name)
{
    return QString(ZR_FIXTURES_DIR "/") + name;
}

EqualizeSettings bands(std::initializer_list<double> gains, double preamp)
{
    QVector<double> frequencies;
    for (int i = 0; i < int(gains.size()); ++i)
        frequencies << 60.0 * (i + 1);
    const QVector<double> values(gains);
    EqualizeSettings eq;
    eq.setBands(frequencies.constData(), values.constData(), values.size());
    eq.m_preamp = preamp;
    return eq;
}

QVector<double> gainsOf(const EqualizeSettings &eq)
{
    return eq.m_count > 0 ? QVector<double>(eq.m_gains, eq.m_gains + eq.m_count) : QVector<double>();
}

// One setting of the working and saved records: its set and set-both operations, the hub's getter
// of the working value, and where it lives in a record.
struct Setting
{
    const char *name;
    std::function<void(QMediaSettingManager &, int)> set;
    std::function<void(QMediaSettingManager &, int)> setAll;  // empty: the hub has none
    std::function<int(QMediaSettingManager &)> get;
    std::function<int(const MediaSettting &)> inRecord;
};

QList<SubltItemInfo> subtitleItems(int count)
{
    QList<SubltItemInfo> items;
    for (int i = 0; i < count; ++i)
        items.append(SubltItemInfo{"entry", "/subs/" + std::to_string(i) + ".srt"});
    return items;
}

QList<QString> audioNames(int count)
{
    QList<QString> names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("track %1").arg(i);
    return names;
}

const QList<Setting> &settings()
{
    static const QList<Setting> table{
        {"fill mode", [](QMediaSettingManager &h, int v) { h.setFillMode(v); },
         [](QMediaSettingManager &h, int v) { h.setFillModeAll(v); }, [](QMediaSettingManager &h) { return h.getFillMode(); },
         [](const MediaSettting &r) { return r.m_fillMode; }},
        {"aspect", [](QMediaSettingManager &h, int v) { h.setAspectRatio(RatioType(v % 6)); },
         [](QMediaSettingManager &h, int v) { h.setAspectRatioAll(RatioType(v % 6)); },
         [](QMediaSettingManager &h) { return int(h.getAspectRatio()); }, [](const MediaSettting &r) { return int(r.m_ratio); }},
        {"rotation", [](QMediaSettingManager &h, int v) { h.setRotate(v * 90, 0); },
         [](QMediaSettingManager &h, int v) { h.setRotateAll(v * 90, 0); },
         [](QMediaSettingManager &h) { return h.getDegree() / 90; }, [](const MediaSettting &r) { return r.m_rotate / 90; }},
        {"mirror by flip", [](QMediaSettingManager &h, int v) { h.setFlip(0, v); },
         [](QMediaSettingManager &h, int v) { h.setFlipAll(0, v); }, [](QMediaSettingManager &h) { return h.getMirror(); },
         [](const MediaSettting &r) { return r.m_mirror; }},
        {"deinterlace", [](QMediaSettingManager &h, int v) { h.setDeinterlace(unsigned(v)); },
         [](QMediaSettingManager &h, int v) { h.setDeinterlaceAll(unsigned(v)); },
         [](QMediaSettingManager &h) { return int(h.getDeinterlace()); }, [](const MediaSettting &r) { return int(r.m_deinterlace); }},
        {"audio delay", [](QMediaSettingManager &h, int v) { h.setAudioDelay(v / 2.0); },
         [](QMediaSettingManager &h, int v) { h.setAudioDelayAll(v / 2.0); },
         [](QMediaSettingManager &h) { return int(h.getAudioDelay() * 2); }, [](const MediaSettting &r) { return int(r.m_audioDelay * 2); }},
        {"subtitle style",
         [](QMediaSettingManager &h, int v) {
             SubtitleSettings style;
             style.m_pointSize = v;
             h.setSubtitleSettings(style);
         },
         [](QMediaSettingManager &h, int v) {
             SubtitleSettings style;
             style.m_pointSize = v;
             h.setSubtitleSettingsAll(style);
         },
         [](QMediaSettingManager &h) {
             SubtitleSettings style;
             h.getSubtitleSettings(style);
             return style.m_pointSize;
         },
         [](const MediaSettting &r) { return r.m_subtitle.m_pointSize; }},
        {"track selection",
         [](QMediaSettingManager &h, int v) {
             SubtitleValue_Info selection;
             selection.m_subtitleIndex = v;
             h.setSubtitle(selection);
         },
         [](QMediaSettingManager &h, int v) {
             SubtitleValue_Info selection;
             selection.m_subtitleIndex = v;
             h.setSubtitleAll(selection);
         },
         [](QMediaSettingManager &h) {
             SubtitleValue_Info selection;
             h.getSubtitle(selection);
             return selection.m_subtitleIndex;
         },
         [](const MediaSettting &r) { return r.m_subtitleValue.m_subtitleIndex; }},
        {"equaliser", [](QMediaSettingManager &h, int v) { h.setEQSettings(bands({1, 2}, v)); },
         [](QMediaSettingManager &h, int v) { h.setEQSettingsAll(bands({1, 2}, v)); },
         [](QMediaSettingManager &h) {
             EqualizeSettings eq;
             h.getEQSettings(eq);
             return int(eq.m_preamp);
         },
         [](const MediaSettting &r) { return int(r.m_equalize.m_preamp); }},
        {"speed",
         [](QMediaSettingManager &h, int v) {
             AudioSettings speed;
             speed.m_speed = unsigned(v);
             h.setAudioSettings(speed);
         },
         [](QMediaSettingManager &h, int v) {
             AudioSettings speed;
             speed.m_speed = unsigned(v);
             h.setAudioSettingsALL(speed);
         },
         [](QMediaSettingManager &h) {
             AudioSettings speed;
             h.getAudioSettings(speed);
             return int(speed.m_speed);
         },
         [](const MediaSettting &r) { return int(r.m_audioSettings.m_speed); }},
        {"subtitle entries", [](QMediaSettingManager &h, int v) { h.setSubltItemInfoList(subtitleItems(v)); },
         [](QMediaSettingManager &h, int v) { h.setSubltItemInfoListAll(subtitleItems(v)); },
         [](QMediaSettingManager &h) {
             QList<SubltItemInfo> items;
             h.getSubltItemInfoList(items);
             return items.size();
         },
         [](const MediaSettting &r) { return r.m_subltItemList.size(); }},
        {"audio names", [](QMediaSettingManager &h, int v) { h.setAudioList(audioNames(v)); },
         [](QMediaSettingManager &h, int v) { h.setAudioListAll(audioNames(v)); },
         [](QMediaSettingManager &h) {
             QStringList names;
             h.getAudioList(names);
             return names.size();
         },
         [](const MediaSettting &r) { return r.m_audioTrackList.size(); }},
        {"effects",
         [](QMediaSettingManager &h, int v) {
             EffectSettings effects;
             effects.m_brightness = v;
             h.setEffectSettings(effects);
         },
         {},
         [](QMediaSettingManager &h) {
             EffectSettings effects;
             h.getEffectSettings(effects);
             return effects.m_brightness;
         },
         [](const MediaSettting &r) { return r.m_effect.m_brightness; }},
    };
    return table;
}

int savedValue(const QMediaSettingManager &hub, const Setting &setting)
{
    MediaSettting saved;
    hub.getMediaSetttingTemp(saved);
    return setting.inRecord(saved);
}

struct Peak
{
    int frequency = -1;  // Hz; -1 without audio
    int level = 0;       // 0 is -80 dB or less, 65535 a full-scale sine, linear in dB
};

// The strongest component of the latest audio the player gave out.
Peak loudest(uint64_t player)
{
    Peak peak;
    unsigned char *block = codecGetAudioBuffer(player, 1);
    if (!block)
        return peak;
    const quint32 bins = qFromLittleEndian<quint32>(block + 16);
    const quint64 rate = qFromLittleEndian<quint64>(block + 24);
    const quint32 length = qFromLittleEndian<quint32>(block + 40);
    int loudestBin = 0;
    for (quint32 bin = 0; bin < bins && bin < length / 2; ++bin) {
        const quint16 level = qFromLittleEndian<quint16>(block + 44 + 2 * bin);
        if (level > peak.level) {
            peak.level = level;
            loudestBin = int(bin);
        }
    }
    codecReleaseAudioBuffer(player, block);
    if (bins)
        peak.frequency = int(quint64(loudestBin) * rate / 2 / bins);
    return peak;
}

// Mean grey level of a picture; -1 for none.
double meanGrey(const QImage &picture)
{
    if (picture.isNull())
        return -1;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return double(sum) / (qint64(image.width()) * image.height());
}

}

class tst_QMediaSettingManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namingRuleOfTheRecords();
    void wholeRecords();
    void fontSettingsAlone();
    void equaliserPushCopy_data();
    void equaliserPushCopy();
    void withoutPlaybackObject();
    void screenSize_data();
    void screenSize();
    void cancelRestoresThePictureOfTheSavedRecord();
    void setAllSurvivesACancel();
    void wholeRecordReachesThePlaybackObject();
    void audioTrackSelectionReachesTheCodec();
    void effectsChangeThePicture();
    void equaliserPreampReachesTheSound();
    void wholeRecordLeavesTheSpeed();

private:
    bool open(const char *name);

    std::unique_ptr<QMediaElementWindow> m_pane;
    std::unique_ptr<ZRQPlayObject> m_player;
    std::unique_ptr<QMediaSettingManager> m_hub;
};

void tst_QMediaSettingManager::init()
{
    m_pane.reset(new QMediaElementWindow);
    m_pane->setWindowFlags(Qt::FramelessWindowHint);
    m_pane->resize(800, 600);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    m_player.reset(new ZRQPlayObject);
    m_player->setPlayWindows(m_pane.get());
    m_hub.reset(new QMediaSettingManager);
    m_hub->setMediaPlayer(m_player.get());
}

void tst_QMediaSettingManager::cleanup()
{
    m_hub.reset();
    m_player.reset();
    m_pane.reset();
}

bool tst_QMediaSettingManager::open(const char *name)
{
    PlayItemInfo item;
    item.path = fixture(name);
    return m_player->SetPlayFile(&item, 0, 0);
}

void tst_QMediaSettingManager::namingRuleOfTheRecords()
{
    for (const Setting &setting : settings()) {
        QMediaSettingManager hub;
        const MediaSettting defaults;
        const int initial = setting.inRecord(defaults);

        // set: the working record only; a cancel brings the saved value back.
        setting.set(hub, 3);
        QVERIFY2(setting.get(hub) == 3, setting.name);
        QVERIFY2(savedValue(hub, setting) == initial, setting.name);
        hub.setSaveMediaSettting(false);
        QVERIFY2(setting.get(hub) == initial, setting.name);

        // Kept with OK, it survives the next cancel.
        setting.set(hub, 4);
        hub.setSaveMediaSettting(true);
        QVERIFY2(savedValue(hub, setting) == 4, setting.name);
        setting.set(hub, 5);
        hub.setSaveMediaSettting(false);
        QVERIFY2(setting.get(hub) == 4, setting.name);

        if (!setting.setAll)
            continue;
        // ...All: both records.
        setting.setAll(hub, 2);
        QVERIFY2(savedValue(hub, setting) == 2, setting.name);
        hub.setSaveMediaSettting(false);
        QVERIFY2(setting.get(hub) == 2, setting.name);
    }

    QMediaSettingManager hub;
    SubtitleValue_Info selection;
    selection.m_audioTrack = 1;
    selection.m_itemData = "/subs/movie.srt";
    hub.setSubtitleAll(selection);
    selection.m_audioTrack = 0;
    hub.setSubtitle(selection);
    SubtitleValue_Info saved;
    hub.getSubtitleTemp(saved);
    QCOMPARE(saved.m_audioTrack, 1);
    QCOMPARE(saved.m_itemData, std::string("/subs/movie.srt"));

    hub.setSubltItemInfoListAll(subtitleItems(2));
    hub.setSubltItemInfoList(subtitleItems(5));
    QList<SubltItemInfo> items;
    hub.getSubltItemInfoListTemp(items);
    QCOMPARE(items.size(), 2);
    QCOMPARE(hub.getSubltItemInfoListTemp().at(1).m_itemData, std::string("/subs/1.srt"));
    hub.setAudioListAll(audioNames(2));
    hub.setAudioList(audioNames(3));
    QStringList names;
    hub.getAudioListTemp(names);
    QCOMPARE(names, QStringList({QStringLiteral("track 0"), QStringLiteral("track 1")}));
    SubtitleSettings style;
    style.m_fontName = "DejaVu Sans";
    hub.setSubtitleSettingsAll(style);
    style.m_fontName = "Other";
    hub.setSubtitleSettings(style);
    SubtitleSettings savedStyle;
    hub.getSubtitleSettingsTemp(savedStyle);
    QCOMPARE(savedStyle.m_fontName, std::string("DejaVu Sans"));
}

void tst_QMediaSettingManager::wholeRecords()
{
    QMediaSettingManager hub;
    MediaSettting record;
    record.m_equalize = bands({1, 2, 3}, 4);
    record.m_subtitle.m_alpha = 100;
    record.m_subltItemList = subtitleItems(3);
    record.m_audioTrackList = audioNames(2);
    record.m_fillMode = 1;
    record.m_rotate = 270;
    record.m_audioSettings.m_speed = 140;
    hub.setMediaSettting(record);

    // Both records equal the argument and share nothing with it or with each other.
    record.m_equalize.m_gains[0] = 99;
    record.m_subltItemList.clear();
    MediaSettting working;
    MediaSettting saved;
    hub.getMediaSettting(working);
    hub.getMediaSetttingTemp(saved);
    for (MediaSettting *r : {&working, &saved}) {
        QCOMPARE(gainsOf(r->m_equalize), QVector<double>({1, 2, 3}));
        QCOMPARE(r->m_equalize.m_preamp, 4.0);
        QCOMPARE(r->m_subtitle.m_alpha, 100);
        QCOMPARE(r->m_subltItemList.size(), 3);
        QCOMPARE(r->m_audioTrackList.size(), 2);
        QCOMPARE(r->m_fillMode, 1);
        QCOMPARE(r->m_rotate, 270);
        QCOMPARE(r->m_audioSettings.m_speed, 140u);
    }
    working.m_equalize.m_gains[1] = -7;
    EqualizeSettings again;
    hub.getEQSettings(again);
    QCOMPARE(gainsOf(again), QVector<double>({1, 2, 3}));

    // The saved record can be replaced alone.
    MediaSettting other;
    other.m_fillMode = 2;
    hub.setMediaSetttingTemp(other);
    QCOMPARE(hub.getFillMode(), 1);
    hub.setSaveMediaSettting(false);
    QCOMPARE(hub.getFillMode(), 2);
    QCOMPARE(hub.getDegree(), 0);
}

void tst_QMediaSettingManager::fontSettingsAlone()
{
    QMediaSettingManager hub;
    SubtitleSettings style;
    style.m_pointSize = 30;
    hub.setSubtitleSettings(style);
    hub.setFillMode(2);
    hub.setSaveFontSettting(false);
    SubtitleSettings working;
    hub.getSubtitleSettings(working);
    QCOMPARE(working.m_pointSize, 18);
    QCOMPARE(hub.getFillMode(), 2);

    style.m_pointSize = 24;
    hub.setSubtitleSettings(style);
    hub.setSaveFontSettting(true);
    SubtitleSettings saved;
    hub.getSubtitleSettingsTemp(saved);
    QCOMPARE(saved.m_pointSize, 24);
    MediaSettting savedRecord;
    hub.getMediaSetttingTemp(savedRecord);
    QCOMPARE(savedRecord.m_fillMode, 0);
}

void tst_QMediaSettingManager::equaliserPushCopy_data()
{
    QTest::addColumn<QVector<double>>("gains");
    QTest::addColumn<double>("preamp");
    QTest::addColumn<QVector<double>>("pushed");
    QTest::newRow("ten bands") << QVector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, -9} << 2.5
                               << QVector<double>{2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5, -6.5};
    QTest::newRow("one band") << QVector<double>{3} << -1.0 << QVector<double>{2};
    QTest::newRow("no preamp") << QVector<double>{1, 2} << 0.0 << QVector<double>{1, 2};
    QTest::newRow("no bands") << QVector<double>{} << 6.0 << QVector<double>{};
}

void tst_QMediaSettingManager::equaliserPushCopy()
{
    QFETCH(QVector<double>, gains);
    QFETCH(double, preamp);
    QFETCH(QVector<double>, pushed);

    QVector<double> frequencies;
    for (int i = 0; i < gains.size(); ++i)
        frequencies << 100.0 * (i + 1);
    EqualizeSettings eq;
    eq.setBands(frequencies.constData(), gains.constData(), gains.size());
    eq.m_preamp = preamp;

    const EqualizeSettings copy = QMediaSettingManager::pushCopy(eq);
    QCOMPARE(gainsOf(copy), pushed);
    QCOMPARE(copy.m_preamp, 0.0);
    QCOMPARE(copy.m_count, gains.size());
    if (copy.m_count) {
        QVERIFY(copy.m_gains != eq.m_gains && copy.m_frequencies != eq.m_frequencies);
        QCOMPARE(QVector<double>(copy.m_frequencies, copy.m_frequencies + copy.m_count), frequencies);
    }
    QCOMPARE(gainsOf(eq), gains);

    // The hub keeps the gains and the preamp as given.
    m_hub->setEQSettings(eq);
    EqualizeSettings stored;
    m_hub->getEQSettings(stored);
    QCOMPARE(gainsOf(stored), gains);
    QCOMPARE(stored.m_preamp, gains.isEmpty() ? 0.0 : preamp);
}

void tst_QMediaSettingManager::withoutPlaybackObject()
{
    QMediaSettingManager hub;
    QCOMPARE(hub.getMediaType(), MediaType_None);
    QCOMPARE(hub.getScreenSize(RatioType_16_9), QSize(0, 0));
    QCOMPARE(hub.getOriginalResolution(), qMakePair(0u, 0u));
    // Nothing to send to: every operation only stores.
    MediaSettting record;
    record.m_ratio = RatioType_4_3;
    hub.setMediaSettting(record);
    hub.setSaveMediaSettting(false);
    hub.setSaveFontSettting(true);
    hub.updateSubtitleSettings();
    hub.updateEQSettings();
    hub.setAudioSettingsALL(AudioSettings());
    QCOMPARE(hub.getAspectRatio(), RatioType_4_3);
}

void tst_QMediaSettingManager::screenSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QSize>("size");
    QTest::newRow("720x480 source aspect") << "square480.mp4" << 0 << QSize(720, 480);
    QTest::newRow("720x480 pixel size") << "square480.mp4" << 1 << QSize(720, 480);
    QTest::newRow("720x480 16:9") << "square480.mp4" << 2 << QSize(853, 480);
    QTest::newRow("720x480 4:3") << "square480.mp4" << 3 << QSize(720, 540);
    QTest::newRow("720x480 9:16") << "square480.mp4" << 4 << QSize(720, 1280);
    QTest::newRow("720x480 3:4") << "square480.mp4" << 5 << QSize(720, 960);
    QTest::newRow("720x480 unknown choice is 1:1") << "square480.mp4" << 9 << QSize(720, 720);
    QTest::newRow("anamorphic source aspect") << "anamorphic.mp4" << 0 << QSize(1024, 576);
    QTest::newRow("anamorphic pixel size") << "anamorphic.mp4" << 1 << QSize(720, 576);
    QTest::newRow("no picture") << "audio.mp3" << 2 << QSize(0, 0);
}

void tst_QMediaSettingManager::screenSize()
{
    QFETCH(QString, name);
    QFETCH(int, ratio);
    QFETCH(QSize, size);
    QVERIFY(open(name.toUtf8().constData()));
    QCOMPARE(m_hub->getScreenSize(RatioType(ratio)), size);
    m_player->closePlay();
    QCOMPARE(m_hub->getScreenSize(RatioType(ratio)), QSize(0, 0));
}

void tst_QMediaSettingManager::cancelRestoresThePictureOfTheSavedRecord()
{
    QVERIFY(open("square480.mp4"));
    m_hub->setMediaSettting(MediaSettting());
    const QRect source = m_pane->getVideoElementRect();
    QCOMPARE(source, QRect(0, 33, 800, 533));

    // A dialog page changes the working record: the picture follows at once.
    m_hub->setAspectRatio(RatioType_16_9);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 75, 800, 450));
    m_hub->setRotate(90, 0);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(231, 0, 337, 600));

    m_hub->setSaveMediaSettting(false);
    QCOMPARE(m_hub->getAspectRatio(), RatioType_Source);
    QCOMPARE(m_hub->getDegree(), 0);
    QCOMPARE(m_pane->getVideoElementRect(), source);

    // OK keeps it.
    m_hub->setAspectRatio(RatioType_4_3);
    m_hub->setSaveMediaSettting(true);
    m_hub->setSaveMediaSettting(false);
    QCOMPARE(m_hub->getAspectRatio(), RatioType_4_3);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 0, 800, 600));
}

void tst_QMediaSettingManager::setAllSurvivesACancel()
{
    QVERIFY(open("square480.mp4"));
    m_hub->setMediaSettting(MediaSettting());
    m_hub->setFillModeAll(2);
    m_hub->setAspectRatio(RatioType_3_4);
    m_hub->setSaveMediaSettting(false);
    QCOMPARE(m_hub->getFillMode(), 2);
    QCOMPARE(m_hub->getAspectRatio(), RatioType_Source);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(0, 0, 800, 600));

    m_hub->setFillModeAll(0);
    m_hub->setRotateAll(270, 1);
    m_hub->setSaveMediaSettting(false);
    QCOMPARE(m_hub->getDegree(), 270);
    QCOMPARE(m_hub->getMirror(), 1);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(200, 0, 400, 600));
}

void tst_QMediaSettingManager::wholeRecordReachesThePlaybackObject()
{
    QVERIFY(open("square480.mp4"));
    QCOMPARE(m_hub->getMediaType(), MediaType_Video);
    MediaSettting record;
    record.m_ratio = RatioType_9_16;
    m_hub->setMediaSettting(record);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(231, 0, 337, 600));
    record.m_ratio = RatioType_Source;
    record.m_rotate = 90;
    m_hub->setMediaSettting(record);
    QCOMPARE(m_pane->getVideoElementRect(), QRect(200, 0, 400, 600));

    QVERIFY(open("audio.mp3"));
    QCOMPARE(m_hub->getMediaType(), MediaType_Audio);
}

void tst_QMediaSettingManager::audioTrackSelectionReachesTheCodec()
{
    // movie.mkv: English track at 1 kHz, German track at 500 Hz.
    QVERIFY(open("movie.mkv"));
    m_hub->setMediaSettting(MediaSettting());
    m_player->StartPlay();
    const uint64_t player = m_player->getPlayer();
    const auto near = [player](int hz) { return qAbs(loudest(player).frequency - hz) < 60; };
    QTRY_VERIFY_WITH_TIMEOUT(near(1000), 3000);

    SubtitleValue_Info selection;
    selection.m_audioTrack = 1;
    m_hub->setSubtitle(selection);
    QTRY_VERIFY_WITH_TIMEOUT(near(500), 3000);

    m_player->setSeek(0);
    m_hub->setSaveMediaSettting(false);
    QTRY_VERIFY_WITH_TIMEOUT(near(1000), 3000);
}

void tst_QMediaSettingManager::effectsChangeThePicture()
{
    // Opened and paused on its first picture, which a change shows again.
    QVERIFY(open("clip.mp4"));
    m_hub->setMediaSettting(MediaSettting());
    auto *view = exposedOpenGlView(m_pane.get());
    QVERIFY(view);
    const auto shown = [view] { return meanGrey(drawnPicture(view)); };
    // The first picture is colourful test art, far from black.
    QTRY_VERIFY_WITH_TIMEOUT(shown() > 60, 5000);
    const double neutral = shown();

    EffectSettings brighter;
    brighter.m_brightness = 150;
    m_hub->setEffectSettings(brighter);
    QTRY_VERIFY_WITH_TIMEOUT(shown() > neutral + 40, 5000);

    m_hub->setSaveMediaSettting(false);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(shown() - neutral) < 3, 5000);

    EffectSettings darker;
    darker.m_brightness = -150;
    m_hub->setEffectSettings(darker);
    QTRY_VERIFY_WITH_TIMEOUT(shown() < neutral - 40, 5000);
}

void tst_QMediaSettingManager::equaliserPreampReachesTheSound()
{
    // One band at the 1 kHz tone: the preamp alone must lower it, also for the last band.
    QVERIFY(open("movie.mkv"));
    m_hub->setMediaSettting(MediaSettting());
    m_player->StartPlay();
    const uint64_t player = m_player->getPlayer();
    // The tone's level from the start of the medium, as the median of five readings, so that a block
    // that spans the seek counts for nothing; -1 when the tone is not heard.
    const auto steadyToneLevel = [this, player] {
        m_player->setSeek(0);
        QTest::qWait(300);
        QVector<int> levels;
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(100);
            const Peak peak = loudest(player);
            levels << (qAbs(peak.frequency - 1000) < 60 ? peak.level : -1);
        }
        std::sort(levels.begin(), levels.end());
        return levels.at(2);
    };
    const int tenDecibels = 65535 / 8;
    const int flat = steadyToneLevel();
    QVERIFY2(flat > 4 * tenDecibels, qPrintable(QString::number(flat)));

    const double frequency = 1000;
    const double gain = 0;
    EqualizeSettings toneBand;
    toneBand.setBands(&frequency, &gain, 1);
    toneBand.m_preamp = -20;
    m_hub->setEQSettings(toneBand);
    const int lowered = steadyToneLevel();
    QVERIFY2(lowered >= 0 && lowered < flat - tenDecibels, qPrintable(QStringLiteral("%1 %2").arg(flat).arg(lowered)));

    m_hub->setSaveMediaSettting(false);
    const int restored = steadyToneLevel();
    QVERIFY2(qAbs(restored - flat) < tenDecibels / 5, qPrintable(QStringLiteral("%1 %2").arg(flat).arg(restored)));
}

void tst_QMediaSettingManager::wholeRecordLeavesTheSpeed()
{
    QVERIFY(open("movie.mkv"));
    m_player->StartPlay();
    // Media time per wall-clock time, from the start once the seek has settled.
    const auto pace = [this] {
        m_player->setSeek(0);
        QTest::qWait(200);
        QElapsedTimer clock;
        const unsigned long long start = m_player->getCurrentPlayTime();
        clock.start();
        QTest::qWait(800);
        const unsigned long long end = m_player->getCurrentPlayTime();
        return double(end - start) / (clock.nsecsElapsed() / 1000.0);
    };

    MediaSettting record;
    record.m_audioSettings.m_speed = 200;
    m_hub->setMediaSettting(record);
    const double kept = pace();
    QVERIFY2(kept < 1.5, qPrintable(QString::number(kept)));

    m_hub->setAudioSettingsALL(record.m_audioSettings);
    const double doubled = pace();
    QVERIFY2(doubled > 1.5, qPrintable(QString::number(doubled)));
}

QTEST_MAIN(tst_QMediaSettingManager)
#include "tst_qmediasettingmanager.moc"
