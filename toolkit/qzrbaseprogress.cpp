#include "toolkit/qzrbaseprogress.h"

#include "toolkit/qbaseimagedraw.h"
#include "toolkit/skinimage.h"

#include <QConicalGradient>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <cmath>

class QZRBaseProgressPrivate
{
public:
    QImage *bottom = nullptr;
    QImage *top = nullptr;
    int bottomWidth = 0;
    int bottomHeight = 0;
    QZRBaseProgress::ProgressPolicy policy = QZRBaseProgress::Horizontal;
    double minimum = 0;
    double maximum = 100;
    double value = 0;
    bool circle = true;
    int circleLength = -1;
    int tlOffset = 0;
    int rbOffset = 0;
    double nullPosition = 90;
    QZRBaseProgress::BarStyle barStyle = QZRBaseProgress::Donut;
    double outlinePenWidth = 1.0;
    double dataPenWidth = 1.0;
    QVector<QPair<double, QColor> > dataColors;
    bool rebuildBrush = false;
    QString format = "%p%";
    int decimals = 1;
    int textAlignment = Qt::AlignCenter;
    float textOffsetX = 0;
    float textOffsetY = 0;
    int formatFlags = 2;
    int updateInterval = 0;
    bool repaintPending = false;
    QElapsedTimer lastRepaint;
    QTimer *updateTimer = nullptr;

    ~QZRBaseProgressPrivate()
    {
        delete bottom;
        delete top;
    }
};

QZRBaseProgress::QZRBaseProgress(QWidget *parent)
    : QWidget(parent)
    , d(new QZRBaseProgressPrivate)
{
    d->lastRepaint.start();
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(6, 176, 37));
    p.setColor(QPalette::Base, QColor(6, 176, 37, 0));
    p.setColor(QPalette::AlternateBase, QColor(255, 0, 0, 0));
    setPalette(p);
    setAttribute(Qt::WA_TranslucentBackground);
}

QZRBaseProgress::~QZRBaseProgress()
{
    delete d;
}

void QZRBaseProgress::setProgressPolicy(ProgressPolicy policy)
{
    d->policy = policy;
    update();
}

QZRBaseProgress::ProgressPolicy QZRBaseProgress::progressPolicy() const
{
    return d->policy;
}

void QZRBaseProgress::setBarStyle(BarStyle style)
{
    if (d->barStyle == style)
        return;
    d->barStyle = style;
    update();
}

QZRBaseProgress::BarStyle QZRBaseProgress::barStyle() const
{
    return d->barStyle;
}

bool QZRBaseProgress::setBottomImage(QString path)
{
    delete d->bottom;
    d->bottom = newSkinImage(path);
    if (!d->bottom)
        return false;
    d->bottomWidth = d->bottom->width() / 2;
    d->bottomHeight = d->bottom->height() / 2;
    update();
    return true;
}

bool QZRBaseProgress::setTopImage(QString path)
{
    delete d->top;
    d->top = newSkinImage(path);
    if (!d->top)
        return false;
    update();
    return true;
}

double QZRBaseProgress::value() const
{
    return d->value;
}

double QZRBaseProgress::minimum() const
{
    return d->minimum;
}

double QZRBaseProgress::maximum() const
{
    return d->maximum;
}

double QZRBaseProgress::fraction(double value) const
{
    const double span = d->maximum - d->minimum;
    if (!(span > 0))
        return 0;
    return qBound(0.0, (value - d->minimum) / span, 1.0);
}

void QZRBaseProgress::setRange(double min, double max)
{
    if (min > max)
        std::swap(min, max);
    d->minimum = min;
    d->maximum = max;
    d->value = qBound(min, d->value, max);
    if (!d->dataColors.isEmpty())
        d->rebuildBrush = true;
    update();
}

void QZRBaseProgress::setMinimum(double min)
{
    setRange(min, d->maximum);
}

void QZRBaseProgress::setMaximum(double max)
{
    setRange(d->minimum, max);
}

void QZRBaseProgress::setValue(double val)
{
    if (val == d->value)
        return;
    d->value = qBound(d->minimum, val, d->maximum);
    emit valueChanged(d->value);
    if (d->updateInterval <= 0) {
        update();
    } else if (d->lastRepaint.elapsed() >= d->updateInterval) {
        repaintNow();
    } else {
        d->repaintPending = true;
    }
}

void QZRBaseProgress::setValue(int val)
{
    setValue(double(val));
}

void QZRBaseProgress::repaintNow()
{
    d->lastRepaint.restart();
    d->repaintPending = false;
    update();
}

void QZRBaseProgress::UpdateTime()
{
    if (d->repaintPending && d->lastRepaint.elapsed() >= 2 * d->updateInterval)
        repaintNow();
}

void QZRBaseProgress::setUpdateInterval(int ms)
{
    d->updateInterval = ms;
    d->repaintPending = false;
    delete d->updateTimer;
    d->updateTimer = nullptr;
    if (ms > 0) {
        d->updateTimer = new QTimer(this);
        connect(d->updateTimer, &QTimer::timeout, this, &QZRBaseProgress::UpdateTime);
        d->updateTimer->start(ms);
    }
}

void QZRBaseProgress::setFormat(const QString &format)
{
    if (format == d->format)
        return;
    d->format = format;
    valueFormatChanged();
}

void QZRBaseProgress::resetFormat()
{
    d->format = QString();
    valueFormatChanged();
}

QString QZRBaseProgress::format() const
{
    return d->format;
}

QString QZRBaseProgress::getFormatValue() const
{
    return valueToText(d->value);
}

void QZRBaseProgress::setDecimals(int decimals)
{
    if (decimals < 0 || decimals == d->decimals)
        return;
    d->decimals = decimals;
    valueFormatChanged();
}

int QZRBaseProgress::decimals() const
{
    return d->decimals;
}

void QZRBaseProgress::valueFormatChanged()
{
    d->formatFlags = 0;
    if (d->format.contains("%v"))
        d->formatFlags |= 1;
    if (d->format.contains("%p"))
        d->formatFlags |= 2;
    if (d->format.contains("%m"))
        d->formatFlags |= 4;
    update();
}

QString QZRBaseProgress::valueToText(double value) const
{
    QString text = d->format;
    if (d->formatFlags & 1)
        text.replace("%v", QString::number(value, 'f', d->decimals));
    if (d->formatFlags & 2)
        text.replace("%p", QString::number(fraction(value) * 100, 'f', d->decimals));
    if (d->formatFlags & 4)
        text.replace("%m", QString::number(d->maximum - d->minimum + 1, 'f', d->decimals));
    return text;
}

void QZRBaseProgress::setTextAlignment(int alignment)
{
    if (alignment == d->textAlignment)
        return;
    d->textAlignment = alignment;
    update();
}

void QZRBaseProgress::setTextOffset(float x, float y)
{
    d->textOffsetX = x;
    d->textOffsetY = y;
    update();
}

void QZRBaseProgress::setCircle(bool on)
{
    d->circle = on;
}

void QZRBaseProgress::setCircleLenght(int length)
{
    d->circleLength = length;
}

void QZRBaseProgress::setOffset(int tl, int rb)
{
    const int extent = d->policy == Horizontal ? width() : height();
    if (tl + rb >= extent)
        tl = rb = 0;
    d->tlOffset = tl;
    d->rbOffset = rb;
    update();
}

int QZRBaseProgress::getTLOffset() const
{
    return d->tlOffset;
}

int QZRBaseProgress::getRBOffset() const
{
    return d->rbOffset;
}

void QZRBaseProgress::setOutlinePenWidth(double width)
{
    if (width == d->outlinePenWidth)
        return;
    d->outlinePenWidth = width;
    update();
}

double QZRBaseProgress::outlinePenWidth() const
{
    return d->outlinePenWidth;
}

void QZRBaseProgress::setDataPenWidth(double width)
{
    if (width == d->dataPenWidth)
        return;
    d->dataPenWidth = width;
    update();
}

double QZRBaseProgress::dataPenWidth() const
{
    return d->dataPenWidth;
}

void QZRBaseProgress::setNullPosition(double position)
{
    if (position == d->nullPosition)
        return;
    d->nullPosition = position;
    if (!d->dataColors.isEmpty())
        d->rebuildBrush = true;
    update();
}

double QZRBaseProgress::nullPosition() const
{
    return d->nullPosition;
}

void QZRBaseProgress::setDataColors(const QVector<QPair<double, QColor> > &stops)
{
    if (stops == d->dataColors)
        return;
    d->dataColors = stops;
    d->rebuildBrush = true;
    update();
}

void QZRBaseProgress::rebuildBrush()
{
    d->rebuildBrush = false;
    QGradientStops stops;
    for (const auto &stop : d->dataColors)
        stops << QGradientStop(1 - stop.first, stop.second);
    QGradient gradient;
    if (d->policy == Horizontal)
        gradient = QLinearGradient(0, 0.5, 1, 0.5);
    else if (d->policy == Ring)
        gradient = QConicalGradient(0.5, 0.5, d->nullPosition);
    else
        gradient = QLinearGradient(0.5, 1, 0.5, 0);
    gradient.setStops(stops);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    QPalette p = palette();
    p.setBrush(QPalette::Highlight, QBrush(gradient));
    setPalette(p);
}

int QZRBaseProgress::getDefaultCircle()
{
    if (!d->circle)
        return 0;
    int t;
    if (d->bottom)
        t = d->policy == Horizontal ? d->bottom->height() : d->bottom->width();
    else
        t = d->policy == Horizontal ? height() : width();
    const int half = t / 2;
    if (d->circleLength > half)
        d->circleLength = half;
    return d->circleLength != -1 ? d->circleLength : half;
}

QRect QZRBaseProgress::getBgRect() const
{
    if (d->policy == Horizontal) {
        const int h = d->bottom ? d->bottom->height() / 2 : height();
        return QRect(QPoint(d->tlOffset, (height() - h) / 2), QPoint(width() - d->rbOffset - 1, (height() - h) / 2 + h - 1));
    }
    if (d->policy == Vertical) {
        const int w = d->bottom ? d->bottom->width() / 2 : width();
        return QRect(QPoint((width() - w) / 2, d->tlOffset), QPoint((width() - w) / 2 + w - 1, height() - d->rbOffset - 1));
    }
    return rect();
}

void QZRBaseProgress::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing);
    if (d->rebuildBrush)
        rebuildBrush();
    DrawBackground(painter);
    DrawProgress(painter);
    DrawProgressText(painter);
}

void QZRBaseProgress::DrawBackground(QPainter &painter)
{
    if (d->policy == Ring) {
        const int side = qMin(width(), height());
        drawBase(painter, QRectF(1, 1, side - 2, side - 2));
        return;
    }
    const int c = getDefaultCircle();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Window));
    if (d->bottom)
        DrawBottomImage(painter, c);
    else
        painter.drawPath(QBaseImageDraw::GetRoundedRectanglePath(getBgRect(), c));
}

void QZRBaseProgress::DrawBottomImage(QPainter &painter, int c)
{
    if (!d->bottom)
        return;
    if (d->policy == Horizontal && d->bottom->height() > height())
        resize(width(), d->bottom->height());
    else if (d->policy != Horizontal && d->bottom->width() > width())
        resize(d->bottom->width(), height());
    DrawCircleImage(painter, *d->bottom, getBgRect(), false, c);
}

// A bar image in three pieces: two caps of length c kept whole and a stretched middle.
void QZRBaseProgress::DrawCircleImage(QPainter &painter, QImage &image, const QRect &target, bool isFill, int c)
{
    const bool horizontal = d->policy == Horizontal;
    const int iw = image.width() / 2;
    const int ih = image.height() / 2;
    if (horizontal) {
        const int x1 = target.left(), y1 = target.top(), x2 = target.right(), h = d->bottomHeight;
        if (c > 0 && d->circle) {
            QBaseImageDraw::drawImage(painter, QRect(x1, y1, c, h), QRect(0, 0, c, h), image);
            QBaseImageDraw::drawImage(painter, QRect(x2 + 1 - c, y1, c, h), QRect(iw - c, 0, c, h), image);
        }
        const QRect middle(QPoint(x1 + c, y1), QPoint(x2 - c, y1 + h - 1));
        const QRect source = c > 0 || !isFill ? QRect(QPoint(c, 0), QPoint(iw - c - 1, h - 1))
                                              : QRect(0, 0, int(iw * fraction(d->value)), h);
        QBaseImageDraw::drawImage(painter, middle, source, image);
        return;
    }
    const int y1 = target.top(), x1 = target.left(), y2 = target.bottom(), w = d->bottomWidth;
    if (c > 0 && d->circle) {
        QBaseImageDraw::drawImage(painter, QRect(x1, y1, w, c), QRect(0, 0, w, c), image);
        QBaseImageDraw::drawImage(painter, QRect(x1, y2 + 1 - c, w, c), QRect(0, ih - c, w, c), image);
    }
    const QRect middle(QPoint(x1, y1 + c), QPoint(x1 + w - 1, y2 - c));
    const QRect source = c > 0 || !isFill ? QRect(QPoint(0, c), QPoint(w - 1, ih - c - 1))
                                          : QRect(0, 0, w, int(ih * fraction(d->value)));
    QBaseImageDraw::drawImage(painter, middle, source, image);
}

void QZRBaseProgress::DrawProgress(QPainter &painter)
{
    if (d->policy == Ring) {
        const int side = qMin(width(), height());
        QImage ring(2 * side, 2 * side, QImage::Format_ARGB32);
        ring.fill(Qt::transparent);
        {
            QPainter p(&ring);
            p.setRenderHint(QPainter::Antialiasing);
            const QRectF base(2, 2, 2 * side - 4, 2 * side - 4);
            drawRoundValue(p, base, d->value, 360 * fraction(d->value));
            QRectF inner;
            double innerRadius = 0;
            calculateInnerRect(base, 2 * side, inner, innerRadius);
            drawInnerBackground(p, inner);
        }
        ring.setDevicePixelRatio(2.0);
        painter.drawImage(QRectF(0, 0, side, side), ring);
        return;
    }
    const int c = getDefaultCircle();
    if (d->top) {
        DrawTopImage(painter, *d->top, c);
        return;
    }
    const QRect bg = getBgRect();
    d->bottomWidth = bg.width();
    d->bottomHeight = bg.height();
    QImage fill(bg.size() * 2, QImage::Format_ARGB32);
    fill.fill(Qt::transparent);
    {
        QPainter p(&fill);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().brush(QPalette::Highlight));
        p.drawPath(QBaseImageDraw::GetRoundedRectanglePath(QRectF(QPointF(0, 0), QSizeF(bg.size() * 2)), 2 * c));
    }
    fill.setDevicePixelRatio(2.0);
    DrawTopImage(painter, fill, c);
}

void QZRBaseProgress::DrawTopImage(QPainter &painter, QImage &image, int c)
{
    if (d->policy != Horizontal && d->policy != Vertical)
        return;
    const bool horizontal = d->policy == Horizontal;
    const int length = (horizontal ? width() : height()) - d->tlOffset - d->rbOffset;
    const double f = fraction(d->value) * length + 0.5;
    const QRect bg = getBgRect();
    if (2 * c < f) {
        QRect target = bg;
        if (horizontal)
            target.setRight(bg.left() + int(f) - 1);
        else
            target = QRect(bg.left(), int(height() - d->rbOffset - f + 1), bg.width(), int(f));
        DrawCircleImage(painter, image, target, true, c);
        return;
    }
    if (!d->circle || c <= 0)
        return;
    // Too short for two whole caps: half of the filled length from each cap.
    if (horizontal) {
        const int iw = image.width() / 2, h = d->bottomHeight;
        const double g = f / 2;
        const int n = int(g);
        if (n <= 0)
            return;
        QBaseImageDraw::drawImage(painter, QRect(bg.left(), bg.top(), n, h), QRect(0, 0, n, h), image);
        QBaseImageDraw::drawImage(painter, QRect(int(bg.left() + g), bg.top(), n, h), QRect(int(iw - g + 1), 0, n, h), image);
        return;
    }
    const int ih = image.height() / 2, w = d->bottomWidth;
    const double g = (f + 0.5) / 2;
    const int n = int(g);
    if (n <= 0)
        return;
    const int bottom = height() - d->rbOffset;
    QBaseImageDraw::drawImage(painter, QRect(bg.left(), int(bottom - 2 * g), w, n), QRect(0, 0, w, n), image);
    QBaseImageDraw::drawImage(painter, QRect(bg.left(), int(bottom - g), w, n), QRect(0, int(ih - g + 1), w, n), image);
}

void QZRBaseProgress::DrawProgressText(QPainter &painter)
{
    if (d->format.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const double x = width() * d->textOffsetX;
    const double y = height() * d->textOffsetY;
    const QRectF rect(x, y, int(width() - x), int(height() - y));
    painter.drawText(rect, d->textAlignment, valueToText(d->value));
}

static QPen ringPen(const QColor &color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void QZRBaseProgress::drawBase(QPainter &painter, const QRectF &rect)
{
    const QPalette &p = palette();
    switch (d->barStyle) {
    case Donut:
        painter.setPen(ringPen(p.color(QPalette::Shadow), d->outlinePenWidth));
        painter.setBrush(p.base());
        painter.drawEllipse(rect);
        break;
    case Pie:
        painter.setPen(ringPen(p.color(QPalette::Base), d->outlinePenWidth));
        painter.setBrush(p.base());
        painter.drawEllipse(rect);
        break;
    case Line: {
        const double half = d->outlinePenWidth / 2;
        painter.setPen(ringPen(p.color(QPalette::Base), d->outlinePenWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(rect.adjusted(half, half, -half, -half));
        break;
    }
    }
}

void QZRBaseProgress::drawRoundValue(QPainter &painter, const QRectF &rect, double value, double arc)
{
    if (value == d->minimum)
        return;
    const QPalette &p = palette();
    if (d->barStyle == Line) {
        const double w = d->outlinePenWidth;
        painter.setPen(ringPen(p.color(QPalette::Highlight), 2 * d->dataPenWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(rect.adjusted(w, w, -w, -w), int(d->nullPosition * 16), int(-arc * 16));
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(rect.center());
    path.arcTo(rect, d->nullPosition, -arc);
    path.lineTo(rect.center());
    painter.setBrush(p.highlight());
    painter.setPen(ringPen(p.color(QPalette::Shadow), d->dataPenWidth));
    painter.drawPath(path);
}

void QZRBaseProgress::calculateInnerRect(const QRectF &, double outerRadius, QRectF &innerRect, double &innerRadius)
{
    innerRadius = d->barStyle == Line ? outerRadius - d->outlinePenWidth : outerRadius * 0.75;
    const double delta = (outerRadius - innerRadius) / 2;
    innerRect = QRectF(delta, delta, innerRadius, innerRadius);
}

void QZRBaseProgress::drawInnerBackground(QPainter &painter, const QRectF &innerRect)
{
    if (d->barStyle != Donut)
        return;
    const QPalette &p = palette();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.drawEllipse(innerRect);
    painter.setCompositionMode(mode);
    painter.setPen(ringPen(p.color(QPalette::Shadow), d->dataPenWidth));
    painter.setBrush(p.alternateBase());
    painter.drawEllipse(innerRect);
}
