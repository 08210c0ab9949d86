// The order in which the hub's whole-record pushes reach the codec player. The codec calls are
// wrapped at link time: each is recorded and then passed on to the real library.
#include "codec/rqcodec.h"
#include "engine/qmediaelementwindow.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"

#include <QtTest>
#include <memory>

namespace {
QStringList g_calls;
bool g_recording = false;

void record(const char *name)
{
    if (g_recording)
        g_calls << QString::fromLatin1(name);
}
}

extern "C" {
void __real_codecBeginSubtitleStyle(uint64_t);
int __real_codecSelectAudioTrack(uint64_t, int);
int __real_codecSelectSubtitleStream(uint64_t, int);
void __real_codecSetContrast(uint64_t, int);
void __real_codecSetEqualizer(uint64_t, const double *, const double *, int);
void __real_codecSetAudioDelay(uint64_t, int64_t);
void __real_codecSetCropRect(uint64_t, double, double, double, double);
void __real_codecSetOutputAspect(uint64_t, unsigned int, unsigned int);
void __real_codecSetRotation(uint64_t, int);
void __real_codecSetFlip(uint64_t, int);
void __real_codecSetDeinterlace(uint64_t, int);

void __wrap_codecBeginSubtitleStyle(uint64_t p) { record("style"); __real_codecBeginSubtitleStyle(p); }
int __wrap_codecSelectAudioTrack(uint64_t p, int i) { record("audio track"); return __real_codecSelectAudioTrack(p, i); }
int __wrap_codecSelectSubtitleStream(uint64_t p, int i) { record("subtitle"); return __real_codecSelectSubtitleStream(p, i); }
void __wrap_codecSetContrast(uint64_t p, int v) { record("effects"); __real_codecSetContrast(p, v); }
void __wrap_codecSetEqualizer(uint64_t p, const double *f, const double *g, int n)
{
    record("equaliser");
    __real_codecSetEqualizer(p, f, g, n);
}
void __wrap_codecSetAudioDelay(uint64_t p, int64_t d) { record("audio delay"); __real_codecSetAudioDelay(p, d); }
void __wrap_codecSetCropRect(uint64_t p, double x, double y, double w, double h)
{
    record("geometry");
    __real_codecSetCropRect(p, x, y, w, h);
}
void __wrap_codecSetOutputAspect(uint64_t p, unsigned int n, unsigned int d)
{
    record("geometry");
    __real_codecSetOutputAspect(p, n, d);
}
void __wrap_codecSetRotation(uint64_t p, int v) { record("rotation"); __real_codecSetRotation(p, v); }
void __wrap_codecSetFlip(uint64_t p, int v) { record("flip"); __real_codecSetFlip(p, v); }
void __wrap_codecSetDeinterlace(uint64_t p, int v) { record("deinterlace"); __real_codecSetDeinterlace(p, v); }
}

class tst_QMediaSettingManagerOrder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void wholeRecordPushes_data();
    void wholeRecordPushes();

private:
    std::unique_ptr<QMediaElementWindow> m_pane;
    std::unique_ptr<ZRQPlayObject> m_player;
    std::unique_ptr<QMediaSettingManager> m_hub;
};

void tst_QMediaSettingManagerOrder::init()
{
    m_pane.reset(new QMediaElementWindow);
    m_pane->resize(640, 360);
    m_player.reset(new ZRQPlayObject);
    m_player->setPlayWindows(m_pane.get());
    m_hub.reset(new QMediaSettingManager);
    m_hub->setMediaPlayer(m_player.get());
    PlayItemInfo item;
    item.path = ZR_FIXTURES_DIR "/movie.mkv";
    QVERIFY(m_player->SetPlayFile(&item, 0, 0));
}

void tst_QMediaSettingManagerOrder::cleanup()
{
    g_recording = false;
    g_calls.clear();
    m_hub.reset();
    m_player.reset();
    m_pane.reset();
}

void tst_QMediaSettingManagerOrder::wholeRecordPushes_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("turns");
    // Both turn operations send rotation and mirror; only the rotate one lays the picture out again
    // first. A record set whole rotates before it flips, a cancel flips first.
    QTest::newRow("set whole record") << false << QStringList({"rotation", "flip", "rotation", "flip"});
    QTest::newRow("cancel") << true << QStringList({"rotation", "flip", "geometry", "rotation", "flip"});
}

void tst_QMediaSettingManagerOrder::wholeRecordPushes()
{
    QFETCH(bool, cancel);
    QFETCH(QStringList, turns);

    MediaSettting record;
    const double frequencies[2] = {1000, 4000};
    const double gains[2] = {-6, 3};
    record.m_equalize.setBands(frequencies, gains, 2);
    record.m_subtitleValue.m_audioTrack = 1;
    record.m_subtitleValue.m_embeddedCount = 1;
    record.m_rotate = 90;
    record.m_mirror = 1;
    record.m_audioDelay = 0.25;

    g_recording = true;
    if (cancel) {
        m_hub->setMediaSettting(record);
        m_hub->setRotate(180, 0);
        g_calls.clear();
        m_hub->setSaveMediaSettting(false);
    } else {
        m_hub->setMediaSettting(record);
    }
    g_recording = false;

    QStringList order;
    for (const QString &call : qAsConst(g_calls))
        if (order.isEmpty() || order.last() != call)
            order << call;
    const QStringList expected = QStringList({"style", "audio track", "subtitle", "effects", "equaliser",
                                              "audio delay", "geometry"})
                                 + turns + QStringList({"deinterlace"});
    QCOMPARE(order, expected);
    QCOMPARE(m_hub->getDegree(), 90);
}

QTEST_MAIN(tst_QMediaSettingManagerOrder)
#include "tst_qmediasettingmanager_order.moc"
