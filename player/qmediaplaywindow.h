#ifndef QMEDIAPLAYWINDOW_H
#define QMEDIAPLAYWINDOW_H

#include "engine/mediasettting.h"
#include "engine/playiteminfo.h"
#include "engine/playtypes.h"
#include "engine/qutilthread.h"
#include "player/qmediaplaywindowflags.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>

class PlayBtnWidget;
class QHiddenDlg;
class QKeyEvent;
class QLoadingDlg;
class QMenuManager;
class QMediaInfos;
class QMediaSettingManager;
class QMessageForm;
class QMessageOpacityForm;
class QMouseEvent;
class QPlayHistoryManager;
class QSettingDlg;
class QSubtitleSettingDlg;
class QTimer;
class Ui_QMediaPlayWindow;
class ZRQPlayObject;

// The pane of the main window in which media plays: the video pane, the audio pane and the idle
// cover. It takes items in (its own loading thread for files and folders, the playlist, the
// history), plays them through the playback object, steps through programs and titles, keeps the
// floating control bar placed over itself, and takes snapshots. It owns none of its
// collaborators; the main window hands them over before the first show, and any left unset is
// simply skipped.
class QMediaPlayWindow : public QWidget, public QUtilThread, public QMediaPlayWindowFlags
{
    Q_OBJECT

public:
    explicit QMediaPlayWindow(QWidget *parent = nullptr);
    ~QMediaPlayWindow() override;

    void setPlayObject(ZRQPlayObject *playObject);
    void setSettingManager(QMediaSettingManager *settingManager);
    void setPlayBtnWidget(PlayBtnWidget *playBtnWidget);
    void setMediaInfos(QMediaInfos *mediaInfos);
    void setMessageForm(QMessageForm *messageForm);
    void setSubtitleSettingDlg(QSubtitleSettingDlg *subtitleSettingDlg);
    void setHiddenDlg(QHiddenDlg *hiddenDlg);
    void setPlayHistoryManager(QPlayHistoryManager *historyManager);
    // Also follows the dialog's changes of the playback settings.
    void setSettingDlg(QSettingDlg *settingDlg);
    // Its key filter watches the window; its menus pop up here and follow what plays.
    void setMenuManager(QMenuManager *menuManager);
    // Which of the overlay's buttons shows: "show playlist" while it is hidden.
    void setHiddenPlayListBtnState(bool hidden);

    // Shows the panes of a medium type; anything but audio or video shows the cover.
    void setMediaType(MediaType mediaType);
    MediaType getMEdiaType() const;

    void ininScreenshotsInfo();
    // A free "ScreenCapture_<time>.png" path in the snapshot folder, numbered when taken.
    QString getScreenshotOutpath();

    void OnExecute() override;

signals:
    void emitLoadedPlayFile(PlayItemInfo playItemInfo);
    void emitPlayFileFailure();
    void emitLoadThreadCoomplete();
    void emitUpdateLoadDlg(QList<QString> list);
    void emitDragMediaPlayItemInfo(PlayItemInfo playItemInfo);
    void emitSetCurrentPlayingPlayItemInfo(PlayItemInfo *playItemInfo, PlayListItemState itemState);
    void emitPlayerToChangeTitle(QString title);
    void emitPlayNextMedia();
    void emitPlayPreviousMedia();
    void emitIsFullScreen();
    void emitIsHiddenPlayList();
    void emitScreenSize(QSize size);
    void emitMediaPlayWindowMousePressEvent(QMouseEvent *event);

public slots:
    // The play road.
    void PlayVideoFile(PlayItemInfo *playItemInfo);
    void loadedPlayFile(PlayItemInfo playInfo);
    void setPlayerProgram(int programIndex, uint64_t seekTime = 0);
    void playCompleted(PlayState playState);
    void onPlay();
    void onPausePlay();
    void onStopPlay();
    void playFinished();
    void mediaBeginPlay(bool isPlay);
    void playMediaType(MediaType mediaType);
    void setTimeLabel(uint64_t time);
    void setProcessValue(double processValue);
    void ProgressValueChange(double processValue);
    void SoundValueChange(double value);
    void OnBtnVolume(bool bMute);
    void deleteCurrentPlayItem(PlayItemInfo *playItemInfo);
    void settingChange();
    void onBtnSetting();
    void OnTrack();
    void OnScreenshotsMenu();
    void KeepVideoScale(bool bScale);
    void setPlayModel(PlayModel playMode);
    void showToolTip(QString content);
    void showOpacityMsgDlg(QString text);
    void OnScreenshots();

    // Adding files.
    void actOpenFile();
    void actOpenDir();
    void updateLoadDlg(QList<QString> list);
    void traversalTimer();
    void loadThreadCoompleted();
    void StopAddFileThree();

    // The floating controls and the window modes.
    void posTimer();
    void hideTimer();
    // The two timers above run only while the controls are up or the pointer moves; any pointer
    // or activation event, or the controls being shown, starts them again.
    void wakeControlTimers();
    void updatePlayBtnPos();
    void ResizeVideoWindow();
    void fullScreenPlayer();
    void OnBtnFullScreen();
    void OnBtnExitFullScreen();
    void mediaMouseDoubleClickEvent(QMouseEvent *event);
    void fullScreenToNormal();
    void mainIsFullScreen(bool mainfullScreen);
    void windowAlwaysFront();
    void normalToShow();
    void normalToHide();
    void widgetEnterEvent(QEvent *event);
    void widgetLeaveEvent(QEvent *event);
    void widgetMouseMoveEvent(QMouseEvent *event);
    void mediaVideoMouseMoveEvent(QMouseEvent *event);
    void mediaVideoMousePressEvent(QMouseEvent *event);
    void setChildWindowTop(bool top);
    // Connected to timers that nothing starts.
    void showTimer();
    void posTimerWin();

private slots:
    void openImgPath();
    void showPathSettingDlg();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void initControls();
    void countDownToHide();
    void loadData();
    void threadLoadingFile();
    // The working settings with the current program's subtitle and audio lists, to the hub.
    void refreshMediaSetting();
    // The settings dialog's pages that follow a new file or program.
    void updateSettingDlgPages();
    void updateMenu();
    QString mediaTitle() const;
    bool isDiscProgram() const;
    // The main window: the top-level window the player window lies in.
    QWidget *mainWindow() const;
    bool pointerInside() const;
    void showControls();
    void hideControls();

    Ui_QMediaPlayWindow *ui;

    MediaType m_mediaType = MediaType_None;
    ZRQPlayObject *m_pPlayObject = nullptr;
    QMediaSettingManager *m_pSettingManager = nullptr;
    float m_fVolume = 0;
    bool m_bAudioOnly = false;
    bool m_bKeepScale = false;
    PlayItemInfo *m_pCurPlayItem = nullptr;
    PlayBtnWidget *m_pPlayBtnWidget = nullptr;
    QMessageForm *m_pMessageForm = nullptr;
    PlayModel m_playModel = PlayModel_ListPlay;
    // The main window deletes the settings dialogs when it closes; the guards see that.
    QPointer<QSubtitleSettingDlg> m_pSubtitleSettingDlg;
    QPointer<QSettingDlg> m_pSettingDlg;
    QHiddenDlg *m_pHiddenDlg = nullptr;
    QPlayHistoryManager *m_pHistoryManager = nullptr;
    QMenuManager *m_pMenuManager = nullptr;
    QMessageOpacityForm *m_pOpacityMsgDlg = nullptr;
    QMediaInfos *m_pMediaInfos = nullptr;
    bool m_bDataLoaded = false;
    MediaSettting m_mediaSetting;
    bool m_bAlwaysFront = false;
    bool m_bMainFullScreen = false;

    // Paths that failed to open since a file last started; a second failure of one of them ends
    // the hops to the next item.
    QSet<QString> m_failedPaths;
    bool m_bStopFailedChain = false;

    QList<QString> m_pendingPaths;
    std::atomic<bool> m_bStopAddFile{false};
    int m_nTraversalStep = 0;
    QTimer *m_pTraversalTimer = nullptr;
    QLoadingDlg *m_pLoadingDlg = nullptr;
    // True from the start of a loading run until its thread has ended.
    bool m_bLoading = false;

    QTimer *m_pPosTimer = nullptr;
    QTimer *m_pHideTimer = nullptr;
    QTimer *m_pShowTimer = nullptr;
    QTimer *m_pPosTimerWin = nullptr;
    int m_nHideCount = 0;
    QPoint m_lastCursorPos;
    // Where hideTimer saw the pointer at its last tick.
    QPoint m_restCursorPos;
    bool m_bOverPlayBtn = false;
    bool m_bMenuShown = false;
    bool m_bRestoreActivate = false;
    bool m_bCursorInMain = false;
    int m_nShowCount = 0;

    QString m_strImgSuffix;
    QString m_strImgFolder;
};

#endif
