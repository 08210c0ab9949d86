#include "toolkit/qzrcomboboxitem.h"

#include <QListWidget>
#include <QPainter>

QComboBoxItemAttribute::QComboBoxItemAttribute()
    : m_bgColor(255, 255, 255)
    , m_hoverColor(229, 243, 255)
    , m_selectedColor(205, 232, 255)
    , m_spacing(0)
    , m_spacingColor(Qt::black)
    , m_alignment(Qt::AlignLeft | Qt::AlignVCenter)
    , m_hoverColorMode(false)
    , m_widgetPos(-1, -1)
    , m_separatorColor(Qt::black)
{
}

QZRComboBoxItem::QZRComboBoxItem(QWidget *parent, QListWidgetItem *item)
    : QWidget(parent)
    , QZRBaseRectImageDraw(this)
    , m_item(item)
    , m_attribute(new QComboBoxItemAttribute)
{
    setDrawTextMargins(5, 0, 0, 0);
    setBtnMode(true);
}

QZRComboBoxItem::~QZRComboBoxItem()
{
    delete m_attribute;
}

void QZRComboBoxItem::setItemAttribute(const QComboBoxItemAttribute &attribute)
{
    *m_attribute = attribute;
    update();
}

QComboBoxItemAttribute *QZRComboBoxItem::itemAttribute() const
{
    return m_attribute;
}

QListWidgetItem *QZRComboBoxItem::listItem() const
{
    return m_item;
}

void QZRComboBoxItem::setItemWidget(QWidget *widget)
{
    m_widget = widget;
}

QWidget *QZRComboBoxItem::itemWidget() const
{
    return m_widget;
}

void QZRComboBoxItem::setSeparatorHeight(int height)
{
    m_separatorHeight = height;
    update();
}

int QZRComboBoxItem::separatorHeight() const
{
    return m_separatorHeight;
}

int QZRComboBoxItem::calcItemWidth(const QFont &font) const
{
    const QString text = m_item ? m_item->text() : QString();
    const QMargins margins = drawTextMargins();
    return QFontMetrics(font).horizontalAdvance(text) + margins.left() + margins.right() + 1;
}

int QZRComboBoxItem::index() const
{
    if (!m_item || !m_item->listWidget())
        return -1;
    return m_item->listWidget()->row(m_item);
}

void QZRComboBoxItem::mousePressEvent(QMouseEvent *event)
{
    mousePressEventDraw(event);
    QWidget::mousePressEvent(event);
}

void QZRComboBoxItem::mouseReleaseEvent(QMouseEvent *event)
{
    mouseReleaseEventDraw(event);
    QWidget::mouseReleaseEvent(event);
}

void QZRComboBoxItem::enterEvent(QEvent *event)
{
    enterEventDraw(event);
    QWidget::enterEvent(event);
    m_hovered = true;
    update();
}

void QZRComboBoxItem::leaveEvent(QEvent *event)
{
    leaveEventDraw(event);
    QWidget::leaveEvent(event);
    m_hovered = false;
    update();
}

void QZRComboBoxItem::changeEvent(QEvent *event)
{
    changeEventDraw(event);
    QWidget::changeEvent(event);
}

void QZRComboBoxItem::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_widget)
        return;
    const QPoint pos = m_attribute->m_widgetPos;
    m_widget->move(pos.x() < 0 ? 2 : pos.x(), pos.y() < 0 ? (height() - m_widget->height()) / 2 : pos.y());
}

void QZRComboBoxItem::paintEvent(QPaintEvent *)
{
    const int W = width(), H = height();
    QListWidget *list = m_item ? m_item->listWidget() : nullptr;
    QPainter painter(this);
    painter.save();

    painter.setPen(Qt::NoPen);
    setCheckState(false);
    QColor fill = m_attribute->m_bgColor;
    if (m_attribute->m_hoverColorMode) {
        if (list && list->currentItem() == m_item) {
            fill = m_attribute->m_selectedColor;
            setCheckState(true);
        } else if (m_hovered) {
            fill = m_attribute->m_hoverColor;
        }
    } else if (m_hovered) {
        fill = m_attribute->m_selectedColor;
    }
    painter.fillRect(rect(), fill);

    const int s = m_attribute->m_spacing;
    if (s > 0 && list) {
        const int row = list->row(m_item);
        if (row > 0 && s >= 2)
            painter.fillRect(0, 0, W, s / 2, m_attribute->m_spacingColor);
        if (row < list->count() - 1)
            painter.fillRect(0, H - (s + 1) / 2 - m_separatorHeight, W, (s + 1) / 2, m_attribute->m_spacingColor);
    }
    painter.restore();

    if (m_item) {
        setDrawText(m_item->text());
        drawIcon(painter);
        if (alignment() != m_attribute->m_alignment)
            setAlignment(m_attribute->m_alignment);
        drawRectText(painter);
    }
    if (m_separatorHeight > 0)
        painter.fillRect(QRect(QPoint(1, H - m_separatorHeight), QPoint(W - 2, H - 1)), m_attribute->m_separatorColor);
}
