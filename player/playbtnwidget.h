#ifndef PLAYBTNWIDGET_H
#define PLAYBTNWIDGET_H

#include "toolkit/qzrdialog.h"

class QAction;
class QMenu;
class QMouseEvent;
class Ui_PlayBtnWidget;

// The floating strip of playback controls over the bottom of the player window. It never talks to
// the playback engine: every user action leaves it as a signal, and what it shows comes in
// through its slots.
class PlayBtnWidget : public QZRDialog
{
    Q_OBJECT

public:
    explicit PlayBtnWidget(QWidget *parent = nullptr);
    ~PlayBtnWidget() override;

    bool IsMute() const;
    bool getBtnPalyHide() const;

signals:
    void emitBtnPlay();
    void emitBtnPause();
    void emitBtnStop();
    void emitBtnBack();
    void emitBtnFast();
    void emitBtnPreVideo();
    void emitBtnNextVideo();
    void emitBtnSnapshoot();
    void emitBtnSnapshotMenu();
    void emitBtnVolume(bool bMute);
    void emitBtnFullScreen();
    void emitExitFullScreen();
    void emitBtnSetting();
    void emitBtnTrack();
    void emitKeepVideoScale(bool bScale);
    void sendProgressValue(double value);
    void sendVolumeValue(double value);
    void emitSliderPress();
    void emitSliderRelease();
    void emitMouseMoveEvent(QMouseEvent *event);
    void emitEnterEvent(QEvent *event);
    void emitLeaveEvent(QEvent *event);
    void emitBtnListset();
    void emitBtnOpenFloder();
    void emitBtnSnapSetting();

public slots:
    void OnBtnPalyOrPause();
    void OnBtnStop();
    void OnBtnMute();
    void setMute(bool bMute);
    void setVolume(double value);
    void setProcessValue(double value);
    void setProcessEnabledChange(bool enable);
    void setStartTime(QString time);
    void setEndTime(QString time);
    void setTimeLabel(QString time);
    void VideoBeginPlay(bool flag = true);
    void VideoFinished();
    void setFullScreen(bool full);
    void sliderPressEvent(QMouseEvent *event);
    void sliderReleseEvent(QMouseEvent *event);
    void OnBtnChangeScale();
    void setScaleShow(bool full);
    void setKeepVideoScale(bool bScale);
    void setBtnEnable(bool bPreviousBtn, bool bNextBtn);
    void setBtnScreenEnable(bool flag);
    void OnBtnFullScreen();
    void setDialogWindow(bool flag);
    void setHiddenAbout(bool hidden);
    void ResizeVideoWindow();
    void OnBtnSnapSetting();
    void OnListSet();
    void OnActOpenFolder();
    void OnActSetting();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resetControlLocation() override;

private:
    void InitCtrl();
    void InitBtn();
    void InitMenu();
    void InitConnect();

    Ui_PlayBtnWidget *ui;
    QMenu *m_pMenu = nullptr;
    QAction *m_pActOpenFolder = nullptr;
    QAction *m_pActSetting = nullptr;
};

#endif
