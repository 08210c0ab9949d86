#include "playlist/qhiddendlg.h"

#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "ui_qhiddendlg.h"

QHiddenDlg::QHiddenDlg(QWidget *parent)
    : QZRDialog(parent)
    , ui(new Ui_QHiddenDlg)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    initControls();
    setHiddenBtnState(HiddenBtnState_ShowHideButton);
    setFixedSize(15, 90);
    setBackgrounColor(QColor(0, 0, 0, 0));
    installEventFilter(this);
}

QHiddenDlg::~QHiddenDlg()
{
    delete ui;
}

// Connected here, once: a resize lays the buttons out again and nothing more.
void QHiddenDlg::initControls()
{
    const QString images = QIAnyUtil::getResourcePath();
    ui->m_btnShow->setButtonImage(images + "/images/btn_showList.png", true);
    ui->m_btnHidden->setButtonImage(images + "/images/btn_hideList.png", true);
    ui->m_btnShow->setFocusPolicy(Qt::NoFocus);
    ui->m_btnHidden->setFocusPolicy(Qt::NoFocus);
    connect(ui->m_btnShow, &QZRBaseButton::clicked, this, &QHiddenDlg::emitShowPlayList);
    connect(ui->m_btnHidden, &QZRBaseButton::clicked, this, &QHiddenDlg::emitHiddenPlayList);
}

void QHiddenDlg::setHiddenBtnState(HiddenBtnState state)
{
    m_state = state;
    const bool empty = state == 2 || state == 3;
    ui->m_btnShow->setVisible(state == HiddenBtnState_ShowShowButton);
    ui->m_btnHidden->setVisible(!empty && state != HiddenBtnState_ShowShowButton);
}

HiddenBtnState QHiddenDlg::getHiddenBtnState() const
{
    return m_state;
}

void QHiddenDlg::resetControlLocation()
{
    for (QWidget *button : {static_cast<QWidget *>(ui->m_btnShow), static_cast<QWidget *>(ui->m_btnHidden)})
        button->move((width() - button->width()) / 2, (height() - button->height()) / 2);
}

// The player window keeps its floating controls up while the overlay is the active window.
bool QHiddenDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::WindowActivate) {
        QMediaPlayWindowFlags::setHiddenBtnActivate(true);
        return true;
    }
    if (watched == this && event->type() == QEvent::WindowDeactivate) {
        QMediaPlayWindowFlags::setHiddenBtnActivate(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void QHiddenDlg::enterEvent(QEvent *event)
{
    QZRDialog::enterEvent(event);
    emit emitEnterEvent(event);
}

void QHiddenDlg::leaveEvent(QEvent *event)
{
    QZRDialog::leaveEvent(event);
    emit emitLeaveEvent(event);
}
