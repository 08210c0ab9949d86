#ifndef QMENUMANAGER_H
#define QMENUMANAGER_H

#include "engine/playiteminfo.h"
#include "engine/playtypes.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

class QAction;
class QActionGroup;
class QMediaInfos;
class QMediaSettingManager;
class QMenuBar;
class QMessageForm;
class QPlayHistoryManager;
class QSettingDlg;
class QWidget;
class QZRMenu;
class ZRQPlayObject;

// Every popup menu of the player: the right-click menu, the control bar's track and snapshot
// menus. It builds the entry tree once, rebuilds the media lists when a file opens, plays or stops,
// carries out the commands of the entries, and is the one place that acts on the player's keys.
class QMenuManager : public QObject
{
    Q_OBJECT

public:
    explicit QMenuManager(QObject *parent = nullptr);
    ~QMenuManager() override;

    void setSettingManager(QMediaSettingManager *settingManager);
    void setPlayObject(ZRQPlayObject *playObject);
    void setMenuBar(QMenuBar *menuBar);
    void setMediaInfos(QMediaInfos *mediaInfos);
    void setMessageForm(QMessageForm *messageForm);
    void setPlayHistoryManager(QPlayHistoryManager *historyManager);
    void setSettingDlg(QSettingDlg *settingDlg);

    QZRMenu *getNormalMenu() const;
    QZRMenu *getScreenshotsMenu() const;
    // The track menu with the chosen audio track and subtitle checked.
    QZRMenu *getTrackMenu();

    void initMenu();
    void updateMenu();
    void updateNormalMenu(bool playing);
    void initTrackMenu();
    void clearMenu();

signals:
    void emitMenuToShow();
    void emitMenuToHide();
    void emitOpenImgPath();
    void emitShowPathSettingDlg();
    void emitActOpenFile();
    void emitActOpenDir();
    void emitActPrevious();
    void emitActNext();
    void emitSnapShot();
    void emitWindowAlwaysFront();
    void emitIsFullScreen();
    void emitFullScreenToNormal();
    void emitScreenSize(QSize size);
    void emitSetPlayerProgram(int programIndex);
    void emitPlayVideoFile(PlayItemInfo *playItemInfo);
    void emitDragMediaPlayItemInfo(PlayItemInfo playItemInfo);

public slots:
    // Playback.
    void actPlay();
    void actPause();
    void actStop();
    void actStep();
    void actStepBack();
    void actForwardJump();
    void actJumpBack();
    void playFinish();
    void mediaBeginPlay(bool isPlay);

    // Speed, picture and synchronisation.
    void actFaster();
    void actNormal();
    void actSlower();
    void fillModeTriggered(QAction *action);
    void aspectRatioTriggered(QAction *action);
    void deinterlaceTriggered(QAction *action);
    void rotate_L_90();
    void rotate_R_90();
    void flipH();
    void flipV();
    void actResyncAudioInc();
    void actResyncAudioDec();
    void actResyncSubtitleInc();
    void actResyncSubtitledec();

    // Window and dialogs.
    void menuScalingTriggered(QAction *action);
    void scalingScreen(int index);
    void setAlwaysFront(bool check);
    void actVedioEffectSettings();
    void actAudioEffectSettings();
    void actSubtitleSettings();
    void actMediaInfo();
    void actExit();
    void actFullScreenTriggered();

    // Also the key filter's: each writes the value to the hub, refreshes the settings page and
    // checks the entry that stands for it.
    void playerOrPause();
    void fillMode(int index);
    void aspectRatio(int index);
    void deinterlace(int index);
    void alwaysFrontTriggered();

    // Refresh from the settings dialog.
    void updateFillMode(int index);
    void updateAspectRatio(RatioType ratioType);
    void updateDeinterlace(int index);
    void updateSubtitleChange();

    // Media lists.
    void audioTriggered(QAction *action);
    void subtitleTriggered(QAction *action);
    void chapterTriggered(QAction *action);
    void programTriggered(QAction *action);
    void historyTriggered();
    void actAddSubtitle();
    void actClearHistory();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QZRMenu *newMenu();
    QAction *newAction(const QString &text, const QKeySequence &shortcut = QKeySequence());
    // An entry with a submenu of its own.
    QAction *newMenuAction(const QString &text, QZRMenu *&menu);
    void initScreenshotsAct();
    void initDeinterlaceAct();
    void initPictureModeAct();
    void initFileMenu();
    void initPlayerMenu();
    void initAudioMenu();
    void initVideoMenu();
    void initSubtitleMenu();
    void initToolsAct();
    void initWindowMenu();
    void initSynchronizationMenu();
    void initAddAction();

    void initAudioAct();
    void initSubtitleAct();
    void initChapterAct();
    void initProgramAct();
    void loadingHistory();
    // Deletes the entries after the current event: one of them may be the entry being triggered.
    void dropEntries(QList<QAction *> &entries);
    // Fills a media list and its submenu; "Empty" when there are no texts.
    void fillList(QList<QAction *> &entries, QActionGroup *&group, QZRMenu *menu, const QStringList &texts,
                  bool checkable, int checked, void (QMenuManager::*slot)(QAction *));

    void showToolTip(QString text);
    void settingsPage(int page);
    void rotate(int degree, int mirror, bool flip);
    void resyncAudio(double step);
    void resyncSubtitle(double step);
    void showSpeed(int step);

    QWidget *m_pParentWindow = nullptr;
    QMediaSettingManager *m_pSettingManager = nullptr;
    ZRQPlayObject *m_pPlayObject = nullptr;
    QMenuBar *m_pMenuBar = nullptr;
    QMediaInfos *m_pMediaInfos = nullptr;
    QMessageForm *m_pMessageForm = nullptr;
    // The main window deletes the settings dialog when it closes.
    QPointer<QSettingDlg> m_pSettingDlg;
    QPlayHistoryManager *m_pHistoryManager = nullptr;
    bool m_bAlwaysFront = false;

    QZRMenu *m_pTrackMenu = nullptr;
    QZRMenu *m_pScreenshotsMenu = nullptr;
    QZRMenu *m_pNormalMenu = nullptr;

    QZRMenu *m_pFileMenu = nullptr;
    QZRMenu *m_pHistoryMenu = nullptr;
    QZRMenu *m_pPlayerMenu = nullptr;
    QZRMenu *m_pChapterMenu = nullptr;
    QZRMenu *m_pProgramMenu = nullptr;
    QZRMenu *m_pSpeedMenu = nullptr;
    QZRMenu *m_pJumpMenu = nullptr;
    QZRMenu *m_pAudioMenu = nullptr;
    QZRMenu *m_pAudioTrackMenu = nullptr;
    QZRMenu *m_pVideoMenu = nullptr;
    QZRMenu *m_pAdjustMenu = nullptr;
    QZRMenu *m_pAspectMenu = nullptr;
    QZRMenu *m_pScalingMenu = nullptr;
    QZRMenu *m_pDeinterlaceMenu = nullptr;
    QZRMenu *m_pSubtitleMenu = nullptr;
    QZRMenu *m_pSubtitleTrackMenu = nullptr;
    QZRMenu *m_pWindowMenu = nullptr;
    QZRMenu *m_pSyncMenu = nullptr;

    QAction *m_actFile = nullptr;
    QAction *m_actOpenFile = nullptr;
    QAction *m_actOpenDir = nullptr;
    QAction *m_actOpenLatest = nullptr;
    QAction *m_actClearHistory = nullptr;
    QAction *m_actExit = nullptr;
    QAction *m_actPlayer = nullptr;
    QAction *m_actChapter = nullptr;
    QAction *m_actProgram = nullptr;
    QAction *m_actSpeed = nullptr;
    QAction *m_actFaster = nullptr;
    QAction *m_actNormal = nullptr;
    QAction *m_actSlower = nullptr;
    QAction *m_actJump = nullptr;
    QAction *m_actForwardJump = nullptr;
    QAction *m_actJumpBack = nullptr;
    QAction *m_actPlay = nullptr;
    QAction *m_actPause = nullptr;
    QAction *m_actStop = nullptr;
    QAction *m_actPrevious = nullptr;
    QAction *m_actNext = nullptr;
    QAction *m_actStep = nullptr;
    QAction *m_actStepBack = nullptr;
    QAction *m_actSnapshot = nullptr;
    QAction *m_actAudio = nullptr;
    QAction *m_actAudioTrack = nullptr;
    QAction *m_actVideo = nullptr;
    QAction *m_actFullScreen = nullptr;
    QAction *m_actAlwaysFront = nullptr;
    QAction *m_actAdjust = nullptr;
    QAction *m_actAspect = nullptr;
    QAction *m_actScaling = nullptr;
    QAction *m_actDeinterlace = nullptr;
    QAction *m_actRotateL = nullptr;
    QAction *m_actRotateR = nullptr;
    QAction *m_actFlipH = nullptr;
    QAction *m_actFlipV = nullptr;
    QAction *m_actSubtitle = nullptr;
    QAction *m_actAddSubtitle = nullptr;
    QAction *m_actSubtitleTrack = nullptr;
    QAction *m_actVideoControl = nullptr;
    QAction *m_actAudioControl = nullptr;
    QAction *m_actMediaInfo = nullptr;
    QAction *m_actSubtitleSettings = nullptr;
    QAction *m_actWindow = nullptr;
    QAction *m_actSync = nullptr;
    QAction *m_actResyncAudioInc = nullptr;
    QAction *m_actResyncAudioDec = nullptr;
    QAction *m_actResyncSubtitleInc = nullptr;
    QAction *m_actResyncSubtitleDec = nullptr;

    QActionGroup *m_pFillGroup = nullptr;
    QList<QAction *> m_fillActs;
    QAction *m_pCurFillAct = nullptr;
    QActionGroup *m_pAspectGroup = nullptr;
    QList<QAction *> m_aspectActs;
    QAction *m_pCurAspectAct = nullptr;
    QActionGroup *m_pDeinterlaceGroup = nullptr;
    QList<QAction *> m_deinterlaceActs;
    QAction *m_pCurDeinterlaceAct = nullptr;
    QAction *m_actAuto = nullptr;
    QAction *m_actEnable = nullptr;
    QAction *m_actDisable = nullptr;
    QActionGroup *m_pScalingGroup = nullptr;
    QList<QAction *> m_scalingActs;

    QList<QAction *> m_audioActs;
    QActionGroup *m_pAudioGroup = nullptr;
    QList<QAction *> m_subtitleActs;
    QActionGroup *m_pSubtitleGroup = nullptr;
    QList<QAction *> m_chapterActs;
    QActionGroup *m_pChapterGroup = nullptr;
    QList<QAction *> m_programActs;
    QActionGroup *m_pProgramGroup = nullptr;
    QList<QAction *> m_historyActs;
    QList<QAction *> m_trackHeaderActs;
};

#endif
