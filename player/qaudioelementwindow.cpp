#include "player/qaudioelementwindow.h"

#include "player/qaudiodatawidget.h"
#include "services/qianyutil.h"
#include "ui_qaudioelementwindow.h"

QAudioElementWindow::QAudioElementWindow(QWidget *parent) : QWidget(parent), ui(new Ui_QAudioElementWindow)
{
    ui->setupUi(this);
    initControls();
}

QAudioElementWindow::~QAudioElementWindow()
{
    delete ui;
}

void QAudioElementWindow::initControls()
{
    setAttribute(Qt::WA_MouseTracking);
    AudioDataAttribute attribute;
    attribute.barWidth = 11;
    attribute.cellHeight = 3;
    attribute.barSpacing = 2;
    attribute.cellSpacing = 2;
    attribute.showPeak = true;
    attribute.peakGravity = 1;
    attribute.cornerRadius = 1.3;
    attribute.barColor = QColor(253, 94, 105);
    attribute.peakColor = QColor(253, 94, 105);
    attribute.drawStyle = 0;
    m_pAudioDataWidget = new QAudioDataWidget(this, &attribute);
    // The pane takes the mouse, so that it can pass it on like the video does.
    m_pAudioDataWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pAudioDataWidget->setAudioLogo(QIAnyUtil::getResourcePath() + "/images/PlayerImage/bg_audio.png");
    // The player window is black under the pane; painting it so spares the windows below a repaint.
    m_pAudioDataWidget->setBackgroundColor(Qt::black);
    m_pAudioDataWidget->setGeometry(2, 2, 390, 230);
    m_pAudioDataWidget->show();
}

void QAudioElementWindow::setAudioData(unsigned char *data, int sps)
{
    m_pAudioDataWidget->setAudioData(data, sps);
}

void QAudioElementWindow::mouseMoveEvent(QMouseEvent *event)
{
    emit emitMouseMoveEvent(event);
}

void QAudioElementWindow::mousePressEvent(QMouseEvent *event)
{
    emit emitMousePressEvent(event);
}

void QAudioElementWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit emitMouseDoubleClickEvent(event);
}

void QAudioElementWindow::resizeEvent(QResizeEvent *)
{
    m_pAudioDataWidget->move((width() - 390) / 2, (height() - m_pAudioDataWidget->height()) / 2);
}

void QAudioElementWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    emit emitShown(true);
}

void QAudioElementWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit emitShown(false);
}
