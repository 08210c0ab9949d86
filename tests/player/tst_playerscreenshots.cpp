// Pictures of the control bar, the idle cover and the audio pane as an X server shows them, written
// to <build>/screenshots for the documentation (docs/screenshots keeps the committed copies).
#include "player/playbtnwidget.h"
#include "player/qaudiodatawidget.h"
#include "player/qaudioelementwindow.h"
#include "player/qcoverwindow.h"

#include "engine/playmetatypes.h"
#include "engine/zrqplayobject.h"
#include "levelbars.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace LevelBars;

class tst_PlayerScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlBar();
    void cover();
    void audioPaneWithBars();

private:
    QString m_folder;
};

namespace {

const QColor Accent(253, 94, 105);

bool save(const QImage &image, const QString &file)
{
    return !image.isNull() && image.save(file, "PNG");
}

bool hasColour(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

}

void tst_PlayerScreenshots::initTestCase()
{
    registerPlayMetaTypes();
    m_folder = ZR_ROOT_DIR "/screenshots";
    QVERIFY(QDir().mkpath(m_folder));
}

// The bar while a file plays, over a dark picture as it floats over the video.
void tst_PlayerScreenshots::controlBar()
{
    QWidget backdrop;
    backdrop.setAutoFillBackground(true);
    QPalette palette = backdrop.palette();
    palette.setColor(QPalette::Window, QColor(34, 40, 48));
    backdrop.setPalette(palette);
    backdrop.resize(800, 120);
    PlayBtnWidget bar(&backdrop);
    backdrop.show();
    bar.setGeometry(backdrop.x() + 30, backdrop.y() + 40, 740, 60);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.VideoBeginPlay(true);
    bar.setVolume(70.0);
    bar.setStartTime("00:01:07");
    bar.setEndTime("00:03:02");
    bar.setProcessValue(0.37);
    bar.resize(741, 60);
    bar.resize(740, 60);

    QImage shot(800, 120, QImage::Format_RGB32);
    shot.fill(QColor(34, 40, 48));
    QPainter painter(&shot);
    painter.drawPixmap(30, 40, bar.grab());
    painter.end();
    QVERIFY(hasColour(shot, Accent));
    QVERIFY(save(shot, m_folder + "/control_bar.png"));
}

void tst_PlayerScreenshots::cover()
{
    QCoverWindow cover;
    cover.resize(711, 400);
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    const QImage shot = cover.grab().toImage();
    QVERIFY(hasColour(shot, QColor(1, 1, 1)));
    QVERIFY(save(shot, m_folder + "/idle_cover.png"));
}

// Pink noise lights every bar; the picture is taken right after a block drew them.
void tst_PlayerScreenshots::audioPaneWithBars()
{
    QTemporaryDir media;
    const QString noise = media.filePath("noise.mp3");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            "anoisesrc=color=pink:amplitude=0.4:duration=20", "-c:a", "libmp3lame", noise});
    QVERIFY(ffmpeg.waitForFinished(120000));
    QCOMPARE(ffmpeg.exitCode(), 0);

    QWidget video;
    video.setAutoFillBackground(true);
    QPalette palette = video.palette();
    palette.setColor(QPalette::Window, Qt::black);
    video.setPalette(palette);
    video.resize(640, 360);
    auto *pane = new QAudioElementWindow(&video);
    pane->resize(video.size());
    video.show();
    QVERIFY(QTest::qWaitForWindowExposed(&video));
    auto *levels = pane->findChild<QAudioDataWidget *>();

    ZRQPlayObject player;
    QImage shot;
    connect(&player, &ZRQPlayObject::emitAudioData, pane, &QAudioElementWindow::setAudioData);
    connect(&player, &ZRQPlayObject::emitAudioData, this, [&](unsigned char *data, int) {
        if (!data || !shot.isNull())
            return;
        const QImage image = video.grab().toImage();
        const QImage panel = image.copy(levels->geometry());
        int lit = 0;
        for (int bar = 0; bar < 30; ++bar)
            lit += cells(panel, bar) >= 3;
        if (lit >= 25)
            shot = image;
    });
    PlayItemInfo item;
    item.path = noise;
    QVERIFY(player.SetPlayFile(&item, 0, 0));
    player.StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(!shot.isNull(), 20000);
    player.OnBtnStop();
    QVERIFY(save(shot, m_folder + "/audio_pane.png"));
}

QTEST_MAIN(tst_PlayerScreenshots)
#include "tst_playerscreenshots.moc"
