#include "toolkit/qscrollareaframeselection.h"

#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <cmath>

QScrollAreaFrameSelection::QScrollAreaFrameSelection(QWidget *parent)
    : QScrollArea(parent)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &QScrollAreaFrameSelection::mouseChangeSliderTimer);
}

bool QScrollAreaFrameSelection::isSelecting() const
{
    return m_selecting;
}

void QScrollAreaFrameSelection::itemPressStart()
{
    const QPoint pos = mapFromGlobal(QCursor::pos());
    m_startPt = QPoint(pos.x(), pos.y() + verticalScrollBar()->value());
    m_endPt = pos;
    m_lastY = -1;
    m_selecting = true;
    sendSelectChangePt();
}

void QScrollAreaFrameSelection::itemRelease()
{
    m_selecting = false;
    m_startPt = QPoint();
    m_endPt = QPoint();
    m_lastY = 0;
    m_timer->stop();
}

void QScrollAreaFrameSelection::sendSelectChangePt()
{
    const int y = verticalScrollBar()->value() + m_endPt.y();
    if (y == m_lastY)
        return;
    m_lastY = y;
    emit emitSelectPtChange(m_startPt, QPoint(m_endPt.x(), y));
}

void QScrollAreaFrameSelection::mousePressEvent(QMouseEvent *event)
{
    QScrollArea::mousePressEvent(event);
    itemPressStart();
}

void QScrollAreaFrameSelection::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollArea::mouseReleaseEvent(event);
    itemRelease();
}

void QScrollAreaFrameSelection::mouseMoveEvent(QMouseEvent *event)
{
    QScrollArea::mouseMoveEvent(event);
    if (!m_selecting)
        return;
    const int x = int(std::lround(event->localPos().x()));
    const int y = int(std::lround(event->localPos().y()));
    const int H = height();
    // Near an edge the timer keeps scrolling; it is not restarted by every move, so a moving
    // pointer does not hold the scrolling back.
    if (y > H - 20 || y <= 19) {
        m_scrollUp = y <= 19 && !(y > H - 20);
        if (!m_timer->isActive())
            m_timer->start(100);
    } else {
        m_timer->stop();
    }
    m_endPt = QPoint(x, y < 0 ? 0 : (y > H ? H : y));
    sendSelectChangePt();
}

void QScrollAreaFrameSelection::mouseChangeSliderTimer()
{
    QScrollBar *bar = verticalScrollBar();
    if (!bar || !bar->isVisible())
        return;
    bar->setSliderPosition(bar->sliderPosition() + (m_scrollUp ? -20 : 20));
    sendSelectChangePt();
}
