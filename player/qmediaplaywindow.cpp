#include "player/qmediaplaywindow.h"

#include "engine/playmetatypes.h"
#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "player/playbtnwidget.h"
#include "player/qmessageform.h"
#include "player/qmessageopacityform.h"
#include "playlist/qhiddendlg.h"
#include "playlist/qplayhistorymanager.h"
#include "services/qianyutil.h"
#include "shell/qmenumanager.h"
#include "toolkit/qzrmenu.h"
#include "services/qsettingxml.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrmessagebox.h"
#include "ui_qmediaplaywindow.h"

#include <QCursor>
#include <QFile>
#include <QScreen>
#include <QApplication>
#include <QTimer>

namespace {

// The stored volume on the scale 0 to 200; text that is no number plays at full volume.
float storedVolume(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || qIsNaN(value))
        return 200.0f;
    return float(qBound(0.0, value, 200.0));
}

// Stopping resets every playback setting, the equaliser to ten flat bands.
MediaSettting stoppedMediaSetting()
{
    MediaSettting setting;
    setting.m_equalize.setFlatTenBands();
    return setting;
}

}

QMediaPlayWindow::QMediaPlayWindow(QWidget *parent) : QWidget(parent), ui(new Ui_QMediaPlayWindow)
{
    ui->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
    initControls();
    setMediaType(MediaType_None);
    setMouseTracking(true);
    ininScreenshotsInfo();
    setAcceptDrops(true);
    registerPlayMetaTypes();
    installEventFilter(this);
    qApp->installEventFilter(this);

    connect(this, &QMediaPlayWindow::emitLoadedPlayFile, this, &QMediaPlayWindow::loadedPlayFile);
    connect(this, &QMediaPlayWindow::emitLoadThreadCoomplete, this, &QMediaPlayWindow::loadThreadCoompleted);
    connect(this, &QMediaPlayWindow::emitUpdateLoadDlg, this, &QMediaPlayWindow::updateLoadDlg);
}

QMediaPlayWindow::~QMediaPlayWindow()
{
    // The loading thread reads this window's members: it ends before they go.
    m_bStopAddFile = true;
    JoinThread();
    delete m_pCurPlayItem;
    delete ui;
}

void QMediaPlayWindow::initControls()
{
    setMouseTracking(true);

    QZRButtonExt *open = ui->m_btnOpenMedia;
    QInitCtrlStyle::InitFont(open, 12);
    open->setButtonImage(QIAnyUtil::getResourcePath() + "/images/PlayerImage/btn_openFIle.png", true);
    connect(open, &QPushButton::clicked, this, &QMediaPlayWindow::actOpenFile);
    open->setText(tr("Open media..."));
    open->setTextColor(QColor(210, 210, 210), QColor(232, 232, 232), QColor(101, 101, 101), QColor(101, 101, 101));
    open->resize(120, 30);
    open->hide();

    ui->m_mediaVideo->resize(size());
    ui->m_mediaVideo->move(0, 0);
    ui->m_mediaVideo->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->m_mediaVideo->setWindowFlags(Qt::FramelessWindowHint);
    ui->m_mediaAudio->resize(size());
    ui->m_mediaAudio->move(0, 0);

    connect(ui->m_mediaVideo, &QMediaElementWindow::emitMouseMoveEvent, this, &QMediaPlayWindow::mediaVideoMouseMoveEvent);
    connect(ui->m_mediaVideo, &QMediaElementWindow::emitMousePressEvent, this, &QMediaPlayWindow::mediaVideoMousePressEvent);
    connect(ui->m_mediaVideo, &QMediaElementWindow::emitMouseDoubleClickEvent, this,
            &QMediaPlayWindow::mediaMouseDoubleClickEvent);
    connect(ui->m_mediaAudio, &QAudioElementWindow::emitMouseMoveEvent, this, &QMediaPlayWindow::mediaVideoMouseMoveEvent);
    connect(ui->m_mediaAudio, &QAudioElementWindow::emitMousePressEvent, this, &QMediaPlayWindow::mediaVideoMousePressEvent);
    connect(ui->m_mediaAudio, &QAudioElementWindow::emitMouseDoubleClickEvent, this,
            &QMediaPlayWindow::mediaMouseDoubleClickEvent);

    ui->m_cover->resize(size());
    connect(ui->m_cover, &QCoverWindow::emitOpenFile, this, &QMediaPlayWindow::actOpenFile);
    ui->m_cover->move(0, 0);
    ui->m_cover->hide();
    ui->m_mediaAudio->hide();

    m_pPosTimer = new QTimer(this);
    m_pHideTimer = new QTimer(this);
    m_pShowTimer = new QTimer(this);
    m_pPosTimerWin = new QTimer(this);
    m_pTraversalTimer = new QTimer(this);
    connect(m_pPosTimer, &QTimer::timeout, this, &QMediaPlayWindow::posTimer);
    connect(m_pHideTimer, &QTimer::timeout, this, &QMediaPlayWindow::hideTimer);
    connect(m_pShowTimer, &QTimer::timeout, this, &QMediaPlayWindow::showTimer);
    connect(m_pPosTimerWin, &QTimer::timeout, this, &QMediaPlayWindow::posTimerWin);
    connect(m_pTraversalTimer, &QTimer::timeout, this, &QMediaPlayWindow::traversalTimer);
    m_pPosTimer->start(100);
    m_pHideTimer->start(200);
}

void QMediaPlayWindow::setPlayObject(ZRQPlayObject *playObject)
{
    m_pPlayObject = playObject;
}

void QMediaPlayWindow::setSettingManager(QMediaSettingManager *settingManager)
{
    m_pSettingManager = settingManager;
}

void QMediaPlayWindow::setPlayBtnWidget(PlayBtnWidget *playBtnWidget)
{
    m_pPlayBtnWidget = playBtnWidget;
}

void QMediaPlayWindow::setMediaInfos(QMediaInfos *mediaInfos)
{
    m_pMediaInfos = mediaInfos;
}

void QMediaPlayWindow::setMessageForm(QMessageForm *messageForm)
{
    m_pMessageForm = messageForm;
}

void QMediaPlayWindow::setSubtitleSettingDlg(QSubtitleSettingDlg *subtitleSettingDlg)
{
    m_pSubtitleSettingDlg = subtitleSettingDlg;
}

void QMediaPlayWindow::setHiddenDlg(QHiddenDlg *hiddenDlg)
{
    m_pHiddenDlg = hiddenDlg;
}

void QMediaPlayWindow::setPlayHistoryManager(QPlayHistoryManager *historyManager)
{
    m_pHistoryManager = historyManager;
}

void QMediaPlayWindow::setSettingDlg(QSettingDlg *settingDlg)
{
    m_pSettingDlg = settingDlg;
    if (settingDlg)
        connect(settingDlg, &QSettingDlg::emitSettingChange, this, &QMediaPlayWindow::settingChange);
}

void QMediaPlayWindow::setMenuManager(QMenuManager *menuManager)
{
    m_pMenuManager = menuManager;
    if (!menuManager)
        return;
    installEventFilter(menuManager);
    connect(menuManager, &QMenuManager::emitMenuToShow, this, &QMediaPlayWindow::normalToShow);
    connect(menuManager, &QMenuManager::emitMenuToHide, this, &QMediaPlayWindow::normalToHide);
    connect(menuManager, &QMenuManager::emitOpenImgPath, this, &QMediaPlayWindow::openImgPath);
    connect(menuManager, &QMenuManager::emitShowPathSettingDlg, this, &QMediaPlayWindow::showPathSettingDlg);
    connect(menuManager, &QMenuManager::emitActOpenDir, this, &QMediaPlayWindow::actOpenDir);
    connect(menuManager, &QMenuManager::emitActOpenFile, this, &QMediaPlayWindow::actOpenFile);
    connect(menuManager, &QMenuManager::emitPlayVideoFile, this, &QMediaPlayWindow::PlayVideoFile);
    connect(menuManager, &QMenuManager::emitDragMediaPlayItemInfo, this, &QMediaPlayWindow::emitDragMediaPlayItemInfo);
    connect(menuManager, &QMenuManager::emitActNext, this, &QMediaPlayWindow::emitPlayNextMedia);
    connect(menuManager, &QMenuManager::emitActPrevious, this, &QMediaPlayWindow::emitPlayPreviousMedia);
    connect(menuManager, &QMenuManager::emitIsFullScreen, this, &QMediaPlayWindow::fullScreenPlayer);
    connect(menuManager, &QMenuManager::emitFullScreenToNormal, this, &QMediaPlayWindow::fullScreenToNormal);
    connect(menuManager, &QMenuManager::emitScreenSize, this, &QMediaPlayWindow::emitScreenSize);
    connect(menuManager, &QMenuManager::emitSetPlayerProgram, this, [this](int index) { setPlayerProgram(index); });
    connect(menuManager, &QMenuManager::emitWindowAlwaysFront, this, &QMediaPlayWindow::windowAlwaysFront);
    connect(menuManager, &QMenuManager::emitSnapShot, this, &QMediaPlayWindow::OnScreenshots);
}

void QMediaPlayWindow::updateMenu()
{
    if (m_pMenuManager)
        m_pMenuManager->updateMenu();
}

void QMediaPlayWindow::OnTrack()
{
    if (m_pMenuManager)
        m_pMenuManager->getTrackMenu()->popup(QCursor::pos());
}

void QMediaPlayWindow::setHiddenPlayListBtnState(bool hidden)
{
    if (m_pHiddenDlg)
        m_pHiddenDlg->setHiddenBtnState(hidden ? HiddenBtnState_ShowShowButton : HiddenBtnState_ShowHideButton);
}

void QMediaPlayWindow::loadData()
{
    if (m_bDataLoaded)
        return;
    m_bDataLoaded = true;
    ZRQPlayObject *player = m_pPlayObject;
    PlayBtnWidget *bar = m_pPlayBtnWidget;

    if (player) {
        player->setPlayWindows(ui->m_mediaVideo);
        connect(player, &ZRQPlayObject::emitMediaType, this, &QMediaPlayWindow::playMediaType);
        connect(player, &ZRQPlayObject::emitPlayCompleted, this, &QMediaPlayWindow::playCompleted, Qt::QueuedConnection);
        connect(player, &ZRQPlayObject::emitAudioData, ui->m_mediaAudio, &QAudioElementWindow::setAudioData);
        // The levels are worked out only while the pane is in sight.
        connect(ui->m_mediaAudio, &QAudioElementWindow::emitShown, player, &ZRQPlayObject::setAudioDataShown);
        player->setAudioDataShown(ui->m_mediaAudio->isVisible());
    }
    if (m_pSettingManager)
        m_pSettingManager->setMediaPlayer(player);
    m_mediaSetting.reset();

    // A stored 0 starts muted; unmuting then plays at half volume.
    m_fVolume = storedVolume(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"));
    const bool muted = m_fVolume == 0.0f;
    if (muted)
        m_fVolume = 100.0f;
    if (bar)
        bar->setVolume(muted ? 0.0 : m_fVolume * 100.0 / 200.0);
    if (player)
        player->setSoundVolume(muted ? 0 : int(m_fVolume));

    if (bar) {
        connect(bar, &PlayBtnWidget::emitEnterEvent, this, &QMediaPlayWindow::widgetEnterEvent);
        connect(bar, &PlayBtnWidget::emitLeaveEvent, this, &QMediaPlayWindow::widgetLeaveEvent);
        connect(bar, &PlayBtnWidget::emitMouseMoveEvent, this, &QMediaPlayWindow::widgetMouseMoveEvent);
        bar->show();
        connect(bar, &PlayBtnWidget::emitBtnSetting, this, &QMediaPlayWindow::onBtnSetting);
        connect(bar, &PlayBtnWidget::emitBtnSnapshotMenu, this, &QMediaPlayWindow::OnScreenshotsMenu);
        connect(bar, &PlayBtnWidget::emitBtnTrack, this, &QMediaPlayWindow::OnTrack);
        connect(bar, &PlayBtnWidget::sendVolumeValue, this, &QMediaPlayWindow::SoundValueChange);
        connect(bar, &PlayBtnWidget::emitBtnVolume, this, &QMediaPlayWindow::OnBtnVolume);
        connect(bar, &PlayBtnWidget::emitBtnFullScreen, this, &QMediaPlayWindow::OnBtnFullScreen);
        connect(bar, &PlayBtnWidget::emitExitFullScreen, this, &QMediaPlayWindow::OnBtnExitFullScreen);
        connect(bar, &PlayBtnWidget::emitBtnNextVideo, this, &QMediaPlayWindow::emitPlayNextMedia);
        connect(bar, &PlayBtnWidget::emitBtnPreVideo, this, &QMediaPlayWindow::emitPlayPreviousMedia);
        connect(bar, &PlayBtnWidget::emitBtnSnapshoot, this, &QMediaPlayWindow::OnScreenshots);
        connect(bar, &PlayBtnWidget::emitKeepVideoScale, this, &QMediaPlayWindow::KeepVideoScale);
        connect(bar, &PlayBtnWidget::sendProgressValue, this, &QMediaPlayWindow::ProgressValueChange);
        connect(bar, &PlayBtnWidget::emitBtnPlay, this, &QMediaPlayWindow::onPlay);
        connect(bar, &PlayBtnWidget::emitBtnPause, this, &QMediaPlayWindow::onPausePlay);
        if (player) {
            connect(bar, &PlayBtnWidget::emitBtnFast, player, &ZRQPlayObject::videoFrameStepUp);
            connect(bar, &PlayBtnWidget::emitBtnBack, player, &ZRQPlayObject::videoFrameStepDown);
            connect(bar, &PlayBtnWidget::emitSliderPress, player, &ZRQPlayObject::beginAsyncSeek);
            connect(bar, &PlayBtnWidget::emitSliderRelease, player, &ZRQPlayObject::endAsyncSeek);
        }
        connect(bar, &PlayBtnWidget::emitBtnStop, this, &QMediaPlayWindow::onStopPlay);
    }

    if (player) {
        connect(player, &ZRQPlayObject::emitPlayTime3, this, &QMediaPlayWindow::setTimeLabel);
        if (bar)
            connect(player, &ZRQPlayObject::emitPlayFinish, bar, &PlayBtnWidget::VideoFinished);
        connect(player, &ZRQPlayObject::emitPlayFinish, this, &QMediaPlayWindow::playFinished);
        if (bar)
            connect(player, &ZRQPlayObject::emitPlayState, bar, &PlayBtnWidget::VideoBeginPlay);
        connect(player, &ZRQPlayObject::emitPlayState, this, &QMediaPlayWindow::mediaBeginPlay);
        connect(player, &ZRQPlayObject::emitPlayPro, this, &QMediaPlayWindow::setProcessValue);
        if (bar)
            connect(player, &ZRQPlayObject::emitProgressEnable, bar, &PlayBtnWidget::setProcessEnabledChange);
    }

    if (m_pHiddenDlg) {
        m_pHiddenDlg->show();
        connect(m_pHiddenDlg, &QHiddenDlg::emitShowPlayList, this, &QMediaPlayWindow::emitIsHiddenPlayList);
        connect(m_pHiddenDlg, &QHiddenDlg::emitHiddenPlayList, this, &QMediaPlayWindow::emitIsHiddenPlayList);
        connect(m_pHiddenDlg, &QHiddenDlg::emitEnterEvent, this, &QMediaPlayWindow::widgetEnterEvent);
        connect(m_pHiddenDlg, &QHiddenDlg::emitLeaveEvent, this, &QMediaPlayWindow::widgetLeaveEvent);
    }

    if (m_pMessageForm) {
        m_pMessageForm->hide();
        m_pMessageForm->resize(width() - 25, 50);
    }
}

void QMediaPlayWindow::PlayVideoFile(PlayItemInfo *playItemInfo)
{
    if (!playItemInfo)
        return;
    if (!QFile::exists(playItemInfo->path)) {
        QZRMessageBox::ShowMessage(this, QString(), tr("The play file does not exist!"), QZRMessageBox::Warning,
                                   QZRMessageBox::Ok);
        return;
    }
    if (!m_pPlayObject)
        return;

    // Copied before the old copy goes: the caller may hand in the current item itself.
    PlayItemInfo *item = new PlayItemInfo(*playItemInfo);
    delete m_pCurPlayItem;
    m_pCurPlayItem = item;

    if (m_pMediaInfos) {
        m_pMediaInfos->clearData();
        m_pMediaInfos->setMediaInfo(m_pCurPlayItem);
    }

    if (!m_pPlayObject->SetPlayFile(m_pCurPlayItem, 0, 0)) {
        emit emitSetCurrentPlayingPlayItemInfo(m_pCurPlayItem, PlayListItemState_Finished);
        if (m_pPlayObject->getPlayerState() == PlayState_Completed) {
            // A path failing again with nothing started in between: the list has nothing
            // playable left, so the queued completion ends the hops instead of asking for more.
            if (m_failedPaths.contains(m_pCurPlayItem->path))
                m_bStopFailedChain = true;
            else
                m_failedPaths.insert(m_pCurPlayItem->path);
            return;
        }
        emit emitPlayerToChangeTitle(m_pCurPlayItem->Filename);
        showToolTip(mediaTitle());
        return;
    }

    m_failedPaths.clear();
    m_bStopFailedChain = false;
    if (m_pHistoryManager)
        m_pHistoryManager->addFileInfoToPlayHistory(playItemInfo);
    emit emitPlayerToChangeTitle(m_pCurPlayItem->Filename);
    refreshMediaSetting();
    updateSettingDlgPages();
    m_pPlayObject->StartPlay();
    emit emitSetCurrentPlayingPlayItemInfo(m_pCurPlayItem, PlayListItemState_Playing);
    updateMenu();
    showToolTip(mediaTitle());
    if (m_pPlayBtnWidget && !m_pPlayBtnWidget->isHidden()) {
        m_nHideCount = 15;
        if (!m_bMainFullScreen && m_pHiddenDlg && m_pHiddenDlg->isHidden())
            m_pHiddenDlg->show();
    }
}

void QMediaPlayWindow::loadedPlayFile(PlayItemInfo playInfo)
{
    emit emitDragMediaPlayItemInfo(playInfo);
    PlayVideoFile(&playInfo);
}

void QMediaPlayWindow::refreshMediaSetting()
{
    if (!m_pSettingManager)
        return;
    MediaSettting setting;
    m_pSettingManager->getMediaSettting(setting);
    setting.m_subltItemList.clear();
    setting.m_audioTrackList.clear();
    setting.m_subtitleValue.m_audioTrack = 0;
    setting.m_subtitleValue.m_subtitleIndex = 0;
    setting.m_subtitleValue.m_embeddedCount = 0;
    setting.m_subtitleValue.m_itemData.clear();
    if (m_pMediaInfos)
        m_pMediaInfos->getSubltListOrAudioList(setting.m_subltItemList, setting.m_audioTrackList,
                                               setting.m_subtitleValue);
    m_pSettingManager->setMediaSettting(setting);
    m_mediaSetting = setting;
}

void QMediaPlayWindow::updateSettingDlgPages()
{
    if (!m_pSettingDlg)
        return;
    m_pSettingDlg->updateSubtitleForm();
    m_pSettingDlg->updateFillMode();
    m_pSettingDlg->updateAspectRatio();
    m_pSettingDlg->updateDeinterlace();
}

QString QMediaPlayWindow::mediaTitle() const
{
    if (m_pMediaInfos && !m_pMediaInfos->m_tagInfo.title.empty())
        return QString::fromStdString(m_pMediaInfos->m_tagInfo.title);
    return m_pCurPlayItem ? m_pCurPlayItem->Filename : QString();
}

void QMediaPlayWindow::setPlayerProgram(int programIndex, uint64_t seekTime)
{
    if (!m_pPlayObject || !m_pPlayObject->SetPlayProgram(programIndex, seekTime))
        return;
    if (m_pMediaInfos)
        m_pMediaInfos->setProgramIndex(programIndex);
    refreshMediaSetting();
    updateSettingDlgPages();
    m_pPlayObject->StartPlay();
    if (m_pCurPlayItem)
        emit emitSetCurrentPlayingPlayItemInfo(m_pCurPlayItem, PlayListItemState_Playing);
    updateMenu();
}

void QMediaPlayWindow::playCompleted(PlayState playState)
{
    const bool ended = playState == PlayState_Completed;
    if (m_bStopFailedChain) {
        m_bStopFailedChain = false;
        if (ended)
            emit emitPlayFileFailure();
        return;
    }
    if (!m_pMediaInfos) {
        if (ended)
            emit emitPlayNextMedia();
        return;
    }
    const int count = m_pMediaInfos->m_programCount;
    const int index = m_pMediaInfos->m_currentIndex;
    if (count >= 2 && index + 1 < count) {
        if (m_pMediaInfos->m_isDisc) {
            if (ended)
                setPlayerProgram(index + 1, 0);
            else
                m_pMediaInfos->setProgramIndex(0);
        } else if (ended) {
            setPlayerProgram(m_playModel == PlayModel_SingleLoop ? index : index + 1, 0);
        }
        return;
    }
    if (ended)
        emit emitPlayNextMedia();
}

void QMediaPlayWindow::onPlay()
{
    if (!m_pCurPlayItem) {
        if (m_pPlayBtnWidget)
            m_pPlayBtnWidget->VideoFinished();
        actOpenFile();
        return;
    }
    if (!m_pPlayObject)
        return;
    emit emitPlayerToChangeTitle(m_pCurPlayItem->Filename);
    if (m_pSettingManager)
        m_pSettingManager->setMediaSettting(m_mediaSetting);
    if (m_pSettingDlg)
        m_pSettingDlg->updateFrom();
    updateMenu();
    m_pPlayObject->StartPlay();
    if (m_pPlayObject->isPlayer())
        showToolTip(tr("Play"));
}

void QMediaPlayWindow::onPausePlay()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->pausePlay();
    if (m_pPlayObject->isPause())
        showToolTip(tr("Pause"));
}

void QMediaPlayWindow::onStopPlay()
{
    if (!m_pPlayObject)
        return;
    m_pPlayObject->OnBtnStop();
    emit emitPlayerToChangeTitle(QString());
    if (m_pMediaInfos)
        m_pMediaInfos->setProgramIndex(0);
    if (m_pSettingManager)
        m_pSettingManager->setMediaSettting(stoppedMediaSetting());
    if (m_pSettingDlg)
        m_pSettingDlg->updateFrom();
    updateMenu();
    showToolTip(tr("Stop"));
    setMediaType(MediaType_None);
}

void QMediaPlayWindow::playFinished()
{
    if (m_pCurPlayItem)
        emit emitSetCurrentPlayingPlayItemInfo(m_pCurPlayItem, PlayListItemState_Finished);
}

void QMediaPlayWindow::mediaBeginPlay(bool isPlay)
{
    if (m_pCurPlayItem)
        emit emitSetCurrentPlayingPlayItemInfo(m_pCurPlayItem,
                                               isPlay ? PlayListItemState_Playing : PlayListItemState_Paused);
}

void QMediaPlayWindow::playMediaType(MediaType mediaType)
{
    setMediaType(mediaType);
}

void QMediaPlayWindow::setMediaType(MediaType mediaType)
{
    const bool video = mediaType == MediaType_Video;
    const bool audio = mediaType == MediaType_Audio;
    ui->m_mediaVideo->setVisible(video);
    ui->m_mediaAudio->setVisible(audio);
    ui->m_cover->setVisible(!video && !audio);
    m_bAudioOnly = audio;
    m_mediaType = mediaType;
}

MediaType QMediaPlayWindow::getMEdiaType() const
{
    return m_mediaType;
}

bool QMediaPlayWindow::isDiscProgram() const
{
    return m_pMediaInfos && m_pMediaInfos->m_isDisc && m_pMediaInfos->m_currentProgram;
}

void QMediaPlayWindow::setTimeLabel(uint64_t time)
{
    if (!m_pMediaInfos || !m_pPlayBtnWidget)
        return;
    QString start;
    QString end;
    if (isDiscProgram()) {
        start = ZRHelper::getTime(time + m_pMediaInfos->m_currentProgram->m_start);
        end = ZRHelper::getTime(m_pMediaInfos->m_programsDuration);
    } else {
        start = ZRHelper::getTime(time);
        end = ZRHelper::getTime(m_pMediaInfos->m_mediaDuration);
    }
    m_pPlayBtnWidget->setStartTime(start);
    m_pPlayBtnWidget->setEndTime(end);
    if (m_pPlayObject && m_pPlayObject->getPlayerState() == PlayState_Stopped) {
        m_pPlayBtnWidget->setStartTime(ZRHelper::getTime(0));
        m_pPlayBtnWidget->setEndTime(ZRHelper::getTime(0));
    }
}

// A disc shows one slider across all its titles.
void QMediaPlayWindow::setProcessValue(double processValue)
{
    if (!m_pPlayBtnWidget)
        return;
    double value = processValue;
    if (isDiscProgram()) {
        const ProgramInfo *program = m_pMediaInfos->m_currentProgram;
        const unsigned long long total = m_pMediaInfos->m_programsDuration;
        const bool stopped = m_pPlayObject && m_pPlayObject->getPlayerState() == PlayState_Stopped;
        value = 0.0;
        if (!stopped && total > 0) {
            const auto within = static_cast<unsigned long long>(double(program->m_duration) * processValue);
            value = double(program->m_start + within) / double(total);
        }
    }
    m_pPlayBtnWidget->setProcessValue(value);
}

void QMediaPlayWindow::ProgressValueChange(double processValue)
{
    if (!m_pPlayObject)
        return;
    if (!isDiscProgram()) {
        m_pPlayObject->ProgressValueChange(processValue);
        return;
    }
    const unsigned long long total = m_pMediaInfos->m_programsDuration;
    const auto time = static_cast<unsigned long long>(double(total) * qBound(0.0, processValue, 1.0));
    ProgramInfo *program = m_pMediaInfos->getProgramInfoFromTime(time);
    const int index = m_pMediaInfos->m_programList.indexOf(program);
    // Nothing to seek into: no length, or no title holds the time.
    if (total == 0 || index < 0 || program->m_duration == 0)
        return;
    const unsigned long long seek = time > program->m_start ? time - program->m_start : 0;
    if (index != m_pMediaInfos->m_currentIndex)
        setPlayerProgram(index, seek);
    m_pPlayObject->ProgressValueChange(double(seek) / double(program->m_duration));
}

void QMediaPlayWindow::SoundValueChange(double value)
{
    m_fVolume = float(200.0 * value);
    if (m_pPlayBtnWidget)
        m_pPlayBtnWidget->setMute(value <= 0);
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", QString::number(m_fVolume, 'g', 6));
    if (m_pPlayObject)
        m_pPlayObject->setSoundVolume(int(m_fVolume));
}

void QMediaPlayWindow::OnBtnVolume(bool bMute)
{
    if (bMute) {
        if (m_fVolume == 0.0f)
            m_fVolume = 100.0f;
        if (m_pPlayBtnWidget)
            m_pPlayBtnWidget->setVolume(0.0);
        if (m_pPlayObject)
            m_pPlayObject->setSoundVolume(0);
        return;
    }
    if (m_fVolume == 0.0f)
        m_fVolume = 200.0f;
    if (m_pPlayBtnWidget)
        m_pPlayBtnWidget->setVolume(m_fVolume * 100.0 / 200.0);
    if (m_pPlayObject)
        m_pPlayObject->setSoundVolume(int(m_fVolume));
}

void QMediaPlayWindow::deleteCurrentPlayItem(PlayItemInfo *)
{
    delete m_pCurPlayItem;
    m_pCurPlayItem = nullptr;
    onStopPlay();
    emit emitPlayerToChangeTitle(QString());
}

void QMediaPlayWindow::settingChange()
{
    if (m_pSettingManager)
        m_pSettingManager->getMediaSettting(m_mediaSetting);
}

// Centred over the window; raised by hiding and showing it again.
void QMediaPlayWindow::onBtnSetting()
{
    if (!m_pSettingDlg)
        return;
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    int x = (width() - m_pSettingDlg->width()) / 2 + corner.x();
    int y = (height() - m_pSettingDlg->height()) / 2 + corner.y();
    if (x < 1)
        x = 50;
    if (y < 1)
        y = 50;
    m_pSettingDlg->move(x, y);
    m_pSettingDlg->hide();
    m_pSettingDlg->show();
}

void QMediaPlayWindow::KeepVideoScale(bool bScale)
{
    m_bKeepScale = bScale;
    if (m_pPlayObject)
        m_pPlayObject->ResizeVideoWindow(bScale);
    setFocus(Qt::OtherFocusReason);
}

void QMediaPlayWindow::setPlayModel(PlayModel playMode)
{
    m_playModel = playMode;
}

void QMediaPlayWindow::showToolTip(QString content)
{
    if (!m_pMessageForm)
        return;
    m_pMessageForm->hide();
    m_pMessageForm->setMeassge(content);
    m_pMessageForm->show();
}

void QMediaPlayWindow::showOpacityMsgDlg(QString text)
{
    if (!m_pOpacityMsgDlg)
        m_pOpacityMsgDlg = new QMessageOpacityForm(this);
    m_pOpacityMsgDlg->setMessageText(text);
    m_pOpacityMsgDlg->startOpacity();
    m_pOpacityMsgDlg->setShowlink(0, 0, false);
    m_pOpacityMsgDlg->setCheckShow(false);
    const QRect desktop = screen()->virtualGeometry();
    m_pOpacityMsgDlg->move(desktop.x() + desktop.width() - 30 - m_pOpacityMsgDlg->width(), desktop.y() + 10);
    m_pOpacityMsgDlg->show();
}
