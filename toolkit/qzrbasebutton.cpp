#include "toolkit/qzrbasebutton.h"

#include <QMouseEvent>

QZRBaseButton::QZRBaseButton(QWidget *parent) : QPushButton(parent), QZRBaseButtonDraw(this)
{
}

void QZRBaseButton::seedClick()
{
    click();
}

void QZRBaseButton::addItemCount()
{
    QZRBaseButtonDraw::addItemCount();
}

void QZRBaseButton::timerEvent(QTimerEvent *event)
{
    QAbstractButton::timerEvent(event);
    QZRBaseButtonDraw::timerEvent(event);
}

void QZRBaseButton::mousePressEvent(QMouseEvent *event)
{
    if (QZRBaseButtonDraw::mousePressEvent(event))
        emit mouseDown(event, getMouseMapValue());
    QAbstractButton::mousePressEvent(event);
}

void QZRBaseButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (QZRBaseButtonDraw::mouseReleaseEvent(event))
        emit mouseRelease(event, getMouseMapValue());
    QAbstractButton::mouseReleaseEvent(event);
}

void QZRBaseButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (QZRBaseButtonDraw::mouseMoveEvent(event))
        emit mouseMove(event, getMouseMapValue());
}

void QZRBaseButton::focusInEvent(QFocusEvent *event)
{
    QPushButton::focusInEvent(event);
    QZRBaseButtonDraw::focusInEvent(event);
}

void QZRBaseButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    QZRBaseButtonDraw::focusOutEvent(event);
}

void QZRBaseButton::enterEvent(QEvent *event)
{
    QZRBaseButtonDraw::enterEvent(event);
    emit mouseEnter(event);
    QWidget::enterEvent(event);
    if (getEnterIsChangeMouse())
        setCursor(Qt::ArrowCursor);
}

void QZRBaseButton::leaveEvent(QEvent *event)
{
    QZRBaseButtonDraw::leaveEvent(event);
    emit mouseLeave(event);
    QWidget::leaveEvent(event);
}

void QZRBaseButton::paintEvent(QPaintEvent *event)
{
    if (isCustomDraw())
        QZRBaseButtonDraw::paintEvent(event);
    else
        QPushButton::paintEvent(event);
}

void QZRBaseButton::changeEvent(QEvent *event)
{
    QZRBaseButtonDraw::changeEvent(event);
    QAbstractButton::changeEvent(event);
}
