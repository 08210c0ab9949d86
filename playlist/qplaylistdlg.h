#ifndef QPLAYLISTDLG_H
#define QPLAYLISTDLG_H

#include "engine/playiteminfo.h"
#include "engine/playtypes.h"
#include "engine/qutilthread.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <atomic>

class QAction;
class QActionGroup;
class QLoadingDlg;
class QPlayListBtnWidget;
class QPlayListItem;
class QTimer;
class QZRMenu;
class Ui_QPlayListDlg;

// The playlist panel: owns the play items, one row each, keeps them in "PlayListFile.xml" and
// tells its host what to play by signals. The stored list is read once, 150 ms after the first
// show or the first file handed over, whichever comes first. Files the user adds are walked and
// probed on the panel's loading thread (OnExecute) under a modal progress dialog.
class QPlayListDlg : public QWidget, public QUtilThread
{
    Q_OBJECT

public:
    explicit QPlayListDlg(QWidget *parent = nullptr);
    ~QPlayListDlg() override;

    // A file opened from outside: played once the stored list is in.
    void setFileOpen(QString filePath);
    // The stored mode at start-up; saves and emits nothing.
    void setPlayModel(PlayModel playMode);
    PlayModel getPlayMode() const;
    QList<PlayItemInfo *> *getPlayItemInfoList() const;
    PlayItemInfo *getPlayItemInfoFromList(QString path) const;
    void seletedAllItem();
    // Probes each path and keeps nothing.
    void loadingFile(QStringList pathList);

    // The loading thread's body: walks the pending paths and probes what it finds; it reads
    // only the pending paths and the stop flag and reports by queued signals.
    void OnExecute() override;

public slots:
    void addFileInfoToPlayList(PlayItemInfo playItemInfo);
    void setSelectedPlayItem(PlayItemInfo *playItemInfo, PlayListItemState state);
    void playNextMedia();
    void playPreviousMedia();

signals:
    // The record is valid only during the call; null means nothing to play.
    void emitItemPlay(PlayItemInfo *playItemInfo);
    void emitItemPause();
    void emitPlay();
    void emitStopPlay();
    // The playing item is about to be removed; the record is freed right after the call.
    void emitIsDeleteCurrentPlayItem(PlayItemInfo *playItemInfo);
    void emitMessageContent(QString modelString);
    // A file handed over from outside does not play.
    void emitPlayFileFailure();
    void emitPlayModel(PlayModel playMode);
    void emitDragMediaPlayItemInfo(PlayItemInfo playItemInfo);
    // From the loading thread: one status text, or [path, "i/n", percent].
    void emitUpdateLoadDlg(QList<QString> list);
    void emitLoadThreadCoomplete();
    // Declared for hosts; the panel emits none of them.
    void emitLoadedFileList(QList<PlayItemInfo> playItemInfoList);
    void emitPressItem();
    void emitReleaseItem();
    void eimtIsHideNextBtn(bool hide);
    void eimtIsHidePreviousBtn(bool hide);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void addFileTriggered();
    void addDirTriggered();
    void addDirSameFileTriggered();
    void deleteTriggered();
    void deleteALLTriggered();
    void clearInvalidFileTriggered();
    void openFileSiteTriggered();
    void playTriggered();
    void pauseTriggered();
    void saveToTriggered();
    void playModeTriggered(QAction *action);
    void onPlayMode(PlayModel playMode);
    void itemMousePress();
    void itemMouseRelease();
    void itemMouseCtrlPress();
    void itemMouseShiftPress();
    void itemMouseDoubleClick();
    void itemShowTreeMenu();
    void itemOnPlay();
    void itemOnPause();
    void itemOnDelete();
    // Rubber-band selection between two points of the list's content.
    void selectPtChange(QPoint startPt, QPoint endPt);
    void normalToShow();
    void normalToHide();
    void listTimer();
    void traversalTimer();
    void StopAddFileThree();
    void loadThreadCoomplete();
    void updateLoadDlg(QList<QString> list);

private:
    void initControls();
    void initPlayModeMenu();
    void initListMenu();
    // Rebuilds the context menu with "Pause" (true) or "Play" first.
    void updateListMenu(bool pause);
    QPlayListItem *senderItem() const;
    // Starts a run on the paths unless one is under way.
    void loadPaths(const QStringList &paths);
    void threadLoadingFile();
    // The walk is over: the traversal animation stops at 20.
    void stopTraversal();
    // A folder chosen or taken from a row becomes the start folder of "Add Folder" and is loaded.
    void loadDir(const QString &dir);
    void startListTimer();
    void loadingData();
    void saveListData();
    // Probes the path and, when it plays, adds it and asks the host to play it; else tells the host.
    void playOpenedFile(const QString &path);
    void addItemRow(PlayItemInfo *playItemInfo);
    void deleteFileInfoFromPlayList(QPlayListItem *item);
    // Removes the row, the current-row notice first, as its button and "Delete" do.
    void removeRow(QPlayListItem *item);
    void clearPlayListInfo();
    void forgetRow(QPlayListItem *item);
    void savePlayMode(PlayModel playMode);
    void checkPlayModeAction(PlayModel playMode);
    QString playModeText(PlayModel playMode) const;
    void stepMedia(int step);
    void playRow(int index);
    void repeatCurrent();

    Ui_QPlayListDlg *ui;
    QPlayListItem *m_pressItem = nullptr;
    QPlayListItem *m_shiftItem = nullptr;
    QPlayListItem *m_currentItem = nullptr;
    QList<PlayItemInfo *> *m_pPlayItemInfoList = nullptr;
    QList<QPlayListItem *> m_listItems;
    PlayModel m_playModel = PlayModel_ListCycle;
    QZRMenu *m_listMenu = nullptr;
    QAction *m_actPlay = nullptr;
    QAction *m_actPause = nullptr;
    QAction *m_actAddFile = nullptr;
    QAction *m_actAddDir = nullptr;
    QAction *m_actAddDirSameFile = nullptr;
    QAction *m_actDelete = nullptr;
    QAction *m_actDeleteAll = nullptr;
    QAction *m_actClearInvalidFile = nullptr;
    QAction *m_actSaveTo = nullptr;
    QAction *m_actOpenItemFolder = nullptr;
    QZRMenu *m_playModeMenu = nullptr;
    QActionGroup *m_playModeGroup = nullptr;
    QAction *m_actSinglePlay = nullptr;
    QAction *m_actListCycle = nullptr;
    QAction *m_actListPlay = nullptr;
    QAction *m_actSingleLoop = nullptr;
    QAction *m_actShufflePlay = nullptr;
    QPlayListBtnWidget *m_btnWidget = nullptr;
    QTimer *m_traversalTimer = nullptr;
    int m_nProgressValue = 0;
    std::atomic<bool> m_bStopAddFile{false};
    QLoadingDlg *m_pLoadingDlg = nullptr;
    QStringList m_pendingPaths;
    QTimer *m_listTimer = nullptr;
    bool m_bListLoaded = false;
    QString m_openFilePath;
};

#endif
