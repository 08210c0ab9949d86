#include "toolkit/qtitlebar.h"

#include "ui_qtitlebar.h"

#include "services/qianyutil.h"

#include <QPainter>

QTitleBar::QTitleBar(QWidget *parent) : QZRWidget(parent), ui(new Ui::QTitleBar)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_TranslucentBackground);
    setDlgTitle(QStringLiteral("ZRPlayer"));
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    setFont(font);
    initControls();
}

QTitleBar::~QTitleBar()
{
    delete ui;
}

void QTitleBar::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    ui->m_btnClose->setButtonImage(resources + "/images/btn_close.png", true);
    ui->m_btnNormal->setButtonImage(resources + "/images/btn_normal.png", true);
    ui->m_btnMinimize->setButtonImage(resources + "/images/btn_min.png", true);
    connect(ui->m_btnClose, &QPushButton::clicked, this, &QTitleBar::emitClose);
    connect(ui->m_btnNormal, &QPushButton::clicked, this, &QTitleBar::emitFullToNormal);
    connect(ui->m_btnMinimize, &QPushButton::clicked, this, &QTitleBar::emitMinimize);
}

void QTitleBar::resizeEvent(QResizeEvent *e)
{
    QZRWidget::resizeEvent(e);
    ui->m_btnClose->move(width() - ui->m_btnClose->width(), 0);
    ui->m_btnNormal->move(ui->m_btnClose->x() - ui->m_btnNormal->width(), 0);
    ui->m_btnMinimize->move(ui->m_btnNormal->x() - ui->m_btnMinimize->width(), 0);
}

void QTitleBar::paintEvent(QPaintEvent *e)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(56, 56, 56));
    }
    QZRWidget::paintEvent(e);
}
