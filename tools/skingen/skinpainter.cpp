#include "skinpainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

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

QImage bandedPanel(QSize logical, int topBand, const QColor &topFill, int bottomBand, const QColor &bottomFill)
{
    return draw(logical, [&](QPainter &p) {
        const qreal w = logical.width();
        const qreal h = logical.height();
        QPainterPath outline;
        outline.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);
        p.setClipPath(outline);
        p.fillRect(QRectF(0, 0, w, h), Background);
        p.fillRect(QRectF(0, 0, w, topBand), topFill);
        p.fillRect(QRectF(0, h - bottomBand, w, bottomBand), bottomFill);
        p.setPen(QPen(Selection, 1));
        p.drawLine(QPointF(0, topBand + 0.5), QPointF(w, topBand + 0.5));
        p.drawLine(QPointF(0, h - bottomBand + 0.5), QPointF(w, h - bottomBand + 0.5));
        p.setClipping(false);
        p.setPen(QPen(QColor(86, 86, 86), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
    });
}

static QPen glyphPen(qreal side)
{
    return QPen(Text, qMax<qreal>(1.2, side / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void crossGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    const qreal a = side * 0.32, b = side * 0.68;
    p.drawLine(QPointF(a, a), QPointF(b, b));
    p.drawLine(QPointF(a, b), QPointF(b, a));
}

void minusGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.drawLine(QPointF(side * 0.28, side / 2), QPointF(side * 0.72, side / 2));
}

void squareGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(side * 0.3, side * 0.3, side * 0.4, side * 0.4));
}

void restoreGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(side * 0.26, side * 0.38, side * 0.34, side * 0.34));
    p.drawPolyline(QPolygonF({QPointF(side * 0.4, side * 0.3), QPointF(side * 0.72, side * 0.3),
                              QPointF(side * 0.72, side * 0.6)}));
}

void checkGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.drawPolyline(QPolygonF({QPointF(side * 0.28, side * 0.52), QPointF(side * 0.44, side * 0.68),
                              QPointF(side * 0.73, side * 0.35)}));
}

void exclamationGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.drawLine(QPointF(side / 2, side * 0.26), QPointF(side / 2, side * 0.58));
    p.setPen(Qt::NoPen);
    p.setBrush(Text);
    p.drawEllipse(QPointF(side / 2, side * 0.73), side / 14, side / 14);
}

void questionGlyph(QPainter &p, qreal side)
{
    p.setPen(glyphPen(side));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(side * 0.36, side * 0.38);
    hook.arcTo(QRectF(side * 0.36, side * 0.22, side * 0.28, side * 0.26), 180, -240);
    hook.quadTo(side * 0.5, side * 0.5, side * 0.5, side * 0.6);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Text);
    p.drawEllipse(QPointF(side / 2, side * 0.75), side / 14, side / 14);
}

static void disc(QPainter &p, qreal diameter, const QColor &fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, diameter - 1, diameter - 1));
}

QImage roundButtonStrip(qreal diameter, const QColor &fill, const Glyph &glyph)
{
    const int side = qCeil(diameter);
    return strip(QSize(side, side), [&](QPainter &p, int i) {
        const QColor colours[4] = {fill, fill.lighter(115), fill.darker(125), Selection};
        disc(p, diameter, colours[i]);
        if (i == 1 || i == 2)
            glyph(p, diameter);
    });
}

QImage roundIcon(qreal diameter, const QColor &fill, const Glyph &glyph)
{
    const int side = qCeil(diameter);
    return draw(QSize(side, side), [&](QPainter &p) {
        disc(p, diameter, fill);
        glyph(p, diameter);
    });
}

}
