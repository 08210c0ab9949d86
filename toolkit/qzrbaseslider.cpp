#include "toolkit/qzrbaseslider.h"

#include "toolkit/qzrbasebutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

class QZRBaseSliderPrivate
{
public:
    bool enablePull = true;
    QZRBaseButton *thumb = nullptr;
    int thumbOffset = 0;
    bool pressed = false;
};

QZRBaseSlider::QZRBaseSlider(QWidget *parent)
    : QZRBaseProgress(parent)
    , d(new QZRBaseSliderPrivate)
{
}

QZRBaseSlider::~QZRBaseSlider()
{
    delete d;
}

bool QZRBaseSlider::setBtnImage(QString path)
{
    delete d->thumb;
    d->thumb = new QZRBaseButton(this);
    connect(d->thumb, &QZRBaseButton::mouseMove, this, &QZRBaseSlider::btnMouseMove);
    connect(d->thumb, &QZRBaseButton::mouseDown, this, &QZRBaseSlider::btnMouseDown);
    connect(d->thumb, &QZRBaseButton::mouseRelease, this, &QZRBaseSlider::btnMouseRelease);
    if (!d->thumb->setButtonImage(path, false)) {
        if (progressPolicy() == Horizontal)
            d->thumb->resize(10, height());
        else
            d->thumb->resize(width(), 10);
    }
    d->thumb->move(0, 0);
    d->thumb->show();
    int tl = getTLOffset(), rb = getRBOffset();
    raiseOffsets(tl, rb);
    QZRBaseProgress::setOffset(tl, rb);
    return true;
}

// The thumb's centre must be able to reach both ends of the bar.
void QZRBaseSlider::raiseOffsets(int &tl, int &rb) const
{
    const int half = d->thumb->height() / 2;
    if (tl < half)
        tl = d->thumb->width() / 2;
    if (rb < half)
        rb = d->thumb->width() / 2;
}

void QZRBaseSlider::setOffset(int tl, int rb)
{
    if (d->thumb)
        raiseOffsets(tl, rb);
    QZRBaseProgress::setOffset(tl, rb);
}

QZRBaseButton *QZRBaseSlider::getButton() const
{
    return d->thumb;
}

void QZRBaseSlider::setBtnOffset(int offset)
{
    d->thumbOffset = offset;
    update();
}

void QZRBaseSlider::setEnabledPull(bool enable)
{
    d->enablePull = enable;
}

bool QZRBaseSlider::enablePull() const
{
    return d->enablePull;
}

void QZRBaseSlider::setValue(double val)
{
    if (val == value())
        return;
    QZRBaseProgress::setValue(val);
    update();
}

void QZRBaseSlider::setValue(int val)
{
    setValue(double(val));
}

int QZRBaseSlider::validLength() const
{
    return (progressPolicy() == Horizontal ? width() : height()) - getTLOffset() - getRBOffset();
}

QPoint QZRBaseSlider::eventPoint(QMouseEvent *event) const
{
    const QPointF p = event->screenPos() - QPointF(mapToGlobal(QPoint(0, 0)));
    return QPoint(int(std::floor(p.x() + 0.5)), int(std::floor(p.y() + 0.5)));
}

void QZRBaseSlider::PointToValue(QPoint point)
{
    const ProgressPolicy policy = progressPolicy();
    const int length = validLength();
    if ((policy != Horizontal && policy != Vertical) || !d->enablePull || length == 0)
        return;
    const int along = policy == Horizontal ? point.x() - getTLOffset() : length - (point.y() - getTLOffset());
    const double span = maximum() - minimum();
    const double v = minimum() + span * qBound(0, along, length) / length;
    if (v == value())
        return;
    QZRBaseProgress::setValue(v);
    update();
    emit sendProgressValue(fraction(v));
}

QPoint QZRBaseSlider::valueToPoint() const
{
    const int length = validLength();
    const double r = fraction(value());
    if (progressPolicy() == Horizontal)
        return QPoint(int(getTLOffset() + length * r - 1), 0);
    return QPoint(0, int(length - length * r + getTLOffset()));
}

void QZRBaseSlider::calcBtnPostion()
{
    const ProgressPolicy policy = progressPolicy();
    if (!d->thumb || (policy != Horizontal && policy != Vertical))
        return;
    const QPoint point = valueToPoint();
    if (policy == Horizontal)
        d->thumb->move(point.x() - d->thumb->width() / 2, (height() - d->thumb->height()) / 2 + d->thumbOffset);
    else
        d->thumb->move((width() - d->thumb->width()) / 2 + d->thumbOffset, point.y() - d->thumb->height() / 2);
}

void QZRBaseSlider::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = eventPoint(event);
    bool inside = false;
    if (progressPolicy() == Horizontal)
        inside = getTLOffset() <= p.x() && p.x() <= width() - getRBOffset();
    else if (progressPolicy() == Vertical)
        inside = getTLOffset() <= p.y() && p.y() <= height() - getRBOffset();
    if (!inside)
        return;
    d->pressed = true;
    emit sendPressEvent(event);
    PointToValue(p);
}

void QZRBaseSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (!d->pressed)
        return;
    d->pressed = false;
    emit sendReleseEvent(event);
}

void QZRBaseSlider::mouseMoveEvent(QMouseEvent *event)
{
    PointToValue(eventPoint(event));
}

void QZRBaseSlider::btnMouseDown(QMouseEvent *e, int)
{
    emit sendPressEvent(e);
}

void QZRBaseSlider::btnMouseMove(QMouseEvent *e, int)
{
    PointToValue(d->thumb->mapTo(this, e->pos()));
    update();
}

void QZRBaseSlider::btnMouseRelease(QMouseEvent *e, int)
{
    emit sendReleseEvent(e);
}

void QZRBaseSlider::stepBy(double delta)
{
    const double v = value() + delta;
    if (v != value())
        QZRBaseProgress::setValue(v);
    update();
}

void QZRBaseSlider::OnKeyLeftDown()
{
    stepBy(-(maximum() - minimum()) / 100);
}

void QZRBaseSlider::OnKeyRightUp()
{
    stepBy((maximum() - minimum()) / 100);
}

void QZRBaseSlider::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        OnKeyLeftDown();
        break;
    case Qt::Key_Up:
    case Qt::Key_Right:
        OnKeyRightUp();
        break;
    default:
        break;
    }
}

void QZRBaseSlider::enterEvent(QEvent *)
{
}

void QZRBaseSlider::leaveEvent(QEvent *)
{
}

void QZRBaseSlider::paintEvent(QPaintEvent *event)
{
    QZRBaseProgress::paintEvent(event);
    calcBtnPostion();
}
