// The commands of the menu entries: playback, picture, sound, synchronisation and window.
#include "shell/qmenumanager.h"

#include "engine/mediasettting.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "player/qmessageform.h"
#include "settings_dialog/qsettingdlg.h"
#include "shell/mediainfodlg.h"
#include "toolkit/qzrmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QWidget>

namespace {

const unsigned long long JumpStep = 10000000;  // microseconds
const double DelayBound = 10.0;                // seconds, never reached

}

void QMenuManager::showToolTip(QString text)
{
    if (!m_pMessageForm)
        return;
    m_pMessageForm->hide();
    m_pMessageForm->setMeassge(text);
    m_pMessageForm->show();
}

void QMenuManager::actPlay()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->StartPlay();
    if (!m_pPlayObject->isPlayer())
        return;
    updateNormalMenu(true);
    showToolTip(tr("Play"));
}

void QMenuManager::actPause()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->pausePlay();
    if (!m_pPlayObject->isPause())
        return;
    updateNormalMenu(false);
    showToolTip(tr("Pause"));
}

void QMenuManager::actStop()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->OnBtnStop();
    showToolTip(tr("Stop"));
}

void QMenuManager::actStep()
{
    if (m_pPlayObject)
        m_pPlayObject->videoFrameStepUp();
}

void QMenuManager::actStepBack()
{
    if (m_pPlayObject)
        m_pPlayObject->videoFrameStepDown();
}

void QMenuManager::actForwardJump()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->setSeek(m_pPlayObject->getCurrentPlayTime() + JumpStep);
    showToolTip(QString("%1").arg(m_actForwardJump->text()));
}

void QMenuManager::actJumpBack()
{
    if (!m_pPlayObject)
        return;
    const unsigned long long time = m_pPlayObject->getCurrentPlayTime();
    m_pPlayObject->setSeek(time > JumpStep - 1 ? time - JumpStep : 0);
    showToolTip(QString("%1 ").arg(m_actJumpBack->text()));
}

void QMenuManager::playFinish()
{
    updateNormalMenu(false);
}

void QMenuManager::mediaBeginPlay(bool isPlay)
{
    updateNormalMenu(isPlay);
}

// The value is sent and shown also when a bound kept it.
void QMenuManager::showSpeed(int step)
{
    if (!m_pSettingManager)
        return;
    AudioSettings audio;
    m_pSettingManager->getAudioSettings(audio);
    if (step > 0 && audio.m_speed < 800)
        audio.m_speed += 20;
    else if (step < 0 && audio.m_speed >= 40)
        audio.m_speed -= 20;
    else if (step == 0)
        audio.m_speed = 100;
    m_pSettingManager->setAudioSettingsALL(audio);
    showToolTip(QString("%1: %2%").arg(tr("PlayBack Speed")).arg(audio.m_speed));
}

void QMenuManager::actFaster()
{
    showSpeed(1);
}

void QMenuManager::actNormal()
{
    showSpeed(0);
}

void QMenuManager::actSlower()
{
    showSpeed(-1);
}

void QMenuManager::fillModeTriggered(QAction *action)
{
    const int mode = m_fillActs.indexOf(action);
    if (mode < 0 || !m_pSettingManager)
        return;
    m_pCurFillAct = action;
    m_pSettingManager->setFillModeAll(mode);
    if (m_pSettingDlg)
        m_pSettingDlg->updateFillMode();
    action->setChecked(true);
    showToolTip(action->text());
}

void QMenuManager::aspectRatioTriggered(QAction *action)
{
    const int ratio = m_aspectActs.indexOf(action);
    if (ratio < 0 || !m_pSettingManager)
        return;
    m_pCurAspectAct = action;
    m_pSettingManager->setAspectRatioAll(RatioType(ratio));
    if (m_pSettingDlg)
        m_pSettingDlg->updateAspectRatio();
    action->setChecked(true);
    showToolTip(QString("%1: %2").arg(tr("Aspect Ratio"), action->text()));
}

void QMenuManager::deinterlaceTriggered(QAction *action)
{
    if (!m_pSettingManager || !m_deinterlaceActs.contains(action))
        return;
    const unsigned int mode = action == m_actDisable ? 0 : action == m_actEnable ? 2 : 1;
    m_pCurDeinterlaceAct = action;
    m_pSettingManager->setDeinterlaceAll(mode);
    if (m_pSettingDlg)
        m_pSettingDlg->updateDeinterlace();
    action->setChecked(true);
    showToolTip(QString("%1: %2").arg(tr("Deinterlace"), action->text()));
}

void QMenuManager::rotate(int degree, int mirror, bool flip)
{
    if (flip)
        m_pSettingManager->setFlipAll(degree, mirror);
    else
        m_pSettingManager->setRotateAll(degree, mirror);
}

// Degrees count anticlockwise, as on the video page; a mirrored picture turns the other way.
void QMenuManager::rotate_L_90()
{
    if (!m_pSettingManager)
        return;
    const int mirror = m_pSettingManager->getMirror();
    rotate((m_pSettingManager->getDegree() + (mirror ? 270 : 90)) % 360, mirror, false);
    showToolTip(QString("%1 %2").arg(m_actRotateL->text(), tr("Degrees")));
}

void QMenuManager::rotate_R_90()
{
    if (!m_pSettingManager)
        return;
    const int mirror = m_pSettingManager->getMirror();
    rotate((m_pSettingManager->getDegree() + (mirror ? 90 : 270)) % 360, mirror, false);
    showToolTip(QString("%1 %2").arg(m_actRotateR->text(), tr("Degrees")));
}

void QMenuManager::flipH()
{
    if (m_pSettingManager)
        rotate(m_pSettingManager->getDegree(), 1 - m_pSettingManager->getMirror(), true);
}

void QMenuManager::flipV()
{
    if (m_pSettingManager)
        rotate((m_pSettingManager->getDegree() + 180) % 360, 1 - m_pSettingManager->getMirror(), true);
}

// A step is taken only when it stays strictly inside ten seconds either way.
void QMenuManager::resyncAudio(double step)
{
    if (!m_pSettingManager)
        return;
    double delay = m_pSettingManager->getAudioDelay();
    if (step > 0 ? delay + step < DelayBound : delay + step > -DelayBound)
        delay += step;
    m_pSettingManager->setAudioDelayAll(delay);
    if (m_pSettingDlg)
        m_pSettingDlg->updateSync();
    showToolTip(QString("%1: %2 %3").arg(tr("Resync Audio")).arg(delay, 0, 'f', 1).arg(tr("sec")));
}

void QMenuManager::resyncSubtitle(double step)
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (step > 0 ? style.m_delay + step < DelayBound : style.m_delay + step > -DelayBound)
        style.m_delay += step;
    m_pSettingManager->setSubtitleSettingsAll(style);
    if (m_pSettingDlg)
        m_pSettingDlg->updateSync();
    showToolTip(QString("%1: %2 %3").arg(tr("Resync Subtitle")).arg(style.m_delay, 0, 'f', 1).arg(tr("sec")));
}

void QMenuManager::actResyncAudioInc()
{
    resyncAudio(0.5);
}

void QMenuManager::actResyncAudioDec()
{
    resyncAudio(-0.5);
}

void QMenuManager::actResyncSubtitleInc()
{
    resyncSubtitle(0.5);
}

void QMenuManager::actResyncSubtitledec()
{
    resyncSubtitle(-0.5);
}

void QMenuManager::menuScalingTriggered(QAction *action)
{
    const int index = m_scalingActs.indexOf(action);
    if (index < 0)
        return;
    scalingScreen(index);
    showToolTip(QString("%1: %2").arg(tr("Screen Size"), action->text()));
}

// Nothing open gives a picture of 0 by 0: full screen ends, and no size is asked for.
void QMenuManager::scalingScreen(int index)
{
    if (index == 3) {
        emit emitIsFullScreen();
        return;
    }
    if (index < 0 || index > 2 || !m_pSettingManager)
        return;
    emit emitFullScreenToNormal();
    const QSize picture = m_pSettingManager->getScreenSize(m_pSettingManager->getAspectRatio());
    if (picture.width() == 0 && picture.height() == 0)
        return;
    const int w = picture.width();
    const int h = picture.height();
    emit emitScreenSize(index == 0 ? QSize(w / 2, h / 2) : index == 1 ? QSize(w, h) : QSize(2 * w, 2 * h));
}

void QMenuManager::setAlwaysFront(bool check)
{
    m_bAlwaysFront = check;
    if (m_actAlwaysFront)
        m_actAlwaysFront->setChecked(check);
}

// Brought up again in front, on the page asked for.
void QMenuManager::settingsPage(int page)
{
    if (!m_pSettingDlg)
        return;
    m_pSettingDlg->setSelectedTag(page);
    m_pSettingDlg->hide();
    m_pSettingDlg->show();
}

void QMenuManager::actVedioEffectSettings()
{
    settingsPage(0);
}

void QMenuManager::actAudioEffectSettings()
{
    settingsPage(1);
}

void QMenuManager::actSubtitleSettings()
{
    settingsPage(2);
}

void QMenuManager::actMediaInfo()
{
    MediaInfoDlg::showMediaInfo(m_pParentWindow, m_pMediaInfos);
}

void QMenuManager::actFullScreenTriggered()
{
    emit emitIsFullScreen();
}

void QMenuManager::playerOrPause()
{
    if (!m_pPlayObject)
        return;
    if (m_pPlayObject->isPlayer())
        actPause();
    else
        actPlay();
}

void QMenuManager::fillMode(int index)
{
    if (!m_pSettingManager)
        return;
    m_pSettingManager->setFillModeAll(index);
    if (m_pSettingDlg)
        m_pSettingDlg->updateFillMode();
    updateFillMode(index);
}

void QMenuManager::aspectRatio(int index)
{
    if (!m_pSettingManager)
        return;
    m_pSettingManager->setAspectRatioAll(RatioType(index));
    if (m_pSettingDlg)
        m_pSettingDlg->updateAspectRatio();
    updateAspectRatio(RatioType(index));
}

void QMenuManager::deinterlace(int index)
{
    if (!m_pSettingManager)
        return;
    m_pSettingManager->setDeinterlaceAll(unsigned(index));
    if (m_pSettingDlg)
        m_pSettingDlg->updateDeinterlace();
    updateDeinterlace(index);
}

void QMenuManager::alwaysFrontTriggered()
{
    emit emitWindowAlwaysFront();
}

void QMenuManager::actExit()
{
    if (m_pParentWindow)
        m_pParentWindow->close();
}

void QMenuManager::updateFillMode(int index)
{
    if (index < 0 || index >= m_fillActs.size())
        return;
    m_pCurFillAct = m_fillActs.at(index);
    m_pCurFillAct->setChecked(true);
}

void QMenuManager::updateAspectRatio(RatioType ratioType)
{
    const int index = int(ratioType);
    if (index < 0 || index >= m_aspectActs.size())
        return;
    m_pCurAspectAct = m_aspectActs.at(index);
    m_pCurAspectAct->setChecked(true);
}

void QMenuManager::updateDeinterlace(int index)
{
    if (m_deinterlaceActs.isEmpty())
        return;
    if (index == 0)
        m_pCurDeinterlaceAct = m_actDisable;
    else if (index == 1)
        m_pCurDeinterlaceAct = m_actAuto;
    else if (index == 2)
        m_pCurDeinterlaceAct = m_actEnable;
    m_pCurDeinterlaceAct->setChecked(true);
}

void QMenuManager::updateSubtitleChange()
{
    initSubtitleAct();
    initTrackMenu();
    loadingHistory();
}
