#include "playlist/qplaylistbtnwidget.h"

#include "services/qianyutil.h"
#include "ui_qplaylistbtnwidget.h"

#include <QPainter>

QPlayListBtnWidget::QPlayListBtnWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QPlayListBtnWidget)
{
    ui->setupUi(this);
    initControls();
    setAttribute(Qt::WA_MouseTracking);
    setPlayModel(PlayModel_SinglePlay);
}

QPlayListBtnWidget::~QPlayListBtnWidget()
{
    delete ui;
}

void QPlayListBtnWidget::initControls()
{
    const QString images = QIAnyUtil::getResourcePath();
    ui->m_btnPlay->setButtonImage(images + "/images/PlayerImage/btn_play.png", true);
    ui->m_btnPause->setButtonImage(images + "/images/PlayerImage/btn_Pause.png", true);
    ui->m_btnPlayMode->setButtonImage(images + "/images/PlayListDlg/btn_Play.png", true);
    ui->m_btnAddFile->setButtonImage(images + "/images/PlayListDlg/btn_addfile.png", true);
    ui->m_btnDelete->setButtonImage(images + "/images/PlayListDlg/btn_delete1.png", true);
    ui->m_btnPlay->hide();
    ui->m_btnPause->hide();
    ui->m_btnAddFile->setToolTip(tr("Add File(s)"));
    ui->m_btnDelete->setToolTip(tr("Delete file(s)"));
    connect(ui->m_btnPlay, &QZRBaseButton::clicked, this, &QPlayListBtnWidget::emitPlay);
    connect(ui->m_btnDelete, &QZRBaseButton::clicked, this, &QPlayListBtnWidget::emitDeleteFile);
    connect(ui->m_btnAddFile, &QZRBaseButton::clicked, this, &QPlayListBtnWidget::emitAddFile);
    connect(ui->m_btnPlayMode, &QZRBaseButton::clicked, this, &QPlayListBtnWidget::onPlayModel);
}

void QPlayListBtnWidget::setPlayModel(PlayModel playMode)
{
    m_playModel = playMode;
    showPlayModel();
}

// Modes 0 and unknown values look like "List Play", the mode they step like.
void QPlayListBtnWidget::showPlayModel()
{
    const QString images = QIAnyUtil::getResourcePath();
    switch (m_playModel) {
    case PlayModel_ListCycle:
        ui->m_btnPlayMode->setBtnIcon(images + "/images/PlayListDlg/listCyclePlay.png");
        ui->m_btnPlayMode->setToolTip(tr("List Cycle"));
        break;
    case PlayModel_SingleLoop:
        ui->m_btnPlayMode->setBtnIcon(images + "/images/PlayListDlg/singleCyclePlay.png");
        ui->m_btnPlayMode->setToolTip(tr("Single Loop"));
        break;
    case PlayModel_ShufflePlay:
        ui->m_btnPlayMode->setBtnIcon(images + "/images/PlayListDlg/listRandomPlay.png");
        ui->m_btnPlayMode->setToolTip(tr("Shuffle Play"));
        break;
    default:
        ui->m_btnPlayMode->setBtnIcon(images + "/images/PlayListDlg/listPlay.png");
        ui->m_btnPlayMode->setToolTip(tr("List Play"));
        break;
    }
    ui->m_btnPlayMode->update();
}

// List Play -> Single Loop -> List Cycle -> Shuffle Play -> List Play.
void QPlayListBtnWidget::onPlayModel()
{
    switch (m_playModel) {
    case PlayModel_ListPlay:
        m_playModel = PlayModel_SingleLoop;
        break;
    case PlayModel_SingleLoop:
        m_playModel = PlayModel_ListCycle;
        break;
    case PlayModel_ListCycle:
        m_playModel = PlayModel_ShufflePlay;
        break;
    default:
        m_playModel = PlayModel_ListPlay;
        break;
    }
    showPlayModel();
    emit emitPlayModel(m_playModel);
}

void QPlayListBtnWidget::setPlayState(bool playing)
{
    ui->m_btnPause->setVisible(playing);
    ui->m_btnPlay->setVisible(!playing);
}

void QPlayListBtnWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int h = height();
    for (QWidget *button : {static_cast<QWidget *>(ui->m_btnPlay), static_cast<QWidget *>(ui->m_btnPause),
                            static_cast<QWidget *>(ui->m_btnPlayMode)})
        button->move(10, (h - button->height()) / 2);
    ui->m_btnDelete->move(width() - 10 - ui->m_btnDelete->width(), (h - ui->m_btnDelete->height()) / 2);
    ui->m_btnAddFile->move(ui->m_btnDelete->x() - 10 - ui->m_btnAddFile->width(),
                           (h - ui->m_btnAddFile->height()) / 2);
}

void QPlayListBtnWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(56, 56, 56));
}
