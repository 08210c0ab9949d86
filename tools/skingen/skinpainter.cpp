#include "skinpainter.h"

#include <QPainter>

namespace SkinPainter {

QImage draw(QSize logical, const std::function<void(QPainter &)> &paint)
{
    QImage image(logical * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    paint(painter);
    return image;
}

QImage strip(QSize frame, const std::function<void(QPainter &, int)> &paint)
{
    return draw(QSize(frame.width() * 4, frame.height()), [&](QPainter &p) {
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(i * frame.width(), 0);
            p.setClipRect(0, 0, frame.width(), frame.height());
            paint(p, i);
            p.restore();
        }
    });
}

static void roundedBox(QPainter &p, QRectF rect, const QColor &fill, qreal radius, const QColor &border)
{
    if (border.isValid()) {
        p.setPen(QPen(border, 1));
        rect.adjust(0.5, 0.5, -0.5, -0.5);
    } else {
        p.setPen(Qt::NoPen);
    }
    p.setBrush(fill);
    p.drawRoundedRect(rect, radius, radius);
}

QImage buttonStrip(QSize frame, const std::array<QColor, 4> &fills, qreal radius, const QColor &border)
{
    return strip(frame, [&](QPainter &p, int i) {
        roundedBox(p, QRectF(0, 0, frame.width(), frame.height()), fills[i], radius, border);
    });
}

QImage panel(QSize logical, const QColor &fill, qreal radius, const QColor &border)
{
    return draw(logical, [&](QPainter &p) {
        roundedBox(p, QRectF(0, 0, logical.width(), logical.height()), fill, radius, border);
    });
}

}
