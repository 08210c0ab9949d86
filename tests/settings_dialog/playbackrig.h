#ifndef PLAYBACKRIG_H
#define PLAYBACKRIG_H

// A medium open in a real playback object on a shown video pane, with the settings hub on it, as
// the player window sets them up; and readings of what the user sees and hears.
#include "codec/rqcodec.h"
#include "engine/mediasettting.h"
#include "engine/nsopenglvideoview.h"
#include "engine/qmediaelementwindow.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "openglview.h"

#include <QImage>
#include <QTest>
#include <cstring>
#include <memory>

struct PlaybackRig
{
    std::unique_ptr<QMediaElementWindow> pane;
    std::unique_ptr<ZRQPlayObject> player;
    std::unique_ptr<QMediaSettingManager> hub;

    // Opens the fixture paused on its first picture and pushes a default record, as a file open does;
    // a second open plays the next medium on the same pane, player and hub.
    bool open(const char *fixture)
    {
        if (!pane) {
            pane.reset(new QMediaElementWindow);
            pane->setWindowFlags(Qt::FramelessWindowHint);
            pane->resize(640, 480);
            pane->move(0, 0);
            pane->show();
            if (!QTest::qWaitForWindowExposed(pane.get(), 180000))
                return false;
            player.reset(new ZRQPlayObject);
            player->setPlayWindows(pane.get());
            hub.reset(new QMediaSettingManager);
            hub->setMediaPlayer(player.get());
        }
        PlayItemInfo item;
        item.path = QString(ZR_FIXTURES_DIR "/") + fixture;
        if (!player->SetPlayFile(&item, 0, 0))
            return false;
        hub->setMediaSettting(MediaSettting());
        return true;
    }

    ~PlaybackRig()
    {
        hub.reset();
        player.reset();
        pane.reset();
    }

    // A record read through one of the hub's getters that fill their argument.
    template <class T>
    T read(void (QMediaSettingManager::*getter)(T &) const) const
    {
        T record;
        (hub.get()->*getter)(record);
        return record;
    }

    // A fresh page of the settings dialog on the hub, after the record is pushed as a file open does.
    template <class Page>
    std::unique_ptr<Page> page(const MediaSettting &record = MediaSettting())
    {
        hub->setMediaSettting(record);
        std::unique_ptr<Page> made(new Page);
        made->setSettingManager(hub.get());
        return made;
    }

    NSOpenGLVideoView *view() const { return pane ? openGlView(pane.get()) : nullptr; }

    // The picture on the pane; null before one is shown.
    QImage picture() const
    {
        NSOpenGLVideoView *video = view();
        return video ? drawnPicture(video) : QImage();
    }

    // Pixels of light text on the dark picture, or of red text, in a third of the picture's height
    // (0 top, 1 middle, 2 bottom) or, for -1, in the whole of it.
    static int textPixels(const QImage &picture, int third, bool red = false)
    {
        if (picture.isNull())
            return -1;
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        const int top = third < 0 ? 0 : image.height() * third / 3;
        const int bottom = third < 0 ? image.height() : image.height() * (third + 1) / 3;
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = line[x];
                count += red ? qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90 : qGray(p) > 160;
            }
        }
        return count;
    }

    // The mean grey level of the picture on the pane, 0..255; -1 before one is shown.
    double shownGrey() const
    {
        NSOpenGLVideoView *video = view();
        if (!video)
            return -1;
        const QImage picture = drawnPicture(video);
        if (picture.isNull())
            return -1;
        const QImage mean = picture.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return qGray(mean.pixel(0, 0));
    }

    // The level of the spectrum bins around a frequency in the latest sound given out: 0 is -80 dB
    // or less, 65535 a full-scale sine; -1 without sound.
    int levelAt(int hz) const
    {
        const uint64_t handle = player->getPlayer();
        unsigned char *block = codecGetAudioBuffer(handle, 1);
        if (!block)
            return -1;
        quint32 bins = 0;
        quint64 rate = 0;
        quint32 length = 0;
        std::memcpy(&bins, block + 16, 4);
        std::memcpy(&rate, block + 24, 8);
        std::memcpy(&length, block + 40, 4);
        int level = -1;
        if (bins && rate) {
            const qint64 centre = qint64(hz) * 2 * bins / qint64(rate);
            for (qint64 bin = qMax<qint64>(0, centre - 2); bin <= centre + 2 && bin < bins && bin < length / 2; ++bin) {
                quint16 value = 0;
                std::memcpy(&value, block + 44 + 2 * bin, 2);
                level = qMax(level, int(value));
            }
        }
        codecReleaseAudioBuffer(handle, block);
        return level;
    }
};

#endif
