#ifndef QZRMENUSTYLE_H
#define QZRMENUSTYLE_H

#include <QColor>
#include <QImage>
#include <QProxyStyle>

class QStyleOptionMenuItem;

// The look of a menu: colours, sizes and check images.
class QZRMenuStyleAttribute
{
public:
    QZRMenuStyleAttribute();
    QZRMenuStyleAttribute(const QZRMenuStyleAttribute &other) = default;
    QZRMenuStyleAttribute &operator=(const QZRMenuStyleAttribute &other) = default;

    QImage m_backgroundImage;
    int m_frameWidth;
    QColor m_frameColor;
    QColor m_areaColor;
    QColor m_itemColor;
    QColor m_itemTextColor;
    QColor m_itemSelectColor;
    QColor m_itemTextSelectColor;
    QColor m_itemEabledColor;
    QColor m_itemTextEabledColor;
    QColor m_separatorColor;
    QImage m_radioImage;
    QImage m_uncheckedImage;
    QImage m_checkedImage;
    int m_smallIconSize;
    // Fixed item size when greater than 0.
    int m_itemWidth;
    int m_itemHeight;
};

// Paints menu items as flat coloured rows: highlight, check cell, icon column, text with its
// shortcut part, and a triangle for sub-menus. The rest goes to the wrapped style.
class QZRMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    explicit QZRMenuStyle(QStyle *style = nullptr);
    ~QZRMenuStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;

    void drawSeparator(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawCheckState(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawIcon(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawArrow(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawMenuText(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void _DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;

    static QColor mergedColors(const QColor &a, const QColor &b, int factor);

    QZRMenuStyleAttribute *attribute() const;

private:
    int iconColumnWidth(const QStyleOptionMenuItem *item, const QWidget *widget) const;

    QZRMenuStyleAttribute *m_attribute;
};

#endif
