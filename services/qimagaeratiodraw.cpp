#include "services/qimagaeratiodraw.h"

#include <QPainter>

namespace {

QRectF doubled(QRect source)
{
    return QRectF(source.x() * 2, source.y() * 2, source.width() * 2, source.height() * 2);
}

}

QImagaeRatioDraw::QImagaeRatioDraw(QObject *parent)
    : QObject(parent)
{
}

void QImagaeRatioDraw::drawImage(QPainter &painter, QRect target, QRect source, const QImage &image)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target), image, doubled(source));
}

void QImagaeRatioDraw::drawPixmap(QPainter &painter, QRect target, QRect source, const QPixmap &pixmap)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(target), pixmap, doubled(source));
}
