#include "toolkit/qzrscrollbar.h"

QZRScrollBar::QZRScrollBar(QWidget *parent)
    : QScrollBar(parent)
{
    InitScrollBar();
}

QZRScrollBar::QZRScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(parent)
{
    InitScrollBar();
    setOrientation(orientation);
}

QZRScrollBar::~QZRScrollBar()
{
    // The widget must stop using the style before it goes.
    setStyle(nullptr);
    delete m_style;
}

void QZRScrollBar::InitScrollBar()
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    QZRScrollBarStyle *old = m_style;
    m_style = new QZRScrollBarStyle;
    setStyle(m_style);
    delete old;
}

void QZRScrollBar::setOrientation(Qt::Orientation orientation)
{
    QAbstractSlider::setOrientation(orientation);
    applyThickness();
}

// Thinner than the extent the style reports, so the bar sits inside its area.
void QZRScrollBar::applyThickness()
{
    if (orientation() == Qt::Horizontal) {
        setMinimumHeight(10);
        setMaximumHeight(10);
    } else {
        setMinimumWidth(10);
        setMaximumWidth(10);
    }
}

void QZRScrollBar::setStyleAttribute(QZRScrollBarStyleAttribute attribute)
{
    *m_style->attribute() = attribute;
    update();
}

QZRScrollBarStyleAttribute QZRScrollBar::styleAttribute() const
{
    return *m_style->attribute();
}
