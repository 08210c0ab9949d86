#ifndef SKINPAINTER_H
#define SKINPAINTER_H

#include <QColor>
#include <QImage>
#include <QSize>
#include <array>
#include <functional>

class QPainter;

// Drawing helpers for skin images. Sizes are logical; images come out at twice the pixel density.
namespace SkinPainter {

const QColor Background(56, 56, 56);
const QColor Selection(73, 73, 73);
const QColor Accent(253, 94, 105);
const QColor Text(255, 255, 255);
const QColor DisabledText(102, 102, 102);

// A transparent image of the logical size, painted through a painter scaled by two.
QImage draw(QSize logical, const std::function<void(QPainter &)> &paint);

// Four frames side by side: normal, hover, pressed, disabled.
QImage strip(QSize frame, const std::function<void(QPainter &, int frameIndex)> &paint);

// A button strip of rounded rectangles filled with one colour per frame.
QImage buttonStrip(QSize frame, const std::array<QColor, 4> &fills, qreal radius = 3,
                   const QColor &border = QColor());

// A rounded panel for nine-grid backgrounds.
QImage panel(QSize logical, const QColor &fill, qreal radius, const QColor &border = QColor());

}

#endif
