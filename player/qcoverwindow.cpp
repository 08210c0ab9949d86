#include "player/qcoverwindow.h"

#include "services/qianyutil.h"
#include "toolkit/skinimage.h"
#include "ui_qcoverwindow.h"

#include <QPainter>

QCoverWindow::QCoverWindow(QWidget *parent) : QWidget(parent), ui(new Ui_QCoverWindow)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_MouseTracking);
    ui->m_btnOpenMedia->setButtonImage(QIAnyUtil::getResourcePath() + "/images/PlayerImage/btn_openFIle.png", true);
    connect(ui->m_btnOpenMedia, &QPushButton::clicked, this, &QCoverWindow::emitOpenFile);
    ui->m_btnOpenMedia->setText(QObject::tr("Open media..."));
    ui->m_btnOpenMedia->setTextColor(QColor(210, 210, 210), QColor(232, 232, 232), QColor(101, 101, 101),
                                     QColor(101, 101, 101));
    ui->m_btnOpenMedia->resize(120, 30);
}

QCoverWindow::~QCoverWindow()
{
    delete ui;
}

// The button follows the picture: it is placed at every paint, so a resize moves it with the
// repaint that follows.
void QCoverWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(1, 1, 1));
    const QImage picture = sharedSkinImage(QIAnyUtil::getResourcePath() + "/images/playIcon.png");
    const int iw = picture.width();
    const int ih = picture.height();
    const int left = (width() - iw / 2) / 2;
    const int top = (height() - ih / 2) / 2;
    if (!picture.isNull())
        painter.drawImage(QPoint(left, top), picture);
    QWidget *button = ui->m_btnOpenMedia;
    button->move(left + (iw / 2 - button->width()) / 2 + 5, top + ih / 2 + 20);
}
