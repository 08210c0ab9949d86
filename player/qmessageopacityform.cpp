#include "player/qmessageopacityform.h"

#include "player/qdialogkeys.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qmessageopacityform.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

namespace {

const QColor White(255, 255, 255);

// No support page is published yet; the link stays hidden and opens nothing.
const char *const SupportAddress = "";

QString skin(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

}

QMessageOpacityForm::QMessageOpacityForm(QWidget *parent) : QZRDialog(parent), ui(new Ui_QMessageOpacityForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    initControls();

    setBackgroundImage(skin("/images/bg_1.png"), false);
    resize(351, 125);
    const rectSize corner{50, 50};
    setGridViewInfo(corner, corner, corner, corner);
    setTitleRect(QRect());
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, White);
    setPalette(palette);
    setMoveTopHeight(30);
    setStretchWidth(6);
    QInitCtrlStyle::InitFont(this, 12);
    installEventFilter(this);
}

QMessageOpacityForm::~QMessageOpacityForm()
{
    delete ui;
}

void QMessageOpacityForm::initControls()
{
    m_pOpacityTimer = new QTimer(this);
    ui->m_btnClose->setButtonImage(skin("/images/btn_close.png"), true);
    ui->m_btnMin->setButtonImage(skin("/images/btn_min.png"), true);
    ui->m_btnMin->setEnabled(false);
    ui->m_btnMax->setButtonImage(skin("/images/btn_max.png"), true);
    ui->m_btnMax->setEnabled(false);
    ui->m_btnOk->setButtonImage(skin("/images/btn_common.png"), true);
    for (QLabel *label : {ui->m_lblSuppport, ui->m_lblText}) {
        QInitCtrlStyle::InitPalette(label, QPalette::WindowText, White);
        QInitCtrlStyle::InitFont(label, 12);
    }
    connect(m_pOpacityTimer, &QTimer::timeout, this, &QMessageOpacityForm::onTimer);
    connect(ui->m_btnClose, &QPushButton::clicked, this, &QMessageOpacityForm::onClose);
    connect(ui->m_btnOk, &QPushButton::clicked, this, &QMessageOpacityForm::onClose);
    connect(ui->m_lblSuppport, &QLabel::linkActivated, this, &QMessageOpacityForm::openUrl);
}

void QMessageOpacityForm::setMessageText(QString text)
{
    placeText(text, 50, height() / 2 - 5);
}

void QMessageOpacityForm::setMessageText(QString text, int x, int y)
{
    placeText(text, x, y);
    ui->m_btnOk->show();
}

void QMessageOpacityForm::placeText(const QString &text, int x, int y)
{
    ui->m_lblText->setText(text);
    ui->m_lblText->adjustSize();
    ui->m_lblText->setGeometry(x, y, width(), 40);
    ui->m_lblText->setWordWrap(true);
    ui->m_lblText->setAlignment(Qt::AlignTop);
}

void QMessageOpacityForm::startOpacity()
{
    setWindowOpacity(1.0);
    m_pOpacityTimer->start(1000);
}

void QMessageOpacityForm::setShowlink(int x, int y, bool show)
{
    ui->m_lblSuppport->setVisible(show);
    ui->m_lblSuppport->move(x, y);
}

void QMessageOpacityForm::setCheckShow(bool show)
{
    ui->m_ckbNote->setVisible(show);
}

void QMessageOpacityForm::setIsOpacity(bool opacity)
{
    m_bIsOpacity = opacity;
}

void QMessageOpacityForm::setXmlSetting()
{
}

// One fade step. The opacity is read back from the window, which may keep it in coarser steps.
void QMessageOpacityForm::onTimer()
{
    const double opacity = windowOpacity();
    if (opacity > 0.9)
        m_pOpacityTimer->start(50);
    if (opacity < 0.1) {
        m_pOpacityTimer->stop();
        close();
        return;
    }
    setWindowOpacity(opacity - 0.1);
}

void QMessageOpacityForm::onClose()
{
    setWindowOpacity(1.0);
    m_pOpacityTimer->stop();
    close();
}

void QMessageOpacityForm::openUrl(QString)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(SupportAddress)));
}

void QMessageOpacityForm::enterEvent(QEvent *event)
{
    if (m_bIsOpacity) {
        setWindowOpacity(1.0);
        m_pOpacityTimer->stop();
    }
    QWidget::enterEvent(event);
}

void QMessageOpacityForm::leaveEvent(QEvent *event)
{
    if (m_bIsOpacity) {
        setWindowOpacity(1.0);
        m_pOpacityTimer->start(1000);
    }
    QWidget::leaveEvent(event);
}

void QMessageOpacityForm::resetControlLocation()
{
    ui->m_btnClose->move(13, 13);
    ui->m_btnMin->move(ui->m_btnClose->x() + ui->m_btnClose->width() + 8, 13);
    ui->m_btnMax->move(ui->m_btnMin->x() + ui->m_btnMin->width() + 8, 13);
}

bool QMessageOpacityForm::eventFilter(QObject *watched, QEvent *event)
{
    if (QDialogKeys::handle(event, [this] { onClose(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}
