#include "toolkit/qbaseitem.h"

#include <QPainter>

void QItemStateLook::setColors(QColor normalColor, QColor overColor, QColor trackingColor, QColor disableColor)
{
    normal = normalColor;
    over = overColor;
    tracking = trackingColor;
    disable = disableColor;
}

void QItemStateLook::paint(QPainter &painter, const QRect &rect, bool fillSelected) const
{
    if (state == QBaseItem::Normal)
        painter.fillRect(rect, normal);
    else if (state == QBaseItem::Hover)
        painter.fillRect(rect, over);
    else if (state == QBaseItem::Selected && fillSelected)
        painter.fillRect(rect, tracking);
    else if (state > QBaseItem::Selected)
        painter.fillRect(rect, disable);
}

QBaseItem::QBaseItem(QWidget *parent)
    : QWidget(parent)
    , m_look(QColor(60, 60, 60))
{
    m_look.normal = QColor(35, 35, 35);
    m_look.disable = QColor(35, 35, 35);
}

void QBaseItem::setMouseState(int state)
{
    m_look.state = state;
    repaint();
}

int QBaseItem::getMouseState() const
{
    return m_look.state;
}

void QBaseItem::setBackgroundColor(QColor color)
{
    setBackgroundColor(color, color, color, color);
}

void QBaseItem::setBackgroundColor(QColor normalColor, QColor overColor, QColor trackingColor, QColor disableColor)
{
    m_look.setColors(normalColor, overColor, trackingColor, disableColor);
    repaint();
}

void QBaseItem::mousePressEvent(QMouseEvent *event)
{
    pressItem(this, m_look.state, event);
}

void QBaseItem::mouseReleaseEvent(QMouseEvent *)
{
    emit emitMouseRelease();
}

void QBaseItem::mouseDoubleClickEvent(QMouseEvent *)
{
    emit emitMouseDoubleClick();
}

void QBaseItem::enterEvent(QEvent *)
{
    if (m_look.state != Hover)
        setMouseState(Hover);
}

void QBaseItem::leaveEvent(QEvent *)
{
    if (m_look.state == Hover)
        setMouseState(Normal);
}

void QBaseItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_look.paint(painter, rect(), false);
}
