#ifndef QIMAGAERATIODRAW_H
#define QIMAGAERATIODRAW_H

#include <QObject>
#include <QRect>

class QImage;
class QPainter;
class QPixmap;

// Draws double-density images: the source rectangle is in logical units and is
// doubled to address the image's pixels.
class QImagaeRatioDraw : public QObject
{
    Q_OBJECT

public:
    explicit QImagaeRatioDraw(QObject *parent = nullptr);

    // Leaves smooth pixmap transformation switched on.
    static void drawImage(QPainter &painter, QRect target, QRect source, const QImage &image);
    static void drawPixmap(QPainter &painter, QRect target, QRect source, const QPixmap &pixmap);
};

#endif
