#include "toolkit/qbaseimagedraw.h"

#include "services/qimagaeratiodraw.h"

#include <QPainter>
#include <algorithm>

void QBaseImageDraw::drawImage(QPainter &painter, QRect target, QRect source, QImage &image)
{
    QImagaeRatioDraw::drawImage(painter, target, source, image);
}

void QBaseImageDraw::drawPixmap(QPainter &painter, QRect target, QRect source, QPixmap &pixmap)
{
    QImagaeRatioDraw::drawPixmap(painter, target, source, pixmap);
}

void QBaseImageDraw::drawBtnImageBg(QPainter &painter, QRect target, QImage &frame, bool gridView)
{
    const int iw = frame.width() / 2;
    const int ih = frame.height() / 2;
    if (!gridView) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(target), frame, QRectF(0, 0, iw * 2, ih * 2));
        return;
    }

    const int x = target.x(), y = target.y(), W = target.width(), H = target.height();
    const int cw = std::min(iw, W) / 3;
    const int ch = std::min(ih, H) / 3;
    drawImage(painter, QRect(x, y, cw, ch), QRect(0, 0, cw, ch), frame);
    drawImage(painter, QRect(x + W - cw, y, cw, ch), QRect(iw - cw, 0, cw, ch), frame);
    if (W > 2 * cw)
        drawImage(painter, QRect(x + cw, y, W - 2 * cw, ch), QRect(cw, 0, iw - 2 * cw, ch), frame);
    drawImage(painter, QRect(x, y + H - ch, cw, ch), QRect(0, ih - ch, cw, ch), frame);
    drawImage(painter, QRect(x + W - cw, y + H - ch, cw, ch), QRect(iw - cw, ih - ch, cw, ch), frame);
    if (W > 2 * cw)
        drawImage(painter, QRect(x + cw, y + H - ch, W - 2 * cw, ch), QRect(cw, ih - ch, iw - 2 * cw, ch), frame);
    if (H == 2 * ch)
        return;
    drawImage(painter, QRect(x, y + ch, cw, H - 2 * ch), QRect(0, ch, cw, ih - 2 * ch), frame);
    drawImage(painter, QRect(x + W - cw, y + ch, cw, H - 2 * ch), QRect(iw - cw, ch, cw, ih - 2 * ch), frame);
    if (ih == 2 * ch)
        return;
    drawImage(painter, QRect(x + cw, y + ch, W - 2 * cw, H - 2 * ch), QRect(cw, ch, iw - 2 * cw, ih - 2 * ch), frame);
}

QPainterPath QBaseImageDraw::GetRoundedRectanglePath(QRectF rect, double radius)
{
    const int t = static_cast<int>(std::min(rect.width(), rect.height()));
    const double r = std::min(radius, static_cast<double>(t / 2));
    const double left = rect.left(), top = rect.top();
    const double right = left + rect.width(), bottom = top + rect.height();

    QPainterPath path;
    path.moveTo(right - r, top);
    path.lineTo(left + r, top);
    path.quadTo(left, top, left, top + r);
    path.lineTo(left, bottom - r);
    path.quadTo(left, bottom, left + r, bottom);
    path.lineTo(right - r, bottom);
    path.quadTo(right, bottom, right, bottom - r);
    path.lineTo(right, top + r);
    path.quadTo(right, top, right - r, top);
    return path;
}
