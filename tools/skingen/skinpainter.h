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

// A window background with a band across the top and one across the bottom, each edged by a line;
// bands inside the nine-grid corners keep their height when it stretches.
QImage bandedPanel(QSize logical, int topBand, const QColor &topFill, int bottomBand, const QColor &bottomFill);

// Glyphs in white, centred in a square box of the given logical side.
using Glyph = std::function<void(QPainter &, qreal side)>;
void crossGlyph(QPainter &p, qreal side);
void minusGlyph(QPainter &p, qreal side);
void squareGlyph(QPainter &p, qreal side);
void restoreGlyph(QPainter &p, qreal side);
void checkGlyph(QPainter &p, qreal side);
void exclamationGlyph(QPainter &p, qreal side);
void questionGlyph(QPainter &p, qreal side);

// Four round frames of the given diameter: the colour, the colour with the glyph, darker with the
// glyph, and a flat grey disabled disc.
QImage roundButtonStrip(qreal diameter, const QColor &fill, const Glyph &glyph);

// A round icon: a filled disc with a glyph.
QImage roundIcon(qreal diameter, const QColor &fill, const Glyph &glyph);

}

#endif
