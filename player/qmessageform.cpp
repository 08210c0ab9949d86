#include "player/qmessageform.h"

#include "player/qmediaplaywindowflags.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qmessageform.h"

#include <QTimer>

QMessageForm::QMessageForm(QWidget *parent) : QZRDialog(parent), ui(new Ui_QMessageForm)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    initControls();
    installEventFilter(this);
}

QMessageForm::~QMessageForm()
{
    delete ui;
}

void QMessageForm::initControls()
{
    m_pMessageTimer = new QTimer(this);
    connect(m_pMessageTimer, &QTimer::timeout, this, &QMessageForm::messageTimer);
    QInitCtrlStyle::InitPalette(ui->m_lblMessage, QPalette::WindowText, Qt::yellow);
    QInitCtrlStyle::InitFont(ui->m_lblMessage, 35);
}

void QMessageForm::startTimer()
{
}

void QMessageForm::setMeassge(QString string)
{
    ui->m_lblMessage->setText(string);
}

// Ticks every 400 ms; the sixth tick hides the popup.
void QMessageForm::messageTimer()
{
    if (m_nTickCount >= 5) {
        m_pMessageTimer->stop();
        hide();
        m_nTickCount = 0;
    }
    ++m_nTickCount;
}

void QMessageForm::showEvent(QShowEvent *event)
{
    QZRDialog::showEvent(event);
    m_pMessageTimer->start(400);
    m_nTickCount = 0;
}

void QMessageForm::hideEvent(QHideEvent *event)
{
    QZRDialog::hideEvent(event);
    m_pMessageTimer->stop();
    ui->m_lblMessage->setText(QString());
    m_nTickCount = 0;
}

// Only the text shows on the transparent window.
void QMessageForm::paintEvent(QPaintEvent *)
{
}

void QMessageForm::resetControlLocation()
{
    ui->m_lblMessage->setGeometry(0, 0, width(), height());
}

bool QMessageForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        if (event->type() == QEvent::WindowActivate) {
            QMediaPlayWindowFlags::setMessageActivate(true);
            return true;
        }
        if (event->type() == QEvent::WindowDeactivate) {
            QMediaPlayWindowFlags::setMessageActivate(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
