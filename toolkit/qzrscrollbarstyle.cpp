#include "toolkit/qzrscrollbarstyle.h"

#include "toolkit/qbaseimagedraw.h"

#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionSlider>
#include <QWidget>

QZRScrollBarStyleAttribute::QZRScrollBarStyleAttribute()
    : m_grooveColor(240, 240, 240)
    , m_trackColor(149, 149, 153)
    , m_extent(11)
    , m_trackAlwaysShown(false)
    , m_endColor(240, 240, 240)
    , m_secondColor(111, 115, 123)
    , m_thirdColor(89, 90, 93)
    , m_fourthColor(124, 125, 128)
    , m_fifthColor(m_endColor)
    , m_flag(true)
    , m_handleColor(96, 96, 96)
    , m_handlePressedColor(96, 96, 96)
    , m_handleHoverColor(96, 96, 96)
    , m_handleMargin(0)
    , m_cornerRadius(-1)
{
}

QZRScrollBarStyle::QZRScrollBarStyle(QStyle *style)
    : QProxyStyle(style)
    , m_attribute(new QZRScrollBarStyleAttribute)
{
}

QZRScrollBarStyle::~QZRScrollBarStyle()
{
    delete m_attribute;
}

QZRScrollBarStyleAttribute *QZRScrollBarStyle::attribute() const
{
    return m_attribute;
}

void QZRScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                           QPainter *painter, const QWidget *widget) const
{
    if (control == CC_ScrollBar) {
        drawScrollbar(option, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int QZRScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (metric == PM_ScrollBarExtent)
        return m_attribute->m_extent;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

static void fillRounded(QPainter *painter, const QRect &rect, int radius, const QColor &color)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(color);
    painter->drawPath(QBaseImageDraw::GetRoundedRectanglePath(rect, radius));
}

// The handle rectangle narrowed across the bar's thickness.
static QRect insetAcross(QRect rect, bool horizontal, int margin)
{
    return horizontal ? rect.adjusted(0, margin, 0, -margin) : rect.adjusted(margin, 0, -margin, 0);
}

void QZRScrollBarStyle::drawScrollbar(const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionSlider *slider = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (!slider)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    State state = slider->state;
    if (widget && widget->testAttribute(Qt::WA_UnderMouse) && widget->isActiveWindow())
        state |= State_MouseOver;
    const bool empty = slider->minimum == slider->maximum;
    if (empty)
        state &= ~State_Enabled;
    const bool horizontal = state & State_Horizontal;
    const QZRScrollBarStyleAttribute &a = *m_attribute;
    int radius = a.m_cornerRadius;
    if (radius < 0)
        radius = horizontal ? slider->rect.height() / 2 : slider->rect.width() / 2;

    const QRect addLine = subControlRect(CC_ScrollBar, slider, SC_ScrollBarAddLine, widget);
    const QRect subLine = subControlRect(CC_ScrollBar, slider, SC_ScrollBarSubLine, widget);
    const QRect groove = subControlRect(CC_ScrollBar, slider, SC_ScrollBarGroove, widget);
    const QRect handle = subControlRect(CC_ScrollBar, slider, SC_ScrollBarSlider, widget);
    painter->fillRect(addLine, a.m_endColor);
    painter->fillRect(subLine, a.m_endColor);
    painter->fillRect(groove, a.m_grooveColor);

    if (!empty) {
        if (!(state & State_MouseOver) && !a.m_trackAlwaysShown) {
            const int thickness = horizontal ? handle.height() : handle.width();
            const int margin = 2 * a.m_handleMargin > thickness ? 0 : a.m_handleMargin;
            fillRounded(painter, insetAcross(handle, horizontal, margin), radius, a.m_handleColor);
        } else {
            fillRounded(painter, groove, radius, a.m_trackColor);
            if (slider->subControls & SC_ScrollBarSlider) {
                const bool active = (state & State_Enabled) && slider->activeSubControls == SC_ScrollBarSlider;
                QColor color = a.m_handleColor;
                if (active && (slider->state & State_Sunken))
                    color = a.m_handlePressedColor;
                else if (active && (slider->state & State_MouseOver))
                    color = a.m_handleHoverColor;
                fillRounded(painter, insetAcross(handle, horizontal, a.m_handleMargin), radius, color);
            }
        }
    }
    painter->restore();
}

QImage QZRScrollBarStyle::createImage(QSize size, arrowDirection direction, QColor color, bool outline) const
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    QPolygonF triangle;
    switch (direction) {
    case ArrowUp:
        triangle << QPointF(w / 2, 0) << QPointF(w, h) << QPointF(0, h);
        break;
    case ArrowDown:
        triangle << QPointF(0, 0) << QPointF(w, 0) << QPointF(w / 2, h);
        break;
    case ArrowLeft:
        triangle << QPointF(0, h / 2) << QPointF(w, 0) << QPointF(w, h);
        break;
    case ArrowRight:
        triangle << QPointF(0, 0) << QPointF(w, h / 2) << QPointF(0, h);
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(triangle);
    if (outline) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(color);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    }
    return image;
}
