// The menu tree: construction, the builders, the assembly and the rebuilds.
#include "shell/qmenumanager.h"

#include "engine/mediasettting.h"
#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "services/qianyutil.h"
#include "settings_dialog/qsettingdlg.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrmenu.h"

#include <QActionGroup>
#include <QWidget>

QMenuManager::QMenuManager(QObject *parent) : QObject(parent), m_pParentWindow(qobject_cast<QWidget *>(parent))
{
    installEventFilter(this);
    if (parent)
        parent->installEventFilter(this);

    m_pTrackMenu = newMenu();
    m_pTrackMenu->setItemTextEabledColor(QColor(105, 122, 146));
    m_pTrackMenu->setRadioImage(QIAnyUtil::getResourcePath() + "/image/common/btn_check_on.png");
    m_pScreenshotsMenu = newMenu();
    m_pNormalMenu = newMenu();
    for (QZRMenu *menu : {m_pTrackMenu, m_pScreenshotsMenu, m_pNormalMenu}) {
        connect(menu, &QMenu::aboutToShow, this, &QMenuManager::emitMenuToShow);
        connect(menu, &QMenu::aboutToHide, this, &QMenuManager::emitMenuToHide);
    }
}

QMenuManager::~QMenuManager() = default;

void QMenuManager::setSettingManager(QMediaSettingManager *settingManager)
{
    if (settingManager)
        m_pSettingManager = settingManager;
}

void QMenuManager::setPlayObject(ZRQPlayObject *playObject)
{
    if (!playObject)
        return;
    m_pPlayObject = playObject;
    connect(playObject, &ZRQPlayObject::emitPlayFinish, this, &QMenuManager::playFinish);
    connect(playObject, &ZRQPlayObject::emitPlayState, this, &QMenuManager::mediaBeginPlay);
}

void QMenuManager::setMenuBar(QMenuBar *menuBar)
{
    if (menuBar)
        m_pMenuBar = menuBar;
}

void QMenuManager::setMediaInfos(QMediaInfos *mediaInfos)
{
    if (mediaInfos)
        m_pMediaInfos = mediaInfos;
}

void QMenuManager::setMessageForm(QMessageForm *messageForm)
{
    m_pMessageForm = messageForm;
}

void QMenuManager::setPlayHistoryManager(QPlayHistoryManager *historyManager)
{
    m_pHistoryManager = historyManager;
}

void QMenuManager::setSettingDlg(QSettingDlg *settingDlg)
{
    m_pSettingDlg = settingDlg;
    if (!settingDlg)
        return;
    connect(settingDlg, &QSettingDlg::emitAspectRatio, this, &QMenuManager::updateAspectRatio);
    connect(settingDlg, &QSettingDlg::emitDeinterlace, this, &QMenuManager::updateDeinterlace);
    connect(settingDlg, &QSettingDlg::emitFillMode, this, &QMenuManager::updateFillMode);
    connect(settingDlg, &QSettingDlg::emitSubtitleChange, this, &QMenuManager::updateSubtitleChange);
}

QZRMenu *QMenuManager::getNormalMenu() const
{
    return m_pNormalMenu;
}

QZRMenu *QMenuManager::getScreenshotsMenu() const
{
    return m_pScreenshotsMenu;
}

QZRMenu *QMenuManager::getTrackMenu()
{
    if (m_pSettingManager) {
        MediaSettting saved;
        m_pSettingManager->getMediaSetttingTemp(saved);
        const int audio = saved.m_subtitleValue.m_audioTrack;
        if (audio >= 0 && audio < m_audioActs.size())
            m_audioActs.at(audio)->setChecked(true);
        const int subtitle = saved.m_subtitleValue.m_subtitleIndex;
        if (subtitle >= 0 && subtitle < m_subtitleActs.size())
            m_subtitleActs.at(subtitle)->setChecked(true);
    }
    return m_pTrackMenu;
}

QZRMenu *QMenuManager::newMenu()
{
    auto *menu = new QZRMenu(m_pParentWindow);
    QInitCtrlStyle::InitZrMenu(menu);
    return menu;
}

// The entries only show their keys: the key filter is the one place that acts on them, so a
// key never acts twice.
QAction *QMenuManager::newAction(const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, m_pParentWindow);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

QAction *QMenuManager::newMenuAction(const QString &text, QZRMenu *&menu)
{
    QAction *action = newAction(text);
    menu = newMenu();
    action->setMenu(menu);
    return action;
}

void QMenuManager::initMenu()
{
    initScreenshotsAct();
    initDeinterlaceAct();
    initPictureModeAct();
    initTrackMenu();
    initFileMenu();
    initPlayerMenu();
    initAudioMenu();
    initVideoMenu();
    initSubtitleMenu();
    initToolsAct();
    initWindowMenu();
    initSynchronizationMenu();
    initAddAction();
    loadingHistory();
    updateNormalMenu(false);
}

void QMenuManager::initScreenshotsAct()
{
    QAction *folder = newAction(tr("Open Folder"));
    QAction *settings = newAction(tr("Settings"));
    connect(folder, &QAction::triggered, this, &QMenuManager::emitOpenImgPath);
    connect(settings, &QAction::triggered, this, &QMenuManager::emitShowPathSettingDlg);
    m_pScreenshotsMenu->addAction(folder);
    m_pScreenshotsMenu->addAction(settings);
}

void QMenuManager::initDeinterlaceAct()
{
    m_pDeinterlaceGroup = new QActionGroup(m_pParentWindow);
    m_actAuto = newAction(tr("Auto"), Qt::ALT + Qt::Key_1);
    m_actEnable = newAction(tr("Enable"), Qt::ALT + Qt::Key_2);
    m_actDisable = newAction(tr("Disable"), Qt::ALT + Qt::Key_3);
    m_deinterlaceActs = {m_actAuto, m_actEnable, m_actDisable};
    for (QAction *action : qAsConst(m_deinterlaceActs)) {
        action->setCheckable(true);
        m_pDeinterlaceGroup->addAction(action);
    }
    const unsigned int mode = m_pSettingManager ? m_pSettingManager->getDeinterlace() : 1;
    m_pCurDeinterlaceAct = mode == 0 ? m_actDisable : mode == 2 ? m_actEnable : m_actAuto;
    m_pCurDeinterlaceAct->setChecked(true);
    connect(m_pDeinterlaceGroup, &QActionGroup::triggered, this, &QMenuManager::deinterlaceTriggered);
}

void QMenuManager::initPictureModeAct()
{
    m_pFillGroup = new QActionGroup(m_pParentWindow);
    QAction *fill = newAction(tr("Fill Screen"), Qt::ALT + Qt::Key_F);
    QAction *letterBox = newAction(tr("Letter Box"), Qt::ALT + Qt::Key_L);
    QAction *panScan = newAction(tr("Pan Scan"), Qt::ALT + Qt::Key_P);
    m_fillActs = {letterBox, panScan, fill};
    for (QAction *action : {fill, letterBox, panScan}) {
        action->setCheckable(true);
        m_pFillGroup->addAction(action);
    }

    m_pAspectGroup = new QActionGroup(m_pParentWindow);
    m_aspectActs = {newAction(tr("Original Display"), Qt::SHIFT + Qt::Key_A),
                    newAction(tr("Original Resolution"), Qt::SHIFT + Qt::Key_S),
                    newAction(tr("16:9"), Qt::SHIFT + Qt::Key_1),
                    newAction(tr("4:3"), Qt::SHIFT + Qt::Key_2),
                    newAction(tr("9:16"), Qt::SHIFT + Qt::Key_3),
                    newAction(tr("3:4"), Qt::SHIFT + Qt::Key_4)};
    for (QAction *action : qAsConst(m_aspectActs)) {
        action->setCheckable(true);
        m_pAspectGroup->addAction(action);
    }

    MediaSettting working;
    if (m_pSettingManager)
        m_pSettingManager->getMediaSettting(working);
    m_pCurFillAct = m_fillActs.value(working.m_fillMode, m_fillActs.first());
    m_pCurFillAct->setChecked(true);
    m_pCurAspectAct = m_aspectActs.value(int(working.m_ratio), m_aspectActs.first());
    m_pCurAspectAct->setChecked(true);
    connect(m_pFillGroup, &QActionGroup::triggered, this, &QMenuManager::fillModeTriggered);
    connect(m_pAspectGroup, &QActionGroup::triggered, this, &QMenuManager::aspectRatioTriggered);

    m_actRotateL = newAction(tr("Rotate Anticlockwise 90"), Qt::SHIFT + Qt::Key_L);
    m_actRotateR = newAction(tr("Rotate Clockwise 90"), Qt::SHIFT + Qt::Key_R);
    m_actFlipH = newAction(tr("Flip Horizontal"), Qt::SHIFT + Qt::Key_H);
    m_actFlipV = newAction(tr("Flip Vertical"), Qt::SHIFT + Qt::Key_V);
    connect(m_actRotateL, &QAction::triggered, this, &QMenuManager::rotate_L_90);
    connect(m_actRotateR, &QAction::triggered, this, &QMenuManager::rotate_R_90);
    connect(m_actFlipH, &QAction::triggered, this, &QMenuManager::flipH);
    connect(m_actFlipV, &QAction::triggered, this, &QMenuManager::flipV);
}

void QMenuManager::initFileMenu()
{
    m_actFile = newMenuAction(tr("File"), m_pFileMenu);
    m_actOpenFile = newAction(tr("Open File"), Qt::CTRL + Qt::Key_O);
    m_actOpenDir = newAction(tr("Open Folder"), Qt::CTRL + Qt::Key_D);
    m_actOpenLatest = newMenuAction(tr("Open Latest File"), m_pHistoryMenu);
    m_actClearHistory = newAction(tr("Clear History"));
    m_actExit = newAction(tr("Exit"), Qt::CTRL + Qt::Key_W);
    connect(m_actOpenFile, &QAction::triggered, this, &QMenuManager::emitActOpenFile);
    connect(m_actOpenDir, &QAction::triggered, this, &QMenuManager::emitActOpenDir);
    connect(m_actClearHistory, &QAction::triggered, this, &QMenuManager::actClearHistory);
    connect(m_actExit, &QAction::triggered, this, &QMenuManager::actExit);
}

void QMenuManager::initPlayerMenu()
{
    m_actPlayer = newMenuAction(tr("Player"), m_pPlayerMenu);
    m_actChapter = newMenuAction(tr("Chapter"), m_pChapterMenu);
    m_actProgram = newMenuAction(tr("Program"), m_pProgramMenu);

    m_actSpeed = newMenuAction(tr("Speed"), m_pSpeedMenu);
    m_actFaster = newAction(tr("Faster"), Qt::SHIFT + Qt::Key_F);
    m_actNormal = newAction(tr("Normal"), Qt::SHIFT + Qt::Key_N);
    m_actSlower = newAction(tr("Slower"), Qt::SHIFT + Qt::Key_D);
    m_pSpeedMenu->addActions({m_actFaster, m_actNormal, m_actSlower});
    connect(m_actFaster, &QAction::triggered, this, &QMenuManager::actFaster);
    connect(m_actNormal, &QAction::triggered, this, &QMenuManager::actNormal);
    connect(m_actSlower, &QAction::triggered, this, &QMenuManager::actSlower);

    m_actJump = newMenuAction(tr("Jump"), m_pJumpMenu);
    m_actForwardJump = newAction(tr("Jump Forward 10 sec"), Qt::CTRL + Qt::Key_F);
    m_actJumpBack = newAction(tr("Jump Back 10 sec"), Qt::CTRL + Qt::Key_B);
    m_pJumpMenu->addActions({m_actForwardJump, m_actJumpBack});
    connect(m_actForwardJump, &QAction::triggered, this, &QMenuManager::actForwardJump);
    connect(m_actJumpBack, &QAction::triggered, this, &QMenuManager::actJumpBack);

    m_actPlay = newAction(tr("Play"), Qt::Key_Space);
    m_actPause = newAction(tr("Pause"), Qt::Key_Space);
    m_actStop = newAction(tr("Stop"), Qt::CTRL + Qt::Key_Space);
    m_actPrevious = newAction(tr("Previous File"), Qt::CTRL + Qt::Key_P);
    m_actNext = newAction(tr("Next File"), Qt::CTRL + Qt::Key_N);
    m_actStep = newAction(tr("Step"), Qt::ALT + Qt::Key_K);
    m_actStepBack = newAction(tr("Step Back"), Qt::ALT + Qt::Key_M);
    m_actSnapshot = newAction(tr("Snapshot"), Qt::CTRL + Qt::Key_X);
    connect(m_actPlay, &QAction::triggered, this, &QMenuManager::actPlay);
    connect(m_actPause, &QAction::triggered, this, &QMenuManager::actPause);
    connect(m_actStop, &QAction::triggered, this, &QMenuManager::actStop);
    connect(m_actPrevious, &QAction::triggered, this, &QMenuManager::emitActPrevious);
    connect(m_actNext, &QAction::triggered, this, &QMenuManager::emitActNext);
    connect(m_actStep, &QAction::triggered, this, &QMenuManager::actStep);
    connect(m_actStepBack, &QAction::triggered, this, &QMenuManager::actStepBack);
    connect(m_actSnapshot, &QAction::triggered, this, &QMenuManager::emitSnapShot);
}

void QMenuManager::initAudioMenu()
{
    m_actAudio = newMenuAction(tr("Audio"), m_pAudioMenu);
    m_actAudioTrack = newMenuAction(tr("Audio Track"), m_pAudioTrackMenu);
}

// The stand-alone "Full Screen" and "Always on top" entries show in no menu: Alt+A and Ctrl+T are
// the key filter's.
void QMenuManager::initVideoMenu()
{
    m_actVideo = newMenuAction(tr("Video"), m_pVideoMenu);
    m_actFullScreen = newAction(tr("Full Screen"), Qt::ALT + Qt::Key_A);
    connect(m_actFullScreen, &QAction::triggered, this, &QMenuManager::actFullScreenTriggered);
    m_actAlwaysFront = newAction(tr("Always on top"), Qt::CTRL + Qt::Key_T);
    m_actAlwaysFront->setCheckable(true);
    connect(m_actAlwaysFront, &QAction::triggered, this, &QMenuManager::emitWindowAlwaysFront);
    m_actAdjust = newMenuAction(tr("Adjust"), m_pAdjustMenu);
    m_actAspect = newMenuAction(tr("Aspect Ratio"), m_pAspectMenu);
    m_actScaling = newMenuAction(tr("Keep Video Frame To"), m_pScalingMenu);
    m_pScalingGroup = new QActionGroup(m_pParentWindow);
    QAction *fullScreen = newAction(tr("Full Screen"), Qt::ALT + Qt::Key_A);
    QAction *half = newAction(tr("Half Size (50%)"), Qt::CTRL + Qt::Key_1);
    QAction *normal = newAction(tr("Normal Size (100%)"), Qt::CTRL + Qt::Key_2);
    QAction *twice = newAction(tr("Double Size (200%)"), Qt::CTRL + Qt::Key_3);
    m_scalingActs = {half, normal, twice, fullScreen};
    for (QAction *action : {fullScreen, half, normal, twice})
        m_pScalingGroup->addAction(action);
    connect(m_pScalingMenu, &QMenu::triggered, this, &QMenuManager::menuScalingTriggered);
    m_actDeinterlace = newMenuAction(tr("Deinterlace"), m_pDeinterlaceMenu);
}

void QMenuManager::initSubtitleMenu()
{
    m_actSubtitle = newMenuAction(tr("Subtitle"), m_pSubtitleMenu);
    m_actAddSubtitle = newAction(tr("Add Subtitle File"), Qt::ALT + Qt::Key_O);
    connect(m_actAddSubtitle, &QAction::triggered, this, &QMenuManager::actAddSubtitle);
    m_actSubtitleTrack = newMenuAction(tr("Subtitle Track"), m_pSubtitleTrackMenu);
}

void QMenuManager::initToolsAct()
{
    m_actVideoControl = newAction(tr("Video Control"), Qt::CTRL + Qt::Key_V);
    m_actAudioControl = newAction(tr("Audio Control"), Qt::CTRL + Qt::Key_A);
    m_actMediaInfo = newAction(tr("Media Infomation"), Qt::CTRL + Qt::Key_I);
    m_actSubtitleSettings = newAction(tr("Subtitle Settings"), Qt::CTRL + Qt::Key_S);
    connect(m_actVideoControl, &QAction::triggered, this, &QMenuManager::actVedioEffectSettings);
    connect(m_actAudioControl, &QAction::triggered, this, &QMenuManager::actAudioEffectSettings);
    connect(m_actMediaInfo, &QAction::triggered, this, &QMenuManager::actMediaInfo);
    connect(m_actSubtitleSettings, &QAction::triggered, this, &QMenuManager::actSubtitleSettings);
}

void QMenuManager::initWindowMenu()
{
    m_actWindow = newMenuAction(tr("Window"), m_pWindowMenu);
}

void QMenuManager::initSynchronizationMenu()
{
    m_actSync = newMenuAction(tr("Synchronization"), m_pSyncMenu);
    m_actResyncAudioInc = newAction(tr("Resync Audio: +0.5s"), Qt::ALT + Qt::Key_I);
    m_actResyncAudioDec = newAction(tr("Resync Audio: -0.5s"), Qt::ALT + Qt::Key_E);
    m_actResyncSubtitleInc = newAction(tr("Resync Subtitle: +0.5s"), Qt::SHIFT + Qt::Key_I);
    m_actResyncSubtitleDec = newAction(tr("Resync Subtitle: -0.5s"), Qt::SHIFT + Qt::Key_E);
    m_pSyncMenu->addActions({m_actResyncAudioInc, m_actResyncAudioDec, m_actResyncSubtitleInc, m_actResyncSubtitleDec});
    connect(m_actResyncAudioInc, &QAction::triggered, this, &QMenuManager::actResyncAudioInc);
    connect(m_actResyncAudioDec, &QAction::triggered, this, &QMenuManager::actResyncAudioDec);
    connect(m_actResyncSubtitleInc, &QAction::triggered, this, &QMenuManager::actResyncSubtitleInc);
    connect(m_actResyncSubtitleDec, &QAction::triggered, this, &QMenuManager::actResyncSubtitledec);
}

void QMenuManager::initAddAction()
{
    m_pFileMenu->clear();
    m_pFileMenu->addActions({m_actOpenFile, m_actOpenDir, m_actOpenLatest});

    m_pPlayerMenu->clear();
    m_pPlayerMenu->addAction(m_actChapter);
    m_actProgram->setText(m_pMediaInfos && m_pMediaInfos->m_isDisc ? tr("Title") : tr("Program"));
    m_pPlayerMenu->addAction(m_actProgram);
    m_pPlayerMenu->addSeparator();
    m_pPlayerMenu->addActions({m_actSpeed, m_actJump});

    m_pAudioMenu->clear();
    m_pAudioMenu->addActions({m_actAudioTrack, m_actAudioControl});

    m_pVideoMenu->clear();
    m_pVideoMenu->addActions({m_actAdjust, m_actAspect});
    m_pVideoMenu->addSeparator();
    m_pVideoMenu->addActions({m_actRotateL, m_actRotateR});
    m_pVideoMenu->addSeparator();
    m_pVideoMenu->addActions({m_actFlipH, m_actFlipV});
    m_pVideoMenu->addSeparator();
    m_pVideoMenu->addActions({m_actDeinterlace, m_actVideoControl});

    m_pSubtitleMenu->clear();
    m_pSubtitleMenu->addActions({m_actAddSubtitle, m_actSubtitleTrack, m_actSubtitleSettings});

    m_pWindowMenu->clear();
    m_pWindowMenu->addAction(m_actScaling);

    m_pAdjustMenu->clear();
    m_pAdjustMenu->addActions(m_fillActs);
    m_pDeinterlaceMenu->clear();
    m_pDeinterlaceMenu->addActions(m_deinterlaceActs);
    m_pAspectMenu->clear();
    m_pAspectMenu->addActions(m_aspectActs);
    m_pScalingMenu->clear();
    m_pScalingMenu->addActions(m_scalingActs);
    // The history submenu is filled by loadingHistory(), which always follows.
}

void QMenuManager::updateNormalMenu(bool playing)
{
    m_pNormalMenu->clear();
    m_actPause->setEnabled(playing);
    m_actPlay->setEnabled(!playing);
    m_pNormalMenu->addAction(playing ? m_actPause : m_actPlay);
    m_pNormalMenu->addActions({m_actStop, m_actPrevious, m_actNext, m_actStep, m_actStepBack, m_actSnapshot});
    m_pNormalMenu->addSeparator();
    m_pNormalMenu->addActions({m_actWindow, m_actSync});
    m_pNormalMenu->addSeparator();
    m_pNormalMenu->addActions({m_actVideo, m_actAudio, m_actSubtitle, m_actPlayer, m_actFile});
    m_pNormalMenu->addSeparator();
    m_pNormalMenu->addActions({m_actMediaInfo, m_actExit});
}

// The headers of the last build go: a rebuild on its own would leave them behind.
void QMenuManager::initTrackMenu()
{
    m_pTrackMenu->clear();
    dropEntries(m_trackHeaderActs);
    QAction *audio = newAction(tr("Audio Track"));
    audio->setEnabled(false);
    m_pTrackMenu->addAction(audio);
    m_trackHeaderActs.append(audio);
    QList<QString> audioNames;
    if (m_pSettingManager)
        m_pSettingManager->getAudioListTemp(audioNames);
    if (!audioNames.isEmpty())
        m_pTrackMenu->addActions(m_audioActs);
    m_pTrackMenu->addSeparator();

    const ProgramInfo *program = m_pMediaInfos ? m_pMediaInfos->m_currentProgram : nullptr;
    if (!program || program->m_type != MediaType_Video)
        return;
    QAction *subtitles = newAction(tr("Subtitle Track"));
    subtitles->setEnabled(false);
    m_pTrackMenu->addAction(subtitles);
    m_trackHeaderActs.append(subtitles);
    if (m_pSettingManager && !m_pSettingManager->getSubltItemInfoListTemp().isEmpty())
        m_pTrackMenu->addActions(m_subtitleActs);
}

void QMenuManager::clearMenu()
{
    dropEntries(m_audioActs);
    dropEntries(m_subtitleActs);
    dropEntries(m_trackHeaderActs);
}

void QMenuManager::updateMenu()
{
    clearMenu();
    initAddAction();
    initSubtitleAct();
    initChapterAct();
    initAudioAct();
    initProgramAct();
    loadingHistory();
    initTrackMenu();
}
