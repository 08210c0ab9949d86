#ifndef QZRSCROLLBARSTYLE_H
#define QZRSCROLLBARSTYLE_H

#include <QColor>
#include <QImage>
#include <QProxyStyle>

// The look of a flat scroll bar.
class QZRScrollBarStyleAttribute
{
public:
    QZRScrollBarStyleAttribute();
    QZRScrollBarStyleAttribute(const QZRScrollBarStyleAttribute &other) = default;
    QZRScrollBarStyleAttribute &operator=(const QZRScrollBarStyleAttribute &other) = default;

    QColor m_grooveColor;
    QColor m_trackColor;
    QImage m_image;
    int m_extent;
    bool m_trackAlwaysShown;
    QColor m_endColor;
    QColor m_secondColor;
    QColor m_thirdColor;
    QColor m_fourthColor;
    QColor m_fifthColor;
    bool m_flag;
    QColor m_handleColor;
    QColor m_handlePressedColor;
    QColor m_handleHoverColor;
    int m_handleMargin;
    // Negative: half the bar's thickness.
    int m_cornerRadius;
};

// Paints scroll bars as flat colour areas with a rounded handle: thin while the pointer is away,
// over a full-width track while it hovers (or always, when the attribute says so).
class QZRScrollBarStyle : public QProxyStyle
{
    Q_OBJECT

public:
    enum arrowDirection { ArrowUp, ArrowDown, ArrowLeft, ArrowRight };

    explicit QZRScrollBarStyle(QStyle *style = nullptr);
    ~QZRScrollBarStyle() override;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

    void drawScrollbar(const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const;
    QImage createImage(QSize size, arrowDirection direction, QColor color, bool outline) const;

    QZRScrollBarStyleAttribute *attribute() const;

private:
    QZRScrollBarStyleAttribute *m_attribute;
};

#endif
