#ifndef QBASEIMAGEDRAW_H
#define QBASEIMAGEDRAW_H

#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QRect>

class QPainter;

// Drawing of double-density skin images. Source rectangles are in logical units.
class QBaseImageDraw
{
public:
    QBaseImageDraw() {}

    static void drawImage(QPainter &painter, QRect target, QRect source, QImage &image);
    static void drawPixmap(QPainter &painter, QRect target, QRect source, QPixmap &pixmap);
    // One button frame, nine-sliced at thirds (gridView) or stretched whole.
    static void drawBtnImageBg(QPainter &painter, QRect target, QImage &frame, bool gridView);
    static QPainterPath GetRoundedRectanglePath(QRectF rect, double radius);
};

#endif
