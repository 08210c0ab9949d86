#include "codec/rqcodec.h"
#include "engine/playmetatypes.h"
#include "engine/qmediaelementwindow.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "playsignallog.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <memory>

static const uint64_t Second = 1000000;

static QString fixture(const char *name)
{
    return QString(ZR_FIXTURES_DIR "/") + name;
}

// The loudest bin of a spectrum block as the audio pane gets it.
static int spectrumPeak(const unsigned char *block)
{
    uint32_t payload;
    std::memcpy(&payload, block + 40, sizeof payload);
    int peak = 0;
    for (uint32_t k = 0; k < payload / 2; ++k) {
        uint16_t magnitude;
        std::memcpy(&magnitude, block + 44 + 2 * k, sizeof magnitude);
        peak = qMax(peak, int(magnitude));
    }
    return peak;
}

// The intervals of the object's running timers, sorted.
static QList<int> runningTimers(ZRQPlayObject &player)
{
    QList<int> intervals;
    for (QTimer *timer : player.findChildren<QTimer *>())
        if (timer->isActive())
            intervals << timer->interval();
    std::sort(intervals.begin(), intervals.end());
    return intervals;
}

class tst_ZRQPlayObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void timeTexts_data();
    void timeTexts();
    void audioRatePercent_data();
    void audioRatePercent();
    void openRefused_data();
    void openRefused();
    void openAndStart_data();
    void openAndStart();
    void openAtResumePositionShowsIt();
    void pauseStopsTimersAndClearsAudio();
    void startAfterStopReopensFromStart();
    void endOfMediumAtAPoll();
    void closeAfterPlayReportsTheFinishTwice();
    void nothingOpen();
    void progressFraction();
    void progressValueChange_data();
    void progressValueChange();
    void seekAndFrameStep();
    void programSwitch();
    void negativeVolumeIsSilence();
    void equaliserCutsTheTone();
    void speedChangesThePace_data();
    void speedChangesThePace();
    void discOpenAndStop_data();
    void discOpenAndStop();
    void programSwitchWhileDragging();
    void subtitleAndAudioLists();

private:
    bool open(const char *name, uint64_t start = 0);

    std::unique_ptr<QMediaElementWindow> m_pane;
    std::unique_ptr<ZRQPlayObject> m_player;
    std::unique_ptr<PlaySignalLog> m_log;
};

void tst_ZRQPlayObject::initTestCase()
{
    registerPlayMetaTypes();
}

void tst_ZRQPlayObject::init()
{
    m_pane.reset(new QMediaElementWindow);
    m_pane->setWindowFlags(Qt::FramelessWindowHint);
    m_pane->resize(640, 480);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    m_player.reset(new ZRQPlayObject);
    QVERIFY(m_player->getPlayer() != 0);
    m_player->setPlayWindows(m_pane.get());
    m_log.reset(new PlaySignalLog(m_player.get()));
}

void tst_ZRQPlayObject::cleanup()
{
    m_log.reset();
    m_player.reset();
    m_pane.reset();
}

bool tst_ZRQPlayObject::open(const char *name, uint64_t start)
{
    PlayItemInfo item;
    item.path = fixture(name);
    item.Play_to_time_ = start;
    return m_player->SetPlayFile(&item, 0, 0);
}

void tst_ZRQPlayObject::timeTexts_data()
{
    QTest::addColumn<quint64>("time");
    QTest::addColumn<QString>("shortText");
    QTest::addColumn<QString>("longText");
    QTest::newRow("zero") << quint64(0) << "00:00:00" << "00:00:00.00";
    QTest::newRow("hundredths are cut") << quint64(3723456000) << "01:02:03" << "01:02:03.45";
    QTest::newRow("two hours") << quint64(7200) * Second << "02:00:00" << "02:00:00.00";
    QTest::newRow("ninety seconds") << quint64(90) * Second << "00:01:30" << "00:01:30.00";
    QTest::newRow("below a second") << quint64(999999) << "00:00:00" << "00:00:00.99";
    QTest::newRow("hours keep their digits") << quint64(100) * 3600 * Second << "100:00:00" << "100:00:00.00";
    // A 32-bit millisecond count wraps just below 597 hours.
    QTest::newRow("beyond 32-bit milliseconds") << (quint64(600) * 3600 + 59) * Second << "600:00:59"
                                                << "600:00:59.00";
}

void tst_ZRQPlayObject::timeTexts()
{
    QFETCH(quint64, time);
    QFETCH(QString, shortText);
    QFETCH(QString, longText);
    QCOMPARE(ZRHelper::getTime(time), shortText);
    QCOMPARE(ZRQPlayObject::timeWithHundredths(time), longText);
}

void tst_ZRQPlayObject::audioRatePercent_data()
{
    QTest::addColumn<uint>("speed");
    QTest::addColumn<uint>("rate");
    QTest::addColumn<uint>("percent");
    QTest::newRow("normal") << 100u << 100u << 100u;
    QTest::newRow("slower") << 80u << 100u << 125u;
    QTest::newRow("faster") << 120u << 100u << 83u;
    QTest::newRow("speed 0") << 0u << 100u << 0u;
}

void tst_ZRQPlayObject::audioRatePercent()
{
    QFETCH(uint, speed);
    QFETCH(uint, rate);
    QFETCH(uint, percent);
    AudioSettings settings;
    settings.m_speed = speed;
    settings.m_rate = rate;
    QCOMPARE(ZRQPlayObject::audioRatePercent(settings), percent);
}

void tst_ZRQPlayObject::openRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("not a medium") << "notvideo.mp4";
    QTest::newRow("empty file") << "empty.mp4";
    QTest::newRow("missing file") << "missing.mp4";
}

void tst_ZRQPlayObject::openRefused()
{
    QFETCH(QString, name);
    QVERIFY(open("clip.mp4"));
    m_log->entries.clear();

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!open(name.toUtf8().constData()));
    QVERIFY(clock.elapsed() >= 10);
    QCOMPARE(m_player->getPlayerState(), PlayState_Completed);
    QCOMPARE(m_log->entries, QStringList({"emitPlayFinish()", "emitPlayCompleted(3)", "emitMediaType(0)"}));
    QCOMPARE(m_player->getMediaType(), MediaType_None);
    QVERIFY(runningTimers(*m_player).isEmpty());

    // A start finds nothing playable.
    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_log->entries,
             QStringList({"emitPlayState(true)", "emitPlayFinish()", "emitPlayCompleted(3)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Completed);
}

void tst_ZRQPlayObject::openAndStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("video");
    QTest::addColumn<QList<int>>("timers");
    // Media longer than the wait for the position reports, whatever the machine's load.
    QTest::newRow("video") << "long.mp4" << true << QList<int>({100});
    QTest::newRow("audio only") << "long.mp3" << false << QList<int>({50, 100});
}

void tst_ZRQPlayObject::openAndStart()
{
    QFETCH(QString, name);
    QFETCH(bool, video);
    QFETCH(QList<int>, timers);
    const QString kind = video ? "true" : "false";
    const QString type = video ? "2" : "1";

    QVERIFY(open(name.toUtf8().constData()));
    QCOMPARE(m_player->getPlayerState(), PlayState(0));
    QCOMPARE(m_log->only({"emitPlayTime3", "emitIsHaveVideo", "emitMediaType"}),
             QStringList({"emitPlayTime3(0)", "emitIsHaveVideo(" + kind + ")", "emitMediaType(" + type + ")"}));
    QCOMPARE(m_log->entries.size(), 5);
    QCOMPARE(m_log->values("emitPlayTime").value(0), QString("00:00:00 / 00:00:10"));
    QVERIFY(m_log->values("emitPlayTime2").value(0).startsWith("00:00:00.00 / 00:00:10."));
    QCOMPARE(m_player->getMediaType(), video ? MediaType_Video : MediaType_Audio);
    QVERIFY(runningTimers(*m_player).isEmpty());
    QVERIFY(!m_player->isPlayer());

    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_log->entries, QStringList({"emitPlayState(true)", "emitIsHaveVideo(" + kind + ")",
                                          "emitMediaType(" + type + ")", "emitProgressEnable(true)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Playing);
    QVERIFY(m_player->isPlayer());
    QCOMPARE(runningTimers(*m_player), timers);

    QTRY_VERIFY_WITH_TIMEOUT(m_log->values("emitPlayPro").size() >= 3, 10000);
    if (video) {
        QVERIFY(m_log->values("emitAudioData").isEmpty());
    } else {
        // Half the sample rate of the 44.1 or 48 kHz fixture.
        QTRY_VERIFY_WITH_TIMEOUT(!m_log->values("emitAudioData").isEmpty(), 10000);
        const QString block = m_log->values("emitAudioData").first();
        QVERIFY2(block == "block,22050" || block == "block,24000", qPrintable(block));
    }
}

void tst_ZRQPlayObject::openAtResumePositionShowsIt()
{
    QVERIFY(open("clip.mp4", 1200000));
    QCOMPARE(m_log->values("emitPlayTime3"), QStringList({"1200000"}));
    QCOMPARE(m_log->values("emitPlayTime"), QStringList({"00:00:01 / 00:00:02"}));
    QVERIFY(m_log->values("emitPlayTime2").value(0).startsWith("00:00:01.20 / 00:00:02."));
    const uint64_t now = m_player->getCurrentPlayTime();
    QVERIFY2(now >= 1100000 && now <= 1300000, qPrintable(QString::number(now)));
}

void tst_ZRQPlayObject::pauseStopsTimersAndClearsAudio()
{
    QVERIFY(open("audio.mp3"));
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 300000, 10000);

    m_log->entries.clear();
    m_player->pausePlay();
    QCOMPARE(m_log->entries, QStringList({"emitPlayState(false)", "emitAudioData(null,0)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Paused);
    QVERIFY(m_player->isPause());
    QVERIFY(runningTimers(*m_player).isEmpty());

    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_player->getPlayerState(), PlayState_Playing);
    QCOMPARE(runningTimers(*m_player), QList<int>({50, 100}));
}

void tst_ZRQPlayObject::startAfterStopReopensFromStart()
{
    QVERIFY(open("clip.mp4"));
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 800000, 10000);

    m_log->entries.clear();
    m_player->OnBtnStop();
    // The closed player knows no duration any more.
    QCOMPARE(m_log->entries,
             QStringList({"emitPlayTime3(0)", "emitPlayTime(00:00:00 / 00:00:00)",
                          "emitPlayTime2(00:00:00.00 / 00:00:00.00)", "emitPlayPro(0)", "emitPlayFinish()",
                          "emitAudioData(null,0)", "emitProgressEnable(false)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Stopped);
    QVERIFY(runningTimers(*m_player).isEmpty());
    QCOMPARE(m_player->getMediaType(), MediaType_None);

    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_player->getPlayerState(), PlayState_Playing);
    QVERIFY(m_player->getCurrentPlayTime() < 800000);
    QCOMPARE(m_log->events(), QStringList({"emitPlayState(true)", "emitIsHaveVideo(true)", "emitMediaType(2)",
                                           "emitIsHaveVideo(true)", "emitMediaType(2)",
                                           "emitProgressEnable(true)"}));
    QCOMPARE(m_log->values("emitPlayTime3").value(0), QString("0"));
    QCOMPARE(m_log->values("emitPlayTime").value(0), QString("00:00:00 / 00:00:02"));
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 500000, 10000);
}

void tst_ZRQPlayObject::endOfMediumAtAPoll()
{
    QVERIFY(open("clip.mp4"));
    m_player->StartPlay();
    QTRY_COMPARE_WITH_TIMEOUT(m_player->getPlayerState(), PlayState_Completed, 20000);
    QCOMPARE(m_log->events().mid(m_log->events().size() - 3),
             QStringList({"emitAudioData(null,0)", "emitPlayFinish()", "emitPlayCompleted(3)"}));
    QVERIFY(runningTimers(*m_player).isEmpty());
    const QStringList progress = m_log->values("emitPlayPro");
    QVERIFY(!progress.isEmpty());
    QVERIFY(progress.last().toDouble() > 0.8);
}

void tst_ZRQPlayObject::closeAfterPlayReportsTheFinishTwice()
{
    QVERIFY(open("clip.mp4"));
    m_player->StartPlay();
    m_log->entries.clear();
    m_player->closePlay();
    QCOMPARE(m_log->only({"emitPlayPro", "emitPlayFinish", "emitPlayCompleted", "emitClosePlay",
                          "emitAudioData", "emitProgressEnable"}),
             QStringList({"emitPlayPro(0)", "emitPlayFinish()", "emitAudioData(null,0)",
                          "emitProgressEnable(false)", "emitPlayPro(0)", "emitPlayFinish()", "emitClosePlay()",
                          "emitAudioData(null,0)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Stopped);
}

void tst_ZRQPlayObject::nothingOpen()
{
    m_player->OnBtnStop();
    QVERIFY(m_log->entries.isEmpty());

    m_player->pausePlay();
    QCOMPARE(m_log->entries, QStringList({"emitPlayState(false)"}));

    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_log->entries, QStringList({"emitPlayState(true)", "emitPlayState(false)"}));

    QCOMPARE(m_player->getPlayerState(), PlayState(0));
    QCOMPARE(m_player->getMediaType(), MediaType_None);
    QCOMPARE(m_player->getCurrentPlayTime(), 0ull);
    QVERIFY(!m_player->isPlayer());
    QVERIFY(!m_player->isPause());
}

void tst_ZRQPlayObject::progressFraction()
{
    QVERIFY(open("clip.mp4"));
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_log->values("emitPlayPro").size() >= 5, 10000);
    double previous = 0;
    for (const QString &value : m_log->values("emitPlayPro")) {
        const double fraction = value.toDouble();
        QVERIFY2(fraction > 0 && fraction <= 1.0, qPrintable(value));
        QVERIFY(fraction >= previous);
        previous = fraction;
    }
    // Each poll shows the time it measured.
    QCOMPARE(m_log->values("emitPlayTime3").size(), m_log->values("emitPlayPro").size() + 1);
}

void tst_ZRQPlayObject::progressValueChange_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("expected");
    QTest::newRow("half") << 0.5 << 0.5;
    QTest::newRow("below zero") << -0.5 << 0.0;
    QTest::newRow("above one") << 1.5 << 1.0;
}

void tst_ZRQPlayObject::progressValueChange()
{
    QFETCH(double, ratio);
    QFETCH(double, expected);
    QVERIFY(open("clip.mp4"));
    m_player->setSeek(700000);
    m_log->entries.clear();
    m_player->ProgressValueChange(ratio);

    const QStringList shown = m_log->values("emitPlayTime3");
    QCOMPARE(shown.size(), 1);
    const double duration = double(2 * Second);
    QVERIFY2(qAbs(shown.first().toDouble() - duration * expected) < 0.1 * Second, qPrintable(shown.first()));
    const double now = double(m_player->getCurrentPlayTime());
    QVERIFY2(qAbs(now - duration * expected) < 0.15 * Second, qPrintable(QString::number(now)));
    if (ratio == 0.5)
        QCOMPARE(m_log->values("emitPlayTime").value(0), QString("00:00:01 / 00:00:02"));
}

void tst_ZRQPlayObject::seekAndFrameStep()
{
    QVERIFY(open("clip.mp4"));
    QVERIFY(m_player->setSeek(Second));
    m_log->entries.clear();

    m_player->videoFrameStepUp();
    QCOMPARE(m_log->entries.value(0), QString("emitPlayState(false)"));
    QCOMPARE(m_log->values("emitPlayTime").value(0), QString("00:00:01 / 00:00:02"));
    const uint64_t first = m_log->values("emitPlayTime3").value(0).toULongLong();
    QVERIFY2(first >= Second && first <= Second + 80000, qPrintable(QString::number(first)));
    QCOMPARE(m_player->getPlayerState(), PlayState_Paused);

    // Each step moves one 25 fps picture.
    m_log->entries.clear();
    m_player->videoFrameStepUp();
    const uint64_t forward = m_log->values("emitPlayTime3").value(0).toULongLong();
    QVERIFY2(qAbs(qint64(forward - first) - 40000) < 2000, qPrintable(QString::number(forward)));

    m_log->entries.clear();
    m_player->videoFrameStepDown();
    const uint64_t back = m_log->values("emitPlayTime3").value(0).toULongLong();
    QVERIFY2(qAbs(qint64(back - first)) < 2000, qPrintable(QString::number(back)));
    QVERIFY(m_log->values("emitPlayPro").value(0).toDouble() > 0.45);
}

void tst_ZRQPlayObject::programSwitch()
{
    QVERIFY(open("twoprog.ts"));
    QCOMPARE(m_player->getOriginalResolution(), qMakePair(320u, 240u));

    m_log->entries.clear();
    QVERIFY(m_player->SetPlayProgram(1, 0));
    QCOMPARE(m_log->only({"emitPlayTime3", "emitIsHaveVideo", "emitMediaType", "emitPlayFinish"}),
             QStringList({"emitPlayTime3(0)", "emitIsHaveVideo(true)", "emitMediaType(2)"}));
    QCOMPARE(m_player->getOriginalResolution(), qMakePair(160u, 120u));
    QCOMPARE(m_player->getPlayerState(), PlayState(0));

    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 300000, 10000);

    m_log->entries.clear();
    QVERIFY(!m_player->SetPlayProgram(7, 0));
    QCOMPARE(m_log->events(), QStringList({"emitPlayFinish()", "emitPlayCompleted(3)", "emitIsHaveVideo(true)",
                                           "emitMediaType(2)"}));
    QCOMPARE(m_player->getPlayerState(), PlayState_Completed);
    QVERIFY(runningTimers(*m_player).isEmpty());
}

void tst_ZRQPlayObject::negativeVolumeIsSilence()
{
    QList<int> peaks;
    const QMetaObject::Connection watch =
        connect(m_player.get(), &ZRQPlayObject::emitAudioData, this, [&peaks](unsigned char *data, int) {
            if (data)
                peaks << spectrumPeak(data);
        });

    // A negative volume is silence.
    m_player->setSoundVolume(-20);
    QVERIFY(open("audio.mp3"));
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 800000, 10000);
    peaks.clear();
    QTRY_VERIFY_WITH_TIMEOUT(peaks.size() >= 5, 10000);
    QCOMPARE(*std::max_element(peaks.begin(), peaks.end()), 0);

    m_player->setSoundVolume(100);
    QTRY_VERIFY_WITH_TIMEOUT(!peaks.isEmpty() && peaks.last() > 16384, 10000);
    disconnect(watch);
}

void tst_ZRQPlayObject::equaliserCutsTheTone()
{
    QList<int> peaks;
    const QMetaObject::Connection watch =
        connect(m_player.get(), &ZRQPlayObject::emitAudioData, this, [&peaks](unsigned char *data, int) {
            if (data)
                peaks << spectrumPeak(data);
        });
    QVERIFY(open("audio.mp3"));
    m_player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 500000, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(peaks.size() >= 3, 10000);
    const int flat = peaks.last();

    // One band on the 440 Hz tone, 24 dB down: a quarter of the 80 dB scale.
    const double frequency = 440;
    const double gain = -24;
    EqualizeSettings cut;
    cut.setBands(&frequency, &gain, 1);
    m_player->setEQSettings(cut);
    QTRY_VERIFY2_WITH_TIMEOUT(peaks.last() < flat - 12000,
                              qPrintable(QString("%1 -> %2").arg(flat).arg(peaks.last())), 10000);
    m_player->setEQSettings(EqualizeSettings());
    QTRY_VERIFY_WITH_TIMEOUT(peaks.last() > flat - 2000, 10000);
    disconnect(watch);
}

void tst_ZRQPlayObject::speedChangesThePace_data()
{
    QTest::addColumn<uint>("speed");
    QTest::addColumn<double>("slowest");
    QTest::addColumn<double>("fastest");
    QTest::newRow("normal") << 100u << 0.8 << 1.25;
    QTest::newRow("double") << 200u << 1.6 << 2.5;
    QTest::newRow("half") << 50u << 0.35 << 0.65;
}

void tst_ZRQPlayObject::speedChangesThePace()
{
    QFETCH(uint, speed);
    QFETCH(double, slowest);
    QFETCH(double, fastest);
    QVERIFY(open("movie.mkv"));
    AudioSettings settings;
    settings.m_speed = speed;
    m_player->setAudioSetting(settings);
    m_player->StartPlay();
    // Sound decoded before the change still plays at the old pace.
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 1000000, 10000);

    // Media time against wall time over most of a second.
    QElapsedTimer clock;
    clock.start();
    const uint64_t from = m_player->getCurrentPlayTime();
    QTest::qWait(800);
    const double pace = double(m_player->getCurrentPlayTime() - from) / 1000.0 / double(clock.elapsed());
    QVERIFY2(pace >= slowest && pace <= fastest, qPrintable(QString::number(pace)));
}

void tst_ZRQPlayObject::discOpenAndStop_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder") << "dvd";
    QTest::newRow("image") << "dvd.iso";
}

void tst_ZRQPlayObject::discOpenAndStop()
{
    QFETCH(QString, name);
    PlayItemInfo item;
    item.path = fixture(name.toUtf8().constData());
    item.File_isDVD = true;
    QVERIFY(m_player->SetPlayFile(&item, 0, 0));
    // No time text for a disc at open.
    QCOMPARE(m_log->entries, QStringList({"emitIsHaveVideo(true)", "emitMediaType(2)"}));

    m_player->StartPlay();
    QCOMPARE(m_player->getPlayerState(), PlayState_Playing);
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 200000, 10000);
    m_log->entries.clear();
    m_player->OnBtnStop();
    QCOMPARE(m_log->entries, QStringList({"emitPlayFinish()", "emitPlayCompleted(4)", "emitAudioData(null,0)",
                                          "emitProgressEnable(false)"}));

    // Started again, the disc is re-opened as a disc, with the time shown this time.
    m_log->entries.clear();
    m_player->StartPlay();
    QCOMPARE(m_player->getPlayerState(), PlayState_Playing);
    QCOMPARE(m_log->values("emitPlayTime3"), QStringList({"0"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_player->getCurrentPlayTime() > 200000, 10000);
}

void tst_ZRQPlayObject::programSwitchWhileDragging()
{
    PlayItemInfo item;
    item.path = fixture("dvd");
    item.File_isDVD = true;
    QVERIFY(m_player->SetPlayFile(&item, 0, 0));
    QVERIFY(m_player->SetPlayProgram(1, 0));
    // Not dragging: the library has no drag to end.
    QVERIFY(!codecEndAsyncSeek(m_player->getPlayer()));

    // A title switch opens the title afresh; the held slider's drag goes on in it.
    m_player->beginAsyncSeek();
    QVERIFY(m_player->SetPlayProgram(0, 500000));
    QVERIFY(codecEndAsyncSeek(m_player->getPlayer()));
    m_player->endAsyncSeek();
}

void tst_ZRQPlayObject::subtitleAndAudioLists()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString movie = folder.path() + "/movie.mkv";
    QVERIFY(QFile::copy(fixture("movie.mkv"), movie));
    QFile subtitle(folder.path() + "/movie.srt");
    QVERIFY(subtitle.open(QIODevice::WriteOnly));
    subtitle.write("1\n00:00:00,000 --> 00:00:01,000\nHello\n");
    subtitle.close();

    QList<SubltItemInfo> subtitles;
    QList<QString> audioTracks;
    SubtitleValue_Info selection;
    m_player->getSubltListOrAudioList(subtitles, audioTracks, selection, movie);
    QStringList labels;
    for (const SubltItemInfo &entry : subtitles)
        labels << QString::fromStdString(entry.m_text);
    QCOMPARE(labels.size(), 3);
    QCOMPARE(labels.first(), QString("Disable"));
    QVERIFY2(labels[1].endsWith("[subrip]"), qPrintable(labels[1]));
    QCOMPARE(labels.last(), QString("(movie)[SRT]"));
    QCOMPARE(QString::fromStdString(subtitles.last().m_itemData), subtitle.fileName());
    QCOMPARE(audioTracks.size(), 2);
    QCOMPARE(selection.m_embeddedCount, 1);
}

QTEST_MAIN(tst_ZRQPlayObject)
#include "tst_zrqplayobject.moc"
