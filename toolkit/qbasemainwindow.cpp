#include "toolkit/qbasemainwindow.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QMouseEvent>

namespace {

const int EdgeBand = 4;
const int MoveBand = 32;

}

QBaseMainWindow::QBaseMainWindow(QWidget *parent) : QMainWindow(parent)
{
    setMouseTracking(true);
}

void QBaseMainWindow::updateControlsPosition()
{
}

void QBaseMainWindow::onMaximized()
{
    m_normalGeometry = geometry();
    const QDesktopWidget *desktop = QApplication::desktop();
    setGeometry(0, 0, desktop->width(), desktop->availableGeometry(-1).height());
    updateControlsPosition();
    m_bMaximized = !m_bMaximized;
}

void QBaseMainWindow::onNormal()
{
    setGeometry(m_normalGeometry);
    updateControlsPosition();
    m_bMaximized = !m_bMaximized;
}

void QBaseMainWindow::mousePressEvent(QMouseEvent *event)
{
    QMainWindow::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_bDragging = true;
    m_pressOffset = event->globalPos() - frameGeometry().topLeft();
}

void QBaseMainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    QMainWindow::mouseReleaseEvent(event);
    m_bDragging = false;
}

void QBaseMainWindow::mouseMoveEvent(QMouseEvent *event)
{
    QMainWindow::mouseMoveEvent(event);
    if (!m_bDragging) {
        if (!m_bMaximized)
            updateCursor(event->globalPos());
        return;
    }
    if (m_cursor != QBaseDrawWidget::CursorNone) {
        resizeByEdge(event->globalPos());
        return;
    }
    if (m_pressOffset.y() < MoveBand && !m_bMaximized)
        move(event->globalPos() - m_pressOffset);
}

void QBaseMainWindow::updateCursor(const QPoint &global)
{
    const QRect g = geometry();
    const bool left = global.x() >= g.left() && global.x() <= g.left() + EdgeBand;
    const bool right = global.x() <= g.right() && global.x() >= g.right() - EdgeBand;
    const bool top = global.y() >= g.top() && global.y() <= g.top() + EdgeBand;
    const bool bottom = global.y() <= g.bottom() && global.y() >= g.bottom() - EdgeBand;

    m_grabX = left ? global.x() - g.left() : right ? g.right() - global.x() : 0;
    m_grabY = top ? global.y() - g.top() : bottom ? g.bottom() - global.y() : 0;
    if (left)
        m_cursor = top ? QBaseDrawWidget::CursorTopLeft
                       : bottom ? QBaseDrawWidget::CursorBottomLeft : QBaseDrawWidget::CursorLeft;
    else if (right)
        m_cursor = top ? QBaseDrawWidget::CursorTopRight
                       : bottom ? QBaseDrawWidget::CursorBottomRight : QBaseDrawWidget::CursorRight;
    else
        m_cursor = top ? QBaseDrawWidget::CursorTop : bottom ? QBaseDrawWidget::CursorBottom : QBaseDrawWidget::CursorNone;

    static const Qt::CursorShape shapes[] = {Qt::ArrowCursor,    Qt::SizeHorCursor,   Qt::SizeFDiagCursor,
                                             Qt::SizeVerCursor,  Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                                             Qt::SizeFDiagCursor, Qt::SizeVerCursor,  Qt::SizeBDiagCursor};
    setCursor(shapes[m_cursor]);
}

void QBaseMainWindow::resizeByEdge(const QPoint &global)
{
    QRect g = geometry();
    const int maxWidth = QApplication::desktop()->width() - 4;
    const int maxHeight = QApplication::desktop()->availableGeometry(-1).height();
    const auto fitsWidth = [&](int w) { return w > minimumWidth() && w < maxWidth; };
    const auto fitsHeight = [&](int h) { return h > minimumHeight() && h < maxHeight; };
    const int code = m_cursor;

    if ((code == 1 || code == 2 || code == 8) && fitsWidth(g.right() - (global.x() - m_grabX)))
        g.setLeft(global.x() - m_grabX);
    if ((code == 4 || code == 5 || code == 6) && fitsWidth(global.x() + m_grabX - g.left()))
        g.setRight(global.x() + m_grabX);
    if ((code == 2 || code == 3 || code == 4) && fitsHeight(g.bottom() - (global.y() - m_grabY)))
        g.setTop(global.y() - m_grabY);
    if ((code == 6 || code == 7 || code == 8) && fitsHeight(global.y() + m_grabY - g.top()))
        g.setBottom(global.y() + m_grabY);
    setGeometry(g);
}
