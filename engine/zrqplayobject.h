#ifndef ZRQPLAYOBJECT_H
#define ZRQPLAYOBJECT_H

#include "engine/mediasettting.h"
#include "engine/playiteminfo.h"
#include "engine/playtypes.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <cstdint>

class QMediaElementWindow;
class QPlayUpdateThread;
class QTimer;

// The codec callback: hands each decoded picture to the playback object given as context.
int VideoFrameLoop(void *context, void *frame);

// Opens and plays every medium through one codec player that lives as long as this object,
// polls the position, shapes the picture on the video pane and passes settings to the player.
class ZRQPlayObject : public QObject
{
    Q_OBJECT

public:
    explicit ZRQPlayObject(QObject *parent = nullptr);
    ~ZRQPlayObject() override;

    void setPlayWindows(QMediaElementWindow *pane);
    uint64_t getPlayer() const;

    bool SetPlayFile(PlayItemInfo *item, unsigned int a, unsigned int b);
    bool SetPlayFile(QString path, unsigned int a, unsigned int b);
    bool SetPlayProgram(int program, unsigned long long start);

    bool setSeek(unsigned long long position);
    unsigned long long getCurrentPlayTime();

    bool isPlayer();
    bool isPause();
    PlayState getPlayerState() const;
    MediaType getMediaType();
    void IsNoVideoSet();

    void InitPlayViewParameter();
    void getPlayModeInfo();

    // Picture geometry.
    void setAspectRatio(RatioType type);
    void setMode(int mode);
    void setRotate(int degree, int mirror);
    void setFlip(int degree, int mirror);
    void CalcCropPanScan();
    QPair<uint32_t, uint32_t> getOriginalResolution();
    QPair<uint32_t, uint32_t> getOriginalAspectRatio();
    int DrawVideoFrame(void *frame);
    // Pictures of the open medium shown, shown again and dropped: the library's, less the pictures the
    // video pane refused (those are counted as dropped). paneShown, if given, gets the pictures the pane drew.
    void getFrameCounts(int64_t *shown, int64_t *repeated, int64_t *dropped, int64_t *paneShown = nullptr);

    // Sound, picture effects and subtitles.
    void setAudioDelay(double seconds);
    void setAudioSetting(AudioSettings settings);
    void setEQSettings(EqualizeSettings settings);
    void setEffectSettings(EffectSettings settings);
    void setDeinterlace(int mode);
    void setSubtitle(SubtitleValue_Info selection);
    void setSubtitleSettings(SubtitleSettings style);
    // Appends the audio names and subtitle choices of the file at path, probed on its own,
    // without the captions entry.
    void getSubltListOrAudioList(QList<SubltItemInfo> &subtitles, QList<QString> &audioTracks,
                                 SubtitleValue_Info &selection, QString path);

    // "hh:mm:ss.cc" of a time in microseconds; the hundredths are cut, not rounded.
    static QString timeWithHundredths(uint64_t time);
    // The length of the BMP file in a snapshot block, or 0 when its header does not describe a whole
    // picture: the length field at byte 2 is trusted only as far as the header backs it.
    static uint32_t snapshotLength(const unsigned char *block);
    // The codec's audio rate percent for a speed: rate * 100 / speed, 0 for a speed of 0.
    static unsigned int audioRatePercent(const AudioSettings &settings);

public slots:
    void StartPlay();
    void OnPlayVideo();
    void pausePlay();
    void OnPauseVideo();
    void OnBtnStop();
    void closePlay();
    void setSoundVolume(int value);
    void ProgressValueChange(double ratio);
    void beginAsyncSeek();
    void endAsyncSeek();
    void videoFrameStepUp();
    void videoFrameStepDown();
    void ResizeVideoWindow(bool keepScale = true);
    bool Screenshots(QString outPath, QString format);
    // Audio blocks are made only while someone shows them: an audio-only medium plays and this is
    // on (the default).
    void setAudioDataShown(bool shown);

signals:
    void emitPlayTime(QString time);
    void emitPlayTime2(QString time);
    void emitPlayTime3(uint64_t time);
    void emitAudioData(unsigned char *data, int sps);
    void emitPlayFinish();
    void emitPlayCompleted(PlayState playState);
    void emitIsHaveVideo(bool bHave);
    void emitMediaType(MediaType mediaType);
    void emitPlayState(bool bPlay);
    void emitPlayPro(double pro);
    void emitClosePlay();
    void emitRefreshPlayView();
    void emitProgressEnable(bool enable);

private slots:
    void VideoFinished();
    void UpdateTime();
    void ShowTime(uint64_t time);
    void OnAudioDataTime();
    void VideoFrameDropped();

private:
    // Fractions of the source picture.
    struct PictureRect
    {
        double x = 0;
        double y = 0;
        double height = 1.0;
        double width = 1.0;
    };

    void InitPlay();
    bool openMedium(const QString &path, unsigned int a, unsigned int b, uint64_t startTime, bool showStart);
    bool failOpen(bool refusedByLibrary);
    void stopTimers();
    void frameStep(int direction);
    bool hasVideo();
    void sendCropRect(const PictureRect &rect);
    // The pane's aspect as the output aspect, turned with the picture.
    void sendPaneAspect();

    uint64_t m_player = 0;
    PlayState m_state = PlayState(0);
    QTimer *m_timer = nullptr;
    QTimer *m_audioTimer = nullptr;
    float m_volume = 100.0f;
    QMediaElementWindow *m_playWindow = nullptr;
    bool m_bOnlyAudio = false;
    bool m_bAudioDataShown = true;
    bool m_bKeepScale = true;
    int m_nWidth = 0;
    int m_nHeight = 0;
    uint32_t m_aspectNum = 0;
    uint32_t m_aspectDen = 0;
    uint32_t m_forceAspectNum = 0;
    uint32_t m_forceAspectDen = 0;
    PictureRect m_crop;
    PictureRect m_panScan;
    int m_fillMode = 0;
    int m_rotate = 0;
    int m_mirror = 0;
    RatioType m_ratio = RatioType_Source;
    bool m_bDisc = false;
    QPlayUpdateThread *m_updateThread = nullptr;
    QString m_path;
    bool m_bAsyncSeek = false;
};

#endif
