#include "toolkit/qzrdoublespinbox.h"

#include "toolkit/qzrbasebutton.h"

#include <QFile>
#include <QLineEdit>
#include <QTimerEvent>

class QZRDoubleSpinBoxPrivate
{
public:
    QZRBaseButton *up = nullptr;
    QZRBaseButton *down = nullptr;
    // A negative left margin is computed from the right one at the first layout.
    qint16 left = -1;
    qint16 top = 0;
    qint16 right = 0;
    qint16 bottom = 0;
    bool keepSize = true;
    int timerId = 0;
    bool repeatUp = true;
    int ticks = 0;
};

QZRDoubleSpinBox::QZRDoubleSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
    , QZRBaseRectImageDraw(this)
    , d(new QZRDoubleSpinBoxPrivate)
{
    setAcceptDrops(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

QZRDoubleSpinBox::~QZRDoubleSpinBox()
{
    delete d->up;
    delete d->down;
    delete d;
}

bool QZRDoubleSpinBox::setBackgroundImage(QString path)
{
    if (!QZRBaseRectImageDraw::setBackgroundImage(path))
        return false;
    setStyleSheet("QDoubleSpinBox {background-color:transparent;border:none}");
    return true;
}

void QZRDoubleSpinBox::setUpAndDownBtnImage(QString upPath, QString downPath, bool keepSize)
{
    stopRepeat();
    delete d->up;
    delete d->down;
    d->up = nullptr;
    d->down = nullptr;
    if (!QFile::exists(upPath)) {
        update();
        return;
    }
    d->up = new QZRBaseButton(this);
    d->down = new QZRBaseButton(this);
    d->up->setButtonImage(upPath, true);
    d->down->setButtonImage(downPath, true);
    d->up->show();
    d->down->show();
    d->keepSize = keepSize;
    connect(d->up, &QAbstractButton::clicked, this, &QAbstractSpinBox::stepUp);
    connect(d->down, &QAbstractButton::clicked, this, &QAbstractSpinBox::stepDown);
    connect(d->up, &QAbstractButton::pressed, this, &QZRDoubleSpinBox::pressBtn);
    connect(d->up, &QAbstractButton::released, this, &QZRDoubleSpinBox::releseBtn);
    connect(d->down, &QAbstractButton::pressed, this, &QZRDoubleSpinBox::pressBtn);
    connect(d->down, &QAbstractButton::released, this, &QZRDoubleSpinBox::releseBtn);
}

QZRBaseButton *QZRDoubleSpinBox::upButton() const
{
    return d->up;
}

QZRBaseButton *QZRDoubleSpinBox::downButton() const
{
    return d->down;
}

void QZRDoubleSpinBox::setBtnMargins(int left, int top, int right, int bottom)
{
    d->left = qint16(left);
    d->top = qint16(top);
    d->right = qint16(right);
    d->bottom = qint16(bottom);
    update();
    updateGeometry();
}

void QZRDoubleSpinBox::setBtnMargins(QMargins margins)
{
    setBtnMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

void QZRDoubleSpinBox::setTextMargins(int left, int top, int right, int bottom)
{
    if (QLineEdit *edit = lineEdit())
        edit->setTextMargins(left, top, right, bottom);
}

void QZRDoubleSpinBox::pressBtn()
{
    if (!d->up)
        return;
    stopRepeat();
    d->repeatUp = sender() == d->up;
    d->ticks = 0;
    d->timerId = startTimer(100, Qt::CoarseTimer);
}

void QZRDoubleSpinBox::releseBtn()
{
    stopRepeat();
}

void QZRDoubleSpinBox::stopRepeat()
{
    if (d->timerId) {
        killTimer(d->timerId);
        d->timerId = 0;
    }
}

void QZRDoubleSpinBox::timerEvent(QTimerEvent *event)
{
    QAbstractSpinBox::timerEvent(event);
    if (event->timerId() != d->timerId || !d->timerId)
        return;
    if (d->ticks >= 6) {
        if (d->repeatUp)
            stepUp();
        else
            stepDown();
    }
    ++d->ticks;
}

void QZRDoubleSpinBox::focusInEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusInEvent(event);
    emit emitStartEditing();
}

void QZRDoubleSpinBox::paintEvent(QPaintEvent *event)
{
    QZRBaseRectImageDraw::paintEvent(event);
    if (!d->up)
        QAbstractSpinBox::paintEvent(event);
}

void QZRDoubleSpinBox::resizeEvent(QResizeEvent *event)
{
    QAbstractSpinBox::resizeEvent(event);
    layoutButtons();
}

void QZRDoubleSpinBox::showEvent(QShowEvent *event)
{
    QAbstractSpinBox::showEvent(event);
    layoutButtons();
}

void QZRDoubleSpinBox::layoutButtons()
{
    if (!d->up || !d->down)
        return;
    const int W = width(), H = height();
    if (d->left < 0)
        d->left = qint16(W - d->up->width() - d->right);
    const int l = d->left, t = d->top, r = d->right, b = d->bottom;
    if (d->keepSize) {
        d->up->move(l, t);
        d->down->move(l, H - b - d->down->height());
        return;
    }
    d->up->setGeometry(QRect(QPoint(l, t), QPoint(W - 1 - r, t + (H - t - b) / 2 - 1)));
    const int upW = d->up->width(), upH = d->up->height();
    d->down->setGeometry(l, H - b - upH, upW, H - t - b - upH);
}
