#ifndef NEWMAINWINDOW_H
#define NEWMAINWINDOW_H

#include "shell/newmainwindowflags.h"
#include "toolkit/qzrmainwindowex.h"

#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>

class PlayBtnWidget;
class QAcceptDialog;
class QAction;
class QHiddenDlg;
class QMediaInfos;
class QMediaPlayWindow;
class QMediaSettingManager;
class QMenu;
class QMenuBar;
class QMenuManager;
class QMessageForm;
class QPlayHistoryManager;
class QPlayListDlg;
class QPropertyAnimation;
class QSettingDlg;
class QSubtitleSettingDlg;
class QTimer;
class Ui_NewMainWindow;
class ZRQPlayObject;

// The program's one top-level window: it owns every long-lived component, wires them together,
// and frames the player window and the playlist panel.
class NewMainWindow : public QZRMainWindowEx, public NewMainWindowFlags
{
    Q_OBJECT

public:
    explicit NewMainWindow(QWidget *parent = nullptr);
    ~NewMainWindow() override;

    // Opens paths as one drop on the player window: all of them reach the playlist and the
    // first playable one plays. Waits for the first show when the window is not shown yet.
    void openPaths(const QStringList &paths);
    // Registers the four stored system-wide hot keys; the program itself does not call it.
    void InitShortcut();

signals:
    void emitMainWinwowFullScreen(bool fullScreen);
    void emitMouseMoveEvent(QMouseEvent *event);

public slots:
    void fileOpen(QString filepath);

private slots:
    void ActOnAbout();
    void ActOnHelp();
    void ActOnHome();
    void ActOnPreferDlg();
    void ActOnUpdates();
    void ActShowLog();
    void OnBtnClose();
    void OnMax();
    void OnMin();
    void fullScreenWindow();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void InitSystemTray();
    void isHiddenPlayList();
    void normalToHide();
    void normalToShow();
    void onMenu();
    void onPlayFileFailure();
    void onRestore();
    void playerToChangeTitle(QString filename);
    void recordPlayAndPauseST();
    void resizeShow();
    void setAutoUpdate(bool bUpdate);
    void setScreenSize(QSize size);
    void showTimer();
    void windowAlwaysFront();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void setFrameGeomtry(QMouseEvent *event) override;
    void resetControlLocation() override;

private:
    void initData();
    void initControls();
    void InitMenu();
    void initDlg();
    void InitLogInfo();
    void initUpdateState();
    void InitAppInfo();
    void setGlobalFunction();
    void updateMaxButtons();
    void dropOnPlayer(const QStringList &paths);
    // One "geometry" animation of the current toggle.
    QPropertyAnimation *animate(QWidget *widget, const QRect &from, const QRect &to);

    Ui_NewMainWindow *ui;
    ZRQPlayObject *m_pPlayObject = nullptr;
    QMediaSettingManager *m_pSettingManager = nullptr;
    QPlayHistoryManager *m_pHistoryManager = nullptr;
    QMediaInfos *m_pMediaInfos = nullptr;
    QPointer<QSettingDlg> m_pSettingDlg;
    QPointer<QSubtitleSettingDlg> m_pSubtitleSettingDlg;
    PlayBtnWidget *m_pPlayBtnWidget = nullptr;
    QHiddenDlg *m_pHiddenDlg = nullptr;
    QMessageForm *m_pMessageForm = nullptr;
    QMenuManager *m_pMenuManager = nullptr;
    QMediaPlayWindow *m_pMediaPlayWindow = nullptr;
    QPlayListDlg *m_pPlayListDlg = nullptr;
    bool m_bPlayListHidden = true;
    QMenu *m_pHelpMenu = nullptr;
    QMenuBar *m_pMenuBar = nullptr;
    QAction *m_actHome = nullptr;
    QAction *m_actHelp = nullptr;
    QAction *m_actAbout = nullptr;
    QAction *m_actPrefer = nullptr;
    QAction *m_actUpdates = nullptr;
    // Made by InitSystemTray on a desktop that has a tray.
    QSystemTrayIcon *m_pSystemTray = nullptr;
    // Runs showTimer, a forced relayout; nothing starts it.
    QTimer *m_pShowTimer = nullptr;
    bool m_bAlwaysFront = false;
    // Parent of the hot keys; made on first use, never shown.
    QAcceptDialog *m_pAcceptDialog = nullptr;
    // The pair of the last playlist toggle; a new toggle stops it first.
    QList<QPointer<QPropertyAnimation>> m_animations;
    QStringList m_startPaths;
    bool m_bFailureShown = false;
};

#endif
