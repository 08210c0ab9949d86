#include "player/playbtnwidget.h"

#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_playbtnwidget.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

namespace {

const Qt::WindowFlags BarFlags = Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

QString skin(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

// Buttons sit centred in the top 50 pixels; the progress row lies below them.
int bandTop(const QWidget *control)
{
    return (50 - control->height()) / 2;
}

int rightOf(const QWidget *control)
{
    return control->geometry().right();
}

}

PlayBtnWidget::PlayBtnWidget(QWidget *parent) : QZRDialog(parent), ui(new Ui_PlayBtnWidget)
{
    ui->setupUi(this);
    setMoveTopHeight(0);
    setWindowFlags(BarFlags);
    setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_TranslucentBackground);
    setStretchPolicy(StretchNone);
    setFocusPolicy(Qt::NoFocus);
    InitCtrl();
    InitBtn();
    InitMenu();
    InitConnect();
    setBackgroundImage(skin("/images/PlayerImage/btn_background.png"), false);
    const rectSize corner{20, 20};
    setGridViewInfo(corner, corner, corner, corner);
    installEventFilter(this);
}

PlayBtnWidget::~PlayBtnWidget()
{
    delete ui;
}

void PlayBtnWidget::InitCtrl()
{
    for (QLabel *label : {ui->m_timeLabel, ui->m_lblStartTime, ui->m_lblEndTime}) {
        QInitCtrlStyle::InitFont(label, 11);
        QInitCtrlStyle::InitPalette(label, QPalette::WindowText, QColor(255, 255, 255));
        label->adjustSize();
    }
}

void PlayBtnWidget::InitBtn()
{
    struct Button
    {
        QZRButtonExt *button;
        const char *skin;
        const char *tip;
    };
    const Button buttons[] = {
        {ui->m_btnPause, "/images/PlayerImage/btn_Pause.png", QT_TRANSLATE_NOOP("QObject", "Pause")},
        {ui->m_btnPlay, "/images/PlayerImage/btn_play.png", QT_TRANSLATE_NOOP("QObject", "Play")},
        {ui->m_btnBack, "/images/PlayerImage/btn_back.png", QT_TRANSLATE_NOOP("QObject", "Previous frame")},
        {ui->m_btnFast, "/images/PlayerImage/btn_fast.png", QT_TRANSLATE_NOOP("QObject", "Next frame")},
        {ui->m_btnPreVideo, "/images/PlayerImage/btn_previous.png", QT_TRANSLATE_NOOP("QObject", "Previous file")},
        {ui->m_btnNextVideo, "/images/PlayerImage/btn_next.png", QT_TRANSLATE_NOOP("QObject", "Next file")},
        {ui->m_btnSnapshoot, "/images/PlayerImage/btn_snapshoot.png", QT_TRANSLATE_NOOP("QObject", "Snapshot")},
        {ui->m_btnMute, "/images/PlayerImage/btn_volume_off.png", QT_TRANSLATE_NOOP("QObject", "Volume off")},
        {ui->m_btnVolume, "/images/PlayerImage/btn_volume_on.png", QT_TRANSLATE_NOOP("QObject", "Volume on")},
        {ui->m_btnNormalScreen, "/images/PlayerImage/btn_back_Screen.png", QT_TRANSLATE_NOOP("QObject", "Restore")},
        {ui->m_btnFullScreen, "/images/PlayerImage/btn_Full_Screen.png", QT_TRANSLATE_NOOP("QObject", "Full screen")},
        {ui->m_btnScale, "/images/PlayerImage/btn_size_scale.png", nullptr},
        {ui->m_btnWHSize, "/images/PlayerImage/btn_size_wh.png", nullptr},
        {ui->m_btnTrack, "/images/PlayerImage/btn_track.png", QT_TRANSLATE_NOOP("QObject", "Track")},
        {ui->m_btnStop, "/images/PlayerImage/btn_stop.png", QT_TRANSLATE_NOOP("QObject", "Stop")},
        {ui->m_btnSetttings, "/images/PlayerImage/btn_setting.png", QT_TRANSLATE_NOOP("QObject", "Settings")},
        {ui->m_btnSnapshotMenu, "/images/PlayerImage/btn_snapshot_menu.png", QT_TRANSLATE_NOOP("QObject", "Snapshot menu")},
    };
    for (const Button &entry : buttons) {
        entry.button->setButtonImage(skin(entry.skin), true);
        if (entry.tip)
            entry.button->setToolTip(QObject::tr(entry.tip));
    }
    ui->m_btnPause->setAttribute(Qt::WA_MouseTracking);
    ui->m_btnPlay->setAttribute(Qt::WA_MouseTracking);
    const std::initializer_list<QWidget *> hidden{ui->m_timeLabel, ui->m_btnPause, ui->m_btnMute,
                                                  ui->m_btnNormalScreen, ui->m_btnScale, ui->m_btnWHSize,
                                                  ui->m_videoProSlider_2};
    for (QWidget *control : hidden)
        control->hide();

    ui->m_videoProSlider->setBtnImage(skin("/images/PlayerImage/slider_play_image.png"));
    ui->m_videoProSlider->setBottomImage(skin("/images/PlayerImage/slider_play_bottom.png"));
    ui->m_videoProSlider->setTopImage(skin("/images/PlayerImage/slider_play_top.png"));
    ui->m_videoProSlider->setOffset(7, 7);
    ui->m_videoProSlider->setCircle(true);
    ui->m_videoProSlider->setCircleLenght(1);
    ui->m_videoProSlider->setFormat(QString());
    ui->m_videoProSlider->setValue(0.0);

    ui->m_volumeSlider->setBottomImage(skin("/images/PlayerImage/volume_bottom.png"));
    ui->m_volumeSlider->setTopImage(skin("/images/PlayerImage/volume_top.png"));
    ui->m_volumeSlider->setFormat(QString());
    ui->m_volumeSlider->setValue(0.0);
    ui->m_volumeSlider->resize(50, 10);
}

void PlayBtnWidget::InitMenu()
{
    m_pMenu = new QMenu(this);
    m_pActOpenFolder = new QAction(QObject::tr("Open Floder"), this);
    m_pActSetting = new QAction(QObject::tr("Settings"), this);
    m_pMenu->addAction(m_pActOpenFolder);
    m_pMenu->addAction(m_pActSetting);
    connect(m_pActOpenFolder, &QAction::triggered, this, &PlayBtnWidget::OnActOpenFolder);
    connect(m_pActSetting, &QAction::triggered, this, &PlayBtnWidget::OnActSetting);
}

void PlayBtnWidget::InitConnect()
{
    connect(ui->m_btnPlay, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnPalyOrPause);
    connect(ui->m_btnPause, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnPalyOrPause);
    connect(ui->m_btnStop, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnStop);
    connect(ui->m_btnVolume, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnMute);
    connect(ui->m_btnMute, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnMute);
    connect(ui->m_btnScale, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnChangeScale);
    connect(ui->m_btnWHSize, &QPushButton::clicked, this, &PlayBtnWidget::OnBtnChangeScale);

    connect(ui->m_btnBack, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnBack);
    connect(ui->m_btnFast, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnFast);
    connect(ui->m_btnPreVideo, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnPreVideo);
    connect(ui->m_btnNextVideo, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnNextVideo);
    connect(ui->m_btnSnapshoot, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnSnapshoot);
    connect(ui->m_btnSnapshotMenu, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnSnapshotMenu);
    connect(ui->m_btnFullScreen, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnFullScreen);
    connect(ui->m_btnNormalScreen, &QPushButton::clicked, this, &PlayBtnWidget::emitExitFullScreen);
    connect(ui->m_btnSetttings, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnSetting);
    connect(ui->m_btnTrack, &QPushButton::clicked, this, &PlayBtnWidget::emitBtnTrack);

    connect(ui->m_videoProSlider, &QZRBaseSlider::sendProgressValue, this, &PlayBtnWidget::sendProgressValue);
    connect(ui->m_videoProSlider, &QZRBaseSlider::sendPressEvent, this, &PlayBtnWidget::sliderPressEvent);
    connect(ui->m_videoProSlider, &QZRBaseSlider::sendReleseEvent, this, &PlayBtnWidget::sliderReleseEvent);
    connect(ui->m_volumeSlider, &QZRBaseSlider::sendProgressValue, this, &PlayBtnWidget::sendVolumeValue);
}

bool PlayBtnWidget::IsMute() const
{
    return ui->m_btnVolume->isHidden();
}

bool PlayBtnWidget::getBtnPalyHide() const
{
    return ui->m_btnPlay->isHidden();
}

// Play and pause share one place; the pause button showing means the bar thinks it plays.
void PlayBtnWidget::OnBtnPalyOrPause()
{
    if (ui->m_btnPause->isHidden()) {
        ui->m_btnPause->show();
        ui->m_btnPlay->hide();
        emit emitBtnPlay();
    } else {
        ui->m_btnPause->hide();
        ui->m_btnPlay->show();
        emit emitBtnPause();
    }
}

void PlayBtnWidget::OnBtnStop()
{
    ui->m_btnPause->hide();
    ui->m_btnPlay->show();
    emit emitBtnStop();
}

void PlayBtnWidget::OnBtnMute()
{
    ui->m_btnMute->setHidden(!ui->m_btnMute->isHidden());
    ui->m_btnVolume->setHidden(!ui->m_btnVolume->isHidden());
    emit emitBtnVolume(ui->m_btnVolume->isHidden());
}

void PlayBtnWidget::setMute(bool bMute)
{
    ui->m_btnVolume->setHidden(bMute);
    ui->m_btnMute->setHidden(!bMute);
}

void PlayBtnWidget::setVolume(double value)
{
    ui->m_volumeSlider->setValue(value);
}

void PlayBtnWidget::setProcessValue(double value)
{
    ui->m_videoProSlider->setValue(value * 100.0);
    ui->m_videoProSlider->updateGeometry();
    ui->m_videoProSlider_2->setValue(int(value * 100.0));
}

void PlayBtnWidget::setProcessEnabledChange(bool enable)
{
    ui->m_videoProSlider->setEnabledPull(enable);
}

void PlayBtnWidget::setStartTime(QString time)
{
    ui->m_lblStartTime->setText(time);
    ui->m_lblStartTime->adjustSize();
}

void PlayBtnWidget::setEndTime(QString time)
{
    ui->m_lblEndTime->setText(time);
    ui->m_lblEndTime->adjustSize();
}

void PlayBtnWidget::setTimeLabel(QString time)
{
    ui->m_timeLabel->setText(time);
}

void PlayBtnWidget::VideoBeginPlay(bool flag)
{
    ui->m_btnPause->setVisible(flag);
    ui->m_btnPlay->setVisible(!flag);
}

void PlayBtnWidget::VideoFinished()
{
    ui->m_btnPause->hide();
    ui->m_btnPlay->show();
}

void PlayBtnWidget::setFullScreen(bool full)
{
    ui->m_btnFullScreen->setHidden(full);
    ui->m_btnNormalScreen->setHidden(!full);
}

void PlayBtnWidget::sliderPressEvent(QMouseEvent *)
{
    emit emitSliderPress();
}

void PlayBtnWidget::sliderReleseEvent(QMouseEvent *)
{
    emit emitSliderRelease();
}

void PlayBtnWidget::OnBtnChangeScale()
{
    const bool scale = sender() == ui->m_btnScale;
    setKeepVideoScale(scale);
    emit emitKeepVideoScale(scale);
}

void PlayBtnWidget::setScaleShow(bool full)
{
    ui->m_btnScale->setVisible(full);
    ui->m_btnWHSize->setVisible(full);
}

void PlayBtnWidget::setKeepVideoScale(bool bScale)
{
    ui->m_btnScale->setChecked(bScale);
    ui->m_btnScale->setEnabled(!bScale);
    ui->m_btnWHSize->setChecked(!bScale);
    ui->m_btnWHSize->setEnabled(bScale);
}

void PlayBtnWidget::setBtnEnable(bool bPreviousBtn, bool bNextBtn)
{
    ui->m_btnPreVideo->setEnabled(bPreviousBtn);
    ui->m_btnNextVideo->setEnabled(bNextBtn);
}

void PlayBtnWidget::setBtnScreenEnable(bool flag)
{
    ui->m_btnFullScreen->setEnabled(flag);
    ui->m_btnNormalScreen->setEnabled(flag);
}

void PlayBtnWidget::OnBtnFullScreen()
{
    if (!ui->m_btnFullScreen->isEnabled())
        return;
    ui->m_btnFullScreen->setHidden(!ui->m_btnFullScreen->isHidden());
    ui->m_btnNormalScreen->setHidden(!ui->m_btnNormalScreen->isHidden());
}

void PlayBtnWidget::setDialogWindow(bool)
{
    setWindowFlags(BarFlags);
}

void PlayBtnWidget::setHiddenAbout(bool hidden)
{
    ui->m_videoProSlider->setHidden(hidden);
    ui->m_videoProSlider->setValue(0.0);
    ui->m_timeLabel->setHidden(hidden);
    ui->m_timeLabel->setText(QStringLiteral("00:00:00 / 00:00:00"));
    ui->m_btnFast->setHidden(hidden);
    ui->m_btnBack->setHidden(hidden);
    ui->m_btnPlay->setHidden(!hidden);
    ui->m_btnPause->setHidden(hidden);
}

void PlayBtnWidget::resetControlLocation()
{
    ResizeVideoWindow();
}

void PlayBtnWidget::ResizeVideoWindow()
{
    const int W = width();
    ui->m_timeLabel->move(10, (60 - ui->m_timeLabel->height()) / 2);

    QWidget *full = ui->m_btnFullScreen;
    full->move(W - 10 - full->width(), bandTop(full));
    ui->m_btnNormalScreen->move(W - 10 - ui->m_btnNormalScreen->width(), bandTop(full));
    ui->m_btnScale->move(full->x() - 10 - ui->m_btnScale->width(), bandTop(ui->m_btnScale));
    ui->m_btnWHSize->move(ui->m_btnScale->x() - ui->m_btnScale->width(), bandTop(ui->m_btnWHSize));
    ui->m_btnTrack->move(full->x() - 10 - ui->m_btnTrack->width(), bandTop(ui->m_btnTrack));
    ui->m_btnSetttings->move(ui->m_btnTrack->x() - 10 - ui->m_btnSetttings->width(), bandTop(ui->m_btnSetttings));

    // The centre group sits about the middle of a wide bar and moves toward the settings button
    // on a narrow one.
    const std::initializer_list<const QWidget *> group{
        ui->m_btnSnapshoot, ui->m_btnSnapshotMenu, ui->m_btnPreVideo, ui->m_btnBack, ui->m_btnPlay,
        ui->m_btnStop, ui->m_btnFast, ui->m_btnNextVideo, ui->m_btnMute, ui->m_volumeSlider};
    int S = 0;
    for (const QWidget *control : group)
        S += control->width();
    const int x0 = W >= 545 ? (W - 145 - S) / 2 + 5 : ui->m_btnSetttings->x() - 147 - S;
    QWidget *snapshot = ui->m_btnSnapshoot;
    snapshot->move(x0, bandTop(snapshot));
    ui->m_btnSnapshotMenu->move(rightOf(snapshot), bandTop(snapshot));
    ui->m_btnPreVideo->move(rightOf(ui->m_btnSnapshotMenu) + 20, bandTop(ui->m_btnPreVideo));
    ui->m_btnBack->move(rightOf(ui->m_btnPreVideo) + 20, bandTop(ui->m_btnBack));
    ui->m_btnPlay->move(rightOf(ui->m_btnBack) + 20, bandTop(ui->m_btnPlay));
    ui->m_btnPause->move(rightOf(ui->m_btnBack) + 20, bandTop(ui->m_btnPause));
    ui->m_btnStop->move(rightOf(ui->m_btnPause) + 20, bandTop(ui->m_btnStop));
    ui->m_btnFast->move(rightOf(ui->m_btnStop) + 20, bandTop(ui->m_btnFast));
    ui->m_btnNextVideo->move(rightOf(ui->m_btnFast) + 20, bandTop(ui->m_btnNextVideo));
    ui->m_btnVolume->move(rightOf(ui->m_btnNextVideo) + 20, bandTop(ui->m_btnVolume));
    ui->m_btnMute->move(rightOf(ui->m_btnNextVideo) + 20, bandTop(ui->m_btnMute));
    ui->m_volumeSlider->move(rightOf(ui->m_btnVolume) + 5, bandTop(ui->m_volumeSlider));

    // Resizing the progress slider must not lose its value.
    QZRSliderEx *progress = ui->m_videoProSlider;
    const double value = progress->value();
    progress->resize(W - 30 - ui->m_lblEndTime->width() - ui->m_lblStartTime->width(), 14);
    progress->move(ui->m_lblStartTime->width() + 15, ui->m_btnPlay->geometry().bottom() + 5);
    progress->setValue(value);
    ui->m_videoProSlider_2->setGeometry(progress->geometry());
    ui->m_lblStartTime->move(10, progress->y());
    ui->m_lblEndTime->move(W - 10 - ui->m_lblEndTime->width(), progress->y());
}

void PlayBtnWidget::OnBtnSnapSetting()
{
    m_pMenu->popup(QCursor::pos());
}

void PlayBtnWidget::OnListSet()
{
}

void PlayBtnWidget::OnActOpenFolder()
{
}

void PlayBtnWidget::OnActSetting()
{
}

bool PlayBtnWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        switch (event->type()) {
        case QEvent::WindowActivate:
            QMediaPlayWindowFlags::setPlayBtnDlgActivate(true);
            break;
        case QEvent::WindowDeactivate:
            QMediaPlayWindowFlags::setPlayBtnDlgActivate(false);
            break;
        case QEvent::KeyPress:
            // The bar is a dialog: Escape would reject and hide it.
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                return true;
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlayBtnWidget::mouseMoveEvent(QMouseEvent *event)
{
    QZRDialog::mouseMoveEvent(event);
    emit emitMouseMoveEvent(event);
}

void PlayBtnWidget::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    emit emitEnterEvent(event);
}

void PlayBtnWidget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit emitLeaveEvent(event);
}
