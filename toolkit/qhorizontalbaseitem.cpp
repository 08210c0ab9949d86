#include "toolkit/qhorizontalbaseitem.h"

#include <QPainter>

QHorizontalBaseItem::QHorizontalBaseItem(QWidget *parent)
    : QWidget(parent)
    , m_look(QColor(44, 44, 44))
{
}

void QHorizontalBaseItem::setMouseState(int state)
{
    m_look.state = state;
    repaint();
}

int QHorizontalBaseItem::getMouseState() const
{
    return m_look.state;
}

void QHorizontalBaseItem::setBackgroundColor(QColor color)
{
    setBackgroundColor(color, color, color, color);
}

void QHorizontalBaseItem::setBackgroundColor(QColor normalColor, QColor overColor, QColor trackingColor,
                                             QColor disableColor)
{
    m_look.setColors(normalColor, overColor, trackingColor, disableColor);
    repaint();
}

void QHorizontalBaseItem::mousePressEvent(QMouseEvent *event)
{
    QBaseItem::pressItem(this, m_look.state, event);
}

void QHorizontalBaseItem::mouseDoubleClickEvent(QMouseEvent *)
{
}

void QHorizontalBaseItem::enterEvent(QEvent *)
{
    if (m_look.state == Normal || m_look.state > Selected)
        setMouseState(Hover);
}

void QHorizontalBaseItem::leaveEvent(QEvent *)
{
    if (m_look.state == Hover)
        setMouseState(Normal);
}

void QHorizontalBaseItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_look.paint(painter, rect(), true);
}
