#include "engine/qmediaelementwindow.h"

#include "ui_qmediaelementwindow.h"

#include <QPainter>

QMediaElementWindow::QMediaElementWindow(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QMediaElementWindow)
{
    ui->setupUi(this);
    setPalette(QPalette(QColor(0, 0, 0, 255)));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);
    ui->m_videoElement->setAttribute(Qt::WA_MouseTracking);
    connect(ui->m_videoElement, &QVideoElementWindow::emitFrameDropped, this, &QMediaElementWindow::emitFrameDropped);
}

QMediaElementWindow::~QMediaElementWindow() = default;

void QMediaElementWindow::setVideoElementSize(int width, int height)
{
    if (width < 1 || height < 1)
        return;
    m_videoWidth = width;
    m_videoHeight = height;
    const int paneWidth = this->width();
    const int paneHeight = this->height();
    const float pictureAspect = float(double(width) / height);
    const float paneAspect = float(double(paneWidth) / paneHeight);
    int elementWidth = width;
    int elementHeight = height;
    // Products in double: the same as int products wherever those do not overflow.
    if (pictureAspect > paneAspect) {
        elementWidth = paneWidth;
        elementHeight = int(double(height) * paneWidth / width);
    } else if (paneAspect >= pictureAspect) {
        elementWidth = int(double(width) * paneHeight / height);
        elementHeight = paneHeight;
    }
    placeVideoElement(elementWidth, elementHeight);
}

void QMediaElementWindow::setVideoSize(int width, int height)
{
    m_videoWidth = width;
    m_videoHeight = height;
    placeVideoElement(qMin(this->width(), width), qMin(this->height(), height));
}

void QMediaElementWindow::placeVideoElement(int width, int height)
{
    ui->m_videoElement->setGeometry((this->width() - width) / 2, (this->height() - height) / 2, width, height);
    emit emitVideoElementSizeChange(ui->m_videoElement->geometry());
}

void QMediaElementWindow::SetOpenGl(bool openGl)
{
    ui->m_videoElement->SetOpenGl(openGl);
}

bool QMediaElementWindow::showImage(unsigned char *data, unsigned int width, unsigned int height,
                                    unsigned int stride)
{
    return ui->m_videoElement->showImage(data, width, height, stride);
}

bool QMediaElementWindow::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    return ui->m_videoElement->showYUVImage(planes, width, height, strides);
}

void QMediaElementWindow::frameCounts(long long *shown, long long *dropped) const
{
    ui->m_videoElement->frameCounts(shown, dropped);
}

void QMediaElementWindow::reshape()
{
    ui->m_videoElement->reshape();
}

WId QMediaElementWindow::getVideoElementWid()
{
    return ui->m_videoElement->winId();
}

QRect QMediaElementWindow::getVideoElementRect() const
{
    return ui->m_videoElement->geometry();
}

// The element is taken down and put up again with the pane.
void QMediaElementWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    ui->m_videoElement->setHidden(visible);
    ui->m_videoElement->setVisible(visible);
}

void QMediaElementWindow::mousePressEvent(QMouseEvent *event)
{
    emit emitMousePressEvent(event);
}

void QMediaElementWindow::mouseReleaseEvent(QMouseEvent *event)
{
    emit emitMouseReleaseEvent(event);
}

void QMediaElementWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit emitMouseDoubleClickEvent(event);
}

void QMediaElementWindow::mouseMoveEvent(QMouseEvent *event)
{
    emit emitMouseMoveEvent(event);
}

void QMediaElementWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 255));
}
