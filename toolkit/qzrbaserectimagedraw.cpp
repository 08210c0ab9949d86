#include "toolkit/qzrbaserectimagedraw.h"

#include "toolkit/qbaseimagedraw.h"
#include "toolkit/skinimage.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

class QZRBaseRectImageDrawPrivate
{
public:
    QWidget *widget = nullptr;
    QImage *background = nullptr;
    QImage *icon = nullptr;
    bool btnMode = false;
    bool iconBtnMode = false;
    QRect iconRect {0, -1, 0, 0};
    QString text;
    bool textDrawable = true;
    qint16 marginLeft = 1;
    qint16 marginTop = 1;
    qint16 marginRight = 1;
    qint16 marginBottom = 1;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor currentColor = Qt::black;
    QColor normalColor = Qt::black;
    QColor hoverColor = Qt::black;
    QColor pressedColor = Qt::black;
    QColor disabledColor = Qt::black;
    bool checked = false;
    int state = 0;
};

QZRBaseRectImageDraw::QZRBaseRectImageDraw(QWidget *widget)
    : d(new QZRBaseRectImageDrawPrivate)
{
    d->widget = widget;
}

QZRBaseRectImageDraw::~QZRBaseRectImageDraw()
{
    delete d->background;
    delete d->icon;
    delete d;
}

bool QZRBaseRectImageDraw::setBackgroundImage(QString path)
{
    delete d->background;
    d->background = newSkinImage(path);
    if (!d->background)
        return false;
    if (d->widget)
        d->widget->update();
    return true;
}

bool QZRBaseRectImageDraw::setBackgroundImage(QImage image)
{
    delete d->background;
    d->background = new QImage(image);
    d->background->setDevicePixelRatio(2.0);
    if (d->widget)
        d->widget->update();
    return true;
}

bool QZRBaseRectImageDraw::setRectIcon(QString path)
{
    delete d->icon;
    d->icon = newSkinImage(path);
    if (!d->icon)
        return false;
    if (d->widget)
        d->widget->update();
    return true;
}

bool QZRBaseRectImageDraw::setRectIcon(QImage image)
{
    delete d->icon;
    d->icon = nullptr;
    if (image.isNull())
        return false;
    d->icon = new QImage(image);
    d->icon->setDevicePixelRatio(2.0);
    if (d->widget)
        d->widget->update();
    return true;
}

void QZRBaseRectImageDraw::setIconRect(QRect rect)
{
    d->iconRect = rect;
}

QRect QZRBaseRectImageDraw::iconRect() const
{
    return d->iconRect;
}

void QZRBaseRectImageDraw::setDrawText(QString text)
{
    if (text == d->text)
        return;
    d->text = text;
    if (d->widget)
        d->widget->update();
}

QString QZRBaseRectImageDraw::drawText() const
{
    return d->text;
}

void QZRBaseRectImageDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
    if (d->widget)
        d->widget->update();
}

Qt::Alignment QZRBaseRectImageDraw::alignment() const
{
    return d->alignment;
}

void QZRBaseRectImageDraw::setTextDrawable(bool drawable)
{
    d->textDrawable = drawable;
}

bool QZRBaseRectImageDraw::isTextDrawable() const
{
    return d->textDrawable;
}

void QZRBaseRectImageDraw::setDrawTextMargins(int left, int top, int right, int bottom)
{
    d->marginLeft = qint16(left);
    d->marginTop = qint16(top);
    d->marginRight = qint16(right);
    d->marginBottom = qint16(bottom);
    if (d->widget)
        d->widget->update();
}

void QZRBaseRectImageDraw::setDrawTextMargins(QMargins margins)
{
    setDrawTextMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

QMargins QZRBaseRectImageDraw::drawTextMargins() const
{
    return QMargins(d->marginLeft, d->marginTop, d->marginRight, d->marginBottom);
}

void QZRBaseRectImageDraw::setTextColor(QColor color)
{
    setTextColor(color, color, color, color);
}

void QZRBaseRectImageDraw::setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled)
{
    d->normalColor = normal;
    d->hoverColor = hover;
    d->pressedColor = pressed;
    d->disabledColor = disabled;
    d->currentColor = normal;
}

void QZRBaseRectImageDraw::setCheckState(bool checked)
{
    d->checked = checked;
}

void QZRBaseRectImageDraw::setBtnMode(bool on)
{
    d->btnMode = on;
}

bool QZRBaseRectImageDraw::isBtnMode() const
{
    return d->btnMode;
}

void QZRBaseRectImageDraw::setIconBtnMode(bool on)
{
    d->iconBtnMode = on;
}

bool QZRBaseRectImageDraw::IsIconBtnMode() const
{
    return d->iconBtnMode;
}

bool QZRBaseRectImageDraw::isCustomDraw() const
{
    return d->background != nullptr;
}

int QZRBaseRectImageDraw::drawState() const
{
    return d->state;
}

void QZRBaseRectImageDraw::paintEvent(QPaintEvent *)
{
    if (!d->widget || !d->background)
        return;
    QPainter painter(d->widget);
    drawBackgroundImage(painter);
    drawIcon(painter);
    drawRectText(painter);
}

int QZRBaseRectImageDraw::frameIndex() const
{
    if (d->checked)
        return 2;
    return d->state >= 0 && d->state <= 3 ? d->state : 0;
}

// One of four equal frames laid side by side.
static QImage frameOf(const QImage &image, int index)
{
    const int width = image.width() / 4;
    QImage frame = image.copy(index * width, 0, width, image.height());
    frame.setDevicePixelRatio(2.0);
    return frame;
}

void QZRBaseRectImageDraw::drawBackgroundImage(QPainter &painter)
{
    if (!d->widget || !d->background)
        return;
    const QRect target(0, 0, d->widget->width(), d->widget->height());
    if (!d->btnMode) {
        QBaseImageDraw::drawBtnImageBg(painter, target, *d->background, true);
        return;
    }
    QImage frame = frameOf(*d->background, frameIndex());
    QBaseImageDraw::drawBtnImageBg(painter, target, frame, true);
}

void QZRBaseRectImageDraw::drawIcon(QPainter &painter)
{
    if (!d->widget || !d->icon)
        return;
    const QImage image = d->iconBtnMode ? frameOf(*d->icon, frameIndex()) : *d->icon;
    QRect &r = d->iconRect;
    if (r.width() == 0)
        r.setRight(r.left() + image.width() / 2 - 1);
    int h = r.height();
    if (h == 0)
        h = image.height() / 2;
    if (r.top() == -1)
        r.moveTop((d->widget->height() - h) / 2);
    r.setBottom(r.top() + h - 1);
    QImage scaled = image.scaled(r.width() * 2, r.height() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(2.0);
    painter.drawImage(r.topLeft(), scaled);
}

void QZRBaseRectImageDraw::drawRectText(QPainter &painter)
{
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (d->text.isEmpty() || !d->textDrawable || !d->widget)
        return;
    const QFont saved = painter.font();
    painter.setFont(d->widget->font());
    painter.setPen(drawTextColor());
    const QRect rect(QPoint(d->marginLeft, d->marginTop),
                     QPoint(d->widget->width() - 1 - d->marginRight, d->widget->height() - 1 - d->marginBottom));
    const QString elided = QFontMetrics(d->widget->font()).elidedText(d->text, Qt::ElideRight, rect.width());
    painter.drawText(rect, int(d->alignment), elided);
    painter.setFont(saved);
}

QColor QZRBaseRectImageDraw::drawTextColor()
{
    if (!d->btnMode)
        return d->normalColor;
    QColor color = d->normalColor;
    if (d->checked) {
        color = d->pressedColor;
    } else {
        switch (d->state) {
        case 1:
            color = d->hoverColor;
            break;
        case 2:
            color = d->pressedColor;
            break;
        case 3:
            color = d->disabledColor;
            break;
        default:
            break;
        }
    }
    d->currentColor = color;
    return color;
}

bool QZRBaseRectImageDraw::disabled() const
{
    return d->widget->testAttribute(Qt::WA_Disabled);
}

bool QZRBaseRectImageDraw::mousePressEventDraw(QMouseEvent *event)
{
    if (!d->widget || event->button() != Qt::LeftButton)
        return false;
    if (disabled()) {
        d->state = 3;
        return false;
    }
    if (d->state == 2)
        return false;
    d->state = 2;
    d->widget->repaint();
    return true;
}

void QZRBaseRectImageDraw::mouseReleaseEventDraw(QMouseEvent *event)
{
    if (!d->widget || event->button() != Qt::LeftButton)
        return;
    if (disabled()) {
        d->state = 3;
    } else if (d->state == 2) {
        d->state = 0;
        d->widget->repaint();
    }
}

void QZRBaseRectImageDraw::enterEventDraw(QEvent *)
{
    if (!d->widget)
        return;
    if (disabled()) {
        d->state = 3;
    } else if (d->state != 1) {
        d->state = 1;
        d->widget->repaint();
    }
}

void QZRBaseRectImageDraw::leaveEventDraw(QEvent *)
{
    if (!d->widget)
        return;
    if (disabled()) {
        d->state = 3;
    } else if (d->state == 1) {
        d->state = 0;
        d->widget->repaint();
    }
}

void QZRBaseRectImageDraw::changeEventDraw(QEvent *event)
{
    if (!d->widget || event->type() != QEvent::EnabledChange)
        return;
    d->state = disabled() ? 3 : 0;
}

void QZRBaseRectImageDraw::resetBtnState()
{
    if (!d->widget)
        return;
    d->state = 0;
    d->widget->repaint();
}
