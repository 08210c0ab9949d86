#include "engine/zrqplayobject.h"

#include "codec/rqcodec.h"
#include "engine/qconverteroperate.h"
#include "engine/qmediaelementwindow.h"
#include "engine/qplayupdatethread.h"
#include "engine/zrhelper.h"
#include "services/zrcommoninterface.h"
#include "services/zrlogging.h"

#include <QTimer>
#include <algorithm>
#include <cstring>

ZRQPlayObject::ZRQPlayObject(QObject *parent)
    : QObject(parent)
{
    InitPlay();
}

ZRQPlayObject::~ZRQPlayObject()
{
    // The tick thread must be gone before the player it ticks.
    delete m_updateThread;
    m_updateThread = nullptr;
    if (m_player) {
        codecClosePlayer(m_player);
        codecDestroyPlayer(m_player);
        m_player = 0;
    }
    m_timer->stop();
    delete m_timer;
    m_audioTimer->stop();
    delete m_audioTimer;
}

void ZRQPlayObject::InitPlay()
{
    m_player = codecCreatePlayer(-1);
    m_timer = new QTimer(this);
    m_audioTimer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &ZRQPlayObject::UpdateTime);
    connect(m_audioTimer, &QTimer::timeout, this, &ZRQPlayObject::OnAudioDataTime);
    const QString device = QConverterOperate::getAudioDeviceName();
    if (m_player && !device.isEmpty())
        codecSetAudioDevice(m_player, device.toUtf8().constData());
    codecSetGlobalOption(7, 2000000);
}

void ZRQPlayObject::setPlayWindows(QMediaElementWindow *pane)
{
    if (m_playWindow)
        disconnect(m_playWindow, &QMediaElementWindow::emitFrameDropped, this, &ZRQPlayObject::VideoFrameDropped);
    m_playWindow = pane;
    if (m_playWindow)
        connect(m_playWindow, &QMediaElementWindow::emitFrameDropped, this, &ZRQPlayObject::VideoFrameDropped);
}

// A burst of changes to a paused picture (a settings push) can fill the pane's queue, which then
// refuses the newest picture; nothing else would come to replace it while paused. Registering the
// callback again presents the paused picture again.
void ZRQPlayObject::VideoFrameDropped()
{
    if (isPause())
        codecSetFrameCallback(m_player, VideoFrameLoop, this);
}

uint64_t ZRQPlayObject::getPlayer() const
{
    return m_player;
}

bool ZRQPlayObject::SetPlayFile(PlayItemInfo *item, unsigned int a, unsigned int b)
{
    if (!m_player)
        return false;
    m_bDisc = item->File_isDVD;
    return openMedium(item->path, a, b, item->Play_to_time_, !m_bDisc);
}

bool ZRQPlayObject::SetPlayFile(QString path, unsigned int a, unsigned int b)
{
    if (!m_player)
        return false;
    // Re-opening a stopped medium: the disc flag of the last item still holds.
    return openMedium(path, a, b, 0, true);
}

bool ZRQPlayObject::openMedium(const QString &path, unsigned int a, unsigned int b, uint64_t startTime,
                               bool showStart)
{
    m_path = path;
    delete m_updateThread;
    m_updateThread = nullptr;
    codecClosePlayer(m_player);

    const QByteArray utf8 = path.toUtf8();
    const int opened = m_bDisc ? codecOpenDisc(m_player, utf8.constData(), a, b, nullptr, nullptr)
                               : codecOpenFile(m_player, utf8.constData(), a, b, nullptr, nullptr);
    if (!opened)
        return failOpen(true);
    if (m_bDisc && !codecSelectProgram(m_player, 0))
        return failOpen(false);

    codecSetPlayerParameter(m_player, 50000);
    codecSetVolume(m_player, int(m_volume));
    codecSeek(m_player, startTime);
    if (showStart)
        ShowTime(startTime);
    InitPlayViewParameter();
    getPlayModeInfo();
    ResizeVideoWindow(m_bKeepScale);
    IsNoVideoSet();
    m_updateThread = new QPlayUpdateThread(m_player);
    return true;
}

bool ZRQPlayObject::failOpen(bool refusedByLibrary)
{
    m_state = PlayState_Completed;
    stopTimers();
    emit emitPlayFinish();
    emit emitPlayCompleted(PlayState_Completed);
    IsNoVideoSet();
    if (refusedByLibrary)
        ZrCommonInterface::Sleep(10000);
    return false;
}

bool ZRQPlayObject::SetPlayProgram(int program, unsigned long long start)
{
    if (!m_player)
        return false;
    if (!codecSelectProgram(m_player, program))
        return failOpen(false);
    // A slider still held keeps the library in drag-seek mode across the switch.
    if (m_bAsyncSeek)
        codecBeginAsyncSeek(m_player, 2000000);
    codecSeek(m_player, start);
    codecSetPlayerParameter(m_player, 50000);
    getPlayModeInfo();
    ResizeVideoWindow(m_bKeepScale);
    codecSetVolume(m_player, int(m_volume));
    if (!m_bDisc)
        ShowTime(0);
    InitPlayViewParameter();
    IsNoVideoSet();
    return true;
}

void ZRQPlayObject::InitPlayViewParameter()
{
    // The new view first: registering the callback presents a paused picture again, which must
    // not go to the view about to be replaced.
    if (m_playWindow)
        m_playWindow->SetOpenGl(true);
    if (m_player)
        codecSetFrameCallback(m_player, VideoFrameLoop, this);
}

void ZRQPlayObject::IsNoVideoSet()
{
    if (!m_player)
        return;
    if (codecHasVideo(m_player)) {
        emit emitIsHaveVideo(true);
        emit emitMediaType(MediaType_Video);
        m_bOnlyAudio = false;
    } else if (codecHasAudio(m_player)) {
        emit emitIsHaveVideo(false);
        emit emitMediaType(MediaType_Audio);
        m_bOnlyAudio = true;
    } else {
        emit emitMediaType(MediaType_None);
        m_bOnlyAudio = true;
    }
}

MediaType ZRQPlayObject::getMediaType()
{
    if (!m_player)
        return MediaType_None;
    if (codecHasVideo(m_player))
        return MediaType_Video;
    if (codecHasAudio(m_player))
        return MediaType_Audio;
    return MediaType_None;
}

void ZRQPlayObject::StartPlay()
{
    emit emitPlayState(true);
    OnPlayVideo();
}

void ZRQPlayObject::OnPlayVideo()
{
    if (!m_player)
        return;
    if (m_path.isEmpty()) {
        emit emitPlayState(false);
        return;
    }
    if (m_state == PlayState_Stopped && !SetPlayFile(m_path, 0, 0))
        return;
    if (!codecHasVideo(m_player) && !codecHasAudio(m_player)) {
        m_state = PlayState_Completed;
        emit emitPlayFinish();
        emit emitPlayCompleted(PlayState_Completed);
        return;
    }
    if (codecPlay(m_player)) {
        IsNoVideoSet();
        emit emitProgressEnable(true);
        m_state = PlayState_Playing;
        if (m_bOnlyAudio && m_bAudioDataShown)
            m_audioTimer->start(50);
        m_timer->start(100);
        if (m_updateThread)
            m_updateThread->setTicking(true);
    } else {
        m_state = PlayState_StartFailed;
        emit emitPlayFinish();
        emit emitPlayCompleted(PlayState_StartFailed);
    }
}

void ZRQPlayObject::pausePlay()
{
    emit emitPlayState(false);
    OnPauseVideo();
}

void ZRQPlayObject::OnPauseVideo()
{
    if (!m_player || !codecPause(m_player))
        return;
    m_state = PlayState_Paused;
    stopTimers();
    emit emitAudioData(nullptr, 0);
}

void ZRQPlayObject::OnBtnStop()
{
    if (!m_player || (!codecHasVideo(m_player) && !codecHasAudio(m_player)))
        return;
    codecClosePlayer(m_player);
    m_state = PlayState_Stopped;
    if (m_bDisc) {
        emit emitPlayFinish();
        emit emitPlayCompleted(PlayState_Stopped);
    } else {
        ShowTime(0);
        emit emitPlayPro(0.0);
        emit emitPlayFinish();
    }
    stopTimers();
    emit emitAudioData(nullptr, 0);
    emit emitProgressEnable(false);
}

void ZRQPlayObject::VideoFinished()
{
    if (!m_bDisc && m_state == PlayState_Stopped) {
        ShowTime(0);
        emit emitPlayPro(0.0);
        emit emitPlayFinish();
    } else {
        emit emitPlayFinish();
        emit emitPlayCompleted(m_state);
    }
}

void ZRQPlayObject::closePlay()
{
    if (m_player) {
        OnBtnStop();
        codecClosePlayer(m_player);
    }
    VideoFinished();
    emit emitClosePlay();
    emit emitAudioData(nullptr, 0);
}

void ZRQPlayObject::stopTimers()
{
    m_timer->stop();
    m_audioTimer->stop();
    if (m_updateThread)
        m_updateThread->setTicking(false);
}

void ZRQPlayObject::setAudioDataShown(bool shown)
{
    m_bAudioDataShown = shown;
    if (!shown)
        m_audioTimer->stop();
    else if (m_bOnlyAudio && m_state == PlayState_Playing && !m_audioTimer->isActive())
        m_audioTimer->start(50);
}

void ZRQPlayObject::setSoundVolume(int value)
{
    // The library takes 0 to 200; a negative volume is silence.
    m_volume = value < 0 ? 0.0f : float(value);
    if (m_player)
        codecSetVolume(m_player, int(m_volume));
}

void ZRQPlayObject::getFrameCounts(int64_t *shown, int64_t *repeated, int64_t *dropped, int64_t *paneShown)
{
    codecGetFrameCounts(m_player, shown, repeated, dropped);
    long long drawn = 0, refused = 0;
    if (m_playWindow)
        m_playWindow->frameCounts(&drawn, &refused);
    *shown = std::max<int64_t>(0, *shown - refused);
    *dropped += refused;
    if (paneShown)
        *paneShown = drawn;
}

void ZRQPlayObject::UpdateTime()
{
    if (!m_player)
        return;
    if (codecIsEndReached(m_player)) {
        m_state = PlayState_Completed;
        stopTimers();
        emit emitAudioData(nullptr, 0);
        int64_t shown = 0, repeated = 0, dropped = 0, drawn = 0;
        getFrameCounts(&shown, &repeated, &dropped, &drawn);
        qCInfo(lcZRPlayer, "pictures shown %lld, repeated %lld, dropped %lld; the video pane drew %lld",
               static_cast<long long>(shown), static_cast<long long>(repeated), static_cast<long long>(dropped),
               static_cast<long long>(drawn));
        emit emitPlayFinish();
        emit emitPlayCompleted(PlayState_Completed);
        return;
    }
    const uint64_t duration = codecGetDuration(m_player);
    const uint64_t current = codecGetCurrentTime(m_player);
    if (current == 0)
        return;
    // An unknown duration gives no fraction rather than an infinite one.
    emit emitPlayPro(duration ? double(current) / double(duration) : 0.0);
    ShowTime(current);
    if (m_playWindow)
        m_playWindow->update();
}

QString ZRQPlayObject::timeWithHundredths(uint64_t time)
{
    return QString("%1.%2").arg(ZRHelper::getTime(time)).arg(time / 10000 % 100, 2, 10, QChar('0'));
}

void ZRQPlayObject::ShowTime(uint64_t time)
{
    const uint64_t duration = m_player ? codecGetDuration(m_player) : 0;
    emit emitPlayTime3(time);
    emit emitPlayTime(ZRHelper::getPlayTime(time, duration));
    emit emitPlayTime2(QString("%1 / %2").arg(timeWithHundredths(time), timeWithHundredths(duration)));
}

void ZRQPlayObject::OnAudioDataTime()
{
    if (!m_player)
        return;
    unsigned char *block = codecGetAudioBuffer(m_player, 1);
    if (block) {
        uint64_t sampleRate = 0;
        std::memcpy(&sampleRate, block + 24, sizeof sampleRate);
        emit emitAudioData(block, int(sampleRate >> 1));
    }
    codecReleaseAudioBuffer(m_player, block);
}

bool ZRQPlayObject::setSeek(unsigned long long position)
{
    return m_player && codecSeek(m_player, position) != 0;
}

unsigned long long ZRQPlayObject::getCurrentPlayTime()
{
    return m_player ? codecGetCurrentTime(m_player) : 0;
}

void ZRQPlayObject::ProgressValueChange(double ratio)
{
    if (!m_player)
        return;
    // Outside 0..1 (or not a number) would seek to a wrapped position.
    ratio = ratio > 0.0 ? qMin(ratio, 1.0) : 0.0;
    codecSeek(m_player, uint64_t(double(codecGetDuration(m_player)) * ratio));
    ShowTime(uint64_t(double(codecGetDuration(m_player)) * ratio));
}

void ZRQPlayObject::beginAsyncSeek()
{
    if (!m_player)
        return;
    codecBeginAsyncSeek(m_player, 2000000);
    m_bAsyncSeek = true;
}

void ZRQPlayObject::endAsyncSeek()
{
    if (!m_player)
        return;
    codecEndAsyncSeek(m_player);
    m_bAsyncSeek = false;
}

void ZRQPlayObject::frameStep(int direction)
{
    if (!m_player)
        return;
    pausePlay();
    codecStepFrame(m_player, direction);
    UpdateTime();
}

void ZRQPlayObject::videoFrameStepUp()
{
    frameStep(1);
}

void ZRQPlayObject::videoFrameStepDown()
{
    frameStep(-1);
}

bool ZRQPlayObject::isPlayer()
{
    return m_player && codecIsPlaying(m_player) != 0;
}

bool ZRQPlayObject::isPause()
{
    return m_player && codecIsPaused(m_player) != 0;
}

PlayState ZRQPlayObject::getPlayerState() const
{
    return m_state;
}
