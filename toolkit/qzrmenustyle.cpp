#include "toolkit/qzrmenustyle.h"

#include "toolkit/qbaseimagedraw.h"

#include <QComboBox>
#include <QFontInfo>
#include <QPainter>
#include <QStyleOptionMenuItem>

QZRMenuStyleAttribute::QZRMenuStyleAttribute()
    : m_frameWidth(3)
    , m_frameColor(225, 225, 225)
    , m_areaColor(225, 225, 225)
    , m_itemColor(225, 225, 225)
    , m_itemTextColor(0, 0, 0)
    , m_itemSelectColor(144, 200, 246)
    , m_itemTextSelectColor(255, 255, 255)
    , m_itemEabledColor(225, 225, 225)
    , m_itemTextEabledColor(109, 109, 109)
    , m_separatorColor(0, 223, 223)
    , m_smallIconSize(15)
    , m_itemWidth(-1)
    , m_itemHeight(-1)
{
}

QZRMenuStyle::QZRMenuStyle(QStyle *style)
    : QProxyStyle(style)
    , m_attribute(new QZRMenuStyleAttribute)
{
}

QZRMenuStyle::~QZRMenuStyle()
{
    delete m_attribute;
}

QZRMenuStyleAttribute *QZRMenuStyle::attribute() const
{
    return m_attribute;
}

QColor QZRMenuStyle::mergedColors(const QColor &a, const QColor &b, int factor)
{
    QColor merged = a;
    merged.setRed(a.red() * factor / 100 + b.red() * (100 - factor) / 100);
    merged.setGreen(a.green() * factor / 100 + b.green() * (100 - factor) / 100);
    merged.setBlue(a.blue() * factor / 100 + b.blue() * (100 - factor) / 100);
    return merged;
}

void QZRMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    if (element != PE_FrameMenu) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    if (m_attribute->m_backgroundImage.isNull())
        painter->fillRect(option->rect, m_attribute->m_frameColor);
    else
        QBaseImageDraw::drawBtnImageBg(*painter, option->rect, m_attribute->m_backgroundImage, true);
    painter->restore();
}

void QZRMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element == CE_MenuItem) {
        _DrawMenuItem(option, painter, widget);
    } else if (element == CE_MenuEmptyArea) {
        painter->save();
        painter->fillRect(option->rect, m_attribute->m_areaColor);
        painter->restore();
    } else {
        QProxyStyle::drawControl(element, option, painter, widget);
    }
}

int QZRMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    case PM_MenuPanelWidth:
        return m_attribute->m_frameWidth;
    case PM_SmallIconSize:
        return m_attribute->m_smallIconSize;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize QZRMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                     const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuItem || !item || (m_attribute->m_itemWidth <= 0 && m_attribute->m_itemHeight <= 0))
        return QProxyStyle::sizeFromContents(type, option, size, widget);

    int w = 10;
    int h = 2;
    if (item->menuItemType != QStyleOptionMenuItem::Separator) {
        w = size.width();
        h = item->fontMetrics.height() + 8;
        if (!item->icon.isNull()) {
            const int side = proxy()->pixelMetric(PM_SmallIconSize);
            h = qMax(h, item->icon.actualSize(QSize(side, side)).height() + 4);
        }
    }
    if (item->text.contains(QLatin1Char('\t')))
        w += 32;
    const int m = item->maxIconWidth;
    const bool c = item->menuHasCheckableItems;
    const int extra = (m > 0 ? m + 6 : 0) + (c && m < 20 ? 20 - m : 0);
    int width = w + extra + 52;
    if (m > 0 || c)
        width += 2;
    if (m_attribute->m_itemWidth > 0)
        width = m_attribute->m_itemWidth;
    const int height = m_attribute->m_itemHeight > 0 ? m_attribute->m_itemHeight : h;
    return QSize(width, height);
}

void QZRMenuStyle::_DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_attribute->m_itemColor);
    painter->drawRect(item->rect);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        drawSeparator(option, painter, widget);
        painter->restore();
        return;
    }
    const bool enabled = item->state & State_Enabled;
    if (enabled && (item->state & State_Selected))
        painter->fillRect(item->rect, m_attribute->m_itemSelectColor);
    if (!qobject_cast<const QComboBox *>(widget))
        drawCheckState(option, painter, widget);
    if (!enabled) {
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->fillRect(item->rect, m_attribute->m_itemEabledColor);
        painter->restore();
    }
    drawIcon(option, painter, widget);
    drawMenuText(option, painter, widget);
    drawArrow(option, painter, widget);
    painter->restore();
}

void QZRMenuStyle::drawSeparator(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    Q_UNUSED(widget);
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return;
    const QRect r = item->rect;
    int tw = 0;
    if (!item->text.isEmpty()) {
        painter->setFont(item->font);
        const QRect textRect = visualRect(item->direction, r, r.adjusted(5, 0, -5, 0));
        proxy()->drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter, item->palette,
                              item->state & State_Enabled, item->text, QPalette::Text);
        tw = QFontMetrics(item->font).horizontalAdvance(item->text) + 5;
    }
    const int mid = (r.top() + r.bottom()) / 2;
    int x1 = r.left() + 5;
    int x2 = r.right() - 5;
    if (item->direction == Qt::RightToLeft)
        x2 -= tw;
    else
        x1 += tw;
    painter->setPen(m_attribute->m_separatorColor);
    painter->drawLine(x1, mid, x2, mid);
}

// The image centred in the check cell, never larger than the cell.
static void placeImage(QPainter *painter, const QRect &cell, QImage &image)
{
    const int w = qMin(image.width() / 2, 14);
    const int h = qMin(image.height() / 2, 14);
    const QRect target(cell.left() + (14 - w) / 2, cell.top() + (14 - h) / 2, w, h);
    QBaseImageDraw::drawImage(*painter, target, QRect(0, 0, image.width() / 2, image.height() / 2), image);
}

void QZRMenuStyle::drawCheckState(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item || item->checkType == QStyleOptionMenuItem::NotCheckable)
        return;
    const QRect r = item->rect;
    const int mid = (r.top() + r.bottom()) / 2;
    const QRect cell = visualRect(item->direction, r, QRect(QPoint(r.left() + 7, mid - 6), QPoint(r.left() + 20, mid + 7)));
    const bool enabled = item->state & State_Enabled;
    const bool selected = item->state & State_Selected;

    if (item->checkType == QStyleOptionMenuItem::Exclusive) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (item->checked) {
            painter->setPen(Qt::NoPen);
            if (m_attribute->m_radioImage.isNull()) {
                painter->setBrush(enabled && selected ? m_attribute->m_itemTextSelectColor : m_attribute->m_itemTextColor);
                painter->drawEllipse(cell.adjusted(4, 4, -4, -4));
            } else {
                placeImage(painter, cell, m_attribute->m_radioImage);
            }
        }
        painter->restore();
        return;
    }
    if (!item->icon.isNull())
        return;
    QStyleOptionButton box;
    box.QStyleOption::operator=(*option);
    box.rect = cell;
    QImage &image = item->checked ? m_attribute->m_checkedImage : m_attribute->m_uncheckedImage;
    if (!image.isNull()) {
        placeImage(painter, cell, image);
        return;
    }
    if (item->checked)
        box.state |= State_On;
    else
        box.state &= ~State_On;
    proxy()->drawPrimitive(PE_IndicatorCheckBox, &box, painter, widget);
}

int QZRMenuStyle::iconColumnWidth(const QStyleOptionMenuItem *item, const QWidget *widget) const
{
    if (qobject_cast<const QComboBox *>(widget))
        return item->icon.isNull() ? 0 : item->maxIconWidth;
    return qMax(item->maxIconWidth, 20);
}

void QZRMenuStyle::drawIcon(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return;
    const QRect r = item->rect;
    const QRect cell = visualRect(item->direction, r, QRect(r.left() + 4, r.top(), iconColumnWidth(item, widget), r.height()));
    if (item->icon.isNull())
        return;
    QIcon::Mode mode = QIcon::Normal;
    if (!(item->state & State_Enabled))
        mode = QIcon::Disabled;
    else if (item->state & State_Selected)
        mode = QIcon::Active;
    int side = proxy()->pixelMetric(PM_SmallIconSize, option, widget);
    QSize iconSize(side, side);
    if (const QComboBox *combo = qobject_cast<const QComboBox *>(widget))
        iconSize = combo->iconSize();
    const QPixmap pixmap = item->icon.pixmap(iconSize, mode, item->checked ? QIcon::On : QIcon::Off);
    painter->setPen(m_attribute->m_itemTextColor);
    if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        QStyleOptionMenuItem panel = *item;
        panel.state |= State_Sunken;
        panel.rect = cell;
        if (item->state & State_Selected)
            panel.palette.setBrush(QPalette::Button, mergedColors(m_attribute->m_itemColor, m_attribute->m_itemSelectColor, 50));
        proxy()->drawPrimitive(PE_PanelButtonCommand, &panel, painter, widget);
    }
    QRect target(QPoint(), pixmap.size());
    target.moveCenter(cell.center());
    painter->drawPixmap(target.topLeft(), pixmap);
}

void QZRMenuStyle::drawMenuText(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return;
    const QRect r = item->rect;
    const int cc = iconColumnWidth(item, widget);
    const bool enabled = item->state & State_Enabled;
    const bool selected = item->state & State_Selected;
    const QColor textColor = enabled && selected ? m_attribute->m_itemTextSelectColor : m_attribute->m_itemTextColor;
    const QColor penColor = enabled ? textColor : m_attribute->m_itemTextEabledColor;
    painter->setPen(penColor);
    const QRect textRect(QPoint(r.left() + cc + 7, r.top() + 8), QPoint(r.right() - 14 - item->tabWidth, r.bottom() - 8));
    QString text = item->text;
    if (text.isEmpty())
        return;

    painter->save();
    const int t = text.indexOf(QLatin1Char('\t'));
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget))
        flags |= Qt::TextHideMnemonic;
    const bool etch = !enabled && !selected && proxy()->styleHint(SH_EtchDisabledText, option, widget);
    if (t >= 0) {
        const QRect shortcutRect = visualRect(item->direction, r, QRect(textRect.topRight(), QPoint(r.right(), textRect.bottom())));
        const QString shortcut = text.mid(t + 1);
        if (etch) {
            painter->setPen(m_attribute->m_itemTextColor);
            painter->drawText(shortcutRect.adjusted(1, 1, 1, 1), flags, shortcut);
            painter->setPen(penColor);
        }
        painter->drawText(shortcutRect, flags, shortcut);
        text = text.left(t);
    }
    QFont font = item->font;
    font.setPointSize(QFontInfo(font).pointSize());
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setWeight(QFont::Bold);
    painter->setFont(font);
    const QRect visualText = visualRect(item->direction, r, textRect);
    if (etch) {
        painter->setPen(item->palette.light().color());
        painter->drawText(visualText.adjusted(1, 1, 1, 1), flags, text);
        painter->setPen(penColor);
    }
    painter->drawText(visualText, flags, text);
    painter->restore();
}

void QZRMenuStyle::drawArrow(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    Q_UNUSED(widget);
    const QStyleOptionMenuItem *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item || item->menuItemType != QStyleOptionMenuItem::SubMenu)
        return;
    const QRect r = item->rect;
    const int h = r.height();
    const int dim = (h - 4) / 2;
    const QRect square = visualRect(item->direction, r, QRect(r.right() - 2 - dim, r.top() + h / 2 - (h - 4) / 4, dim, dim));
    const bool highlighted = (item->state & State_Enabled) && (item->state & State_Selected);
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(highlighted ? m_attribute->m_itemTextSelectColor : m_attribute->m_itemTextColor);
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal l = square.left(), t = square.top(), rr = square.right(), b = square.bottom();
    const qreal middle = t + (b + 1 - t) * 0.5;
    QPolygonF triangle;
    if (item->direction == Qt::RightToLeft)
        triangle << QPointF(rr + 1, t) << QPointF(l, middle) << QPointF(rr + 1, b + 1);
    else
        triangle << QPointF(l, t) << QPointF(rr + 1, middle) << QPointF(l, b + 1);
    painter->drawPolygon(triangle, Qt::OddEvenFill);
    painter->restore();
}
