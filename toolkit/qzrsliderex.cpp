#include "toolkit/qzrsliderex.h"

#include "toolkit/qzrbasebutton.h"

QZRSliderEx::QZRSliderEx(QWidget *parent)
    : QZRBaseSlider(parent)
{
}

bool QZRSliderEx::setBtnImage(QString path)
{
    QZRBaseSlider::setBtnImage(path);
    QZRBaseButton *thumb = getButton();
    connect(thumb, &QZRBaseButton::mouseLeave, this, &QZRSliderEx::buttonMouseLeave);
    connect(thumb, &QZRBaseButton::mouseDown, this, &QZRSliderEx::buttonMouseDown);
    connect(thumb, &QZRBaseButton::mouseMove, this, &QZRSliderEx::buttonMouseMove);
    return true;
}

void QZRSliderEx::setThumbState(int state)
{
    if (QZRBaseButton *thumb = getButton()) {
        thumb->setBtnState(state);
        thumb->update();
    }
}

void QZRSliderEx::enterEvent(QEvent *)
{
    setThumbState(1);
    setCursor(Qt::PointingHandCursor);
}

void QZRSliderEx::leaveEvent(QEvent *)
{
    setThumbState(0);
    setCursor(Qt::ArrowCursor);
}

void QZRSliderEx::mouseMoveEvent(QMouseEvent *event)
{
    QZRBaseSlider::mouseMoveEvent(event);
    setThumbState(1);
}

// The pointer left the thumb but is still over the slider.
void QZRSliderEx::buttonMouseLeave(QEvent *)
{
    setThumbState(1);
}

void QZRSliderEx::buttonMouseDown(QMouseEvent *, int)
{
    getButton()->setCursor(Qt::PointingHandCursor);
}

void QZRSliderEx::buttonMouseMove(QMouseEvent *, int)
{
    getButton()->setCursor(Qt::PointingHandCursor);
}
