#ifndef PICTURESIDE_H
#define PICTURESIDE_H

#include <QImage>
#include <QPointF>
#include <QString>

// Where the red of a red and blue picture lies within the picture on a screen grab: "top",
// "bottom", "left" or "right"; empty while no such picture shows.
inline QString redSide(const QImage &grab)
{
    const QImage screen = grab.convertToFormat(QImage::Format_RGB32);
    QPointF red, all;
    int reds = 0, colours = 0;
    for (int y = 0; y < screen.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            const bool isRed = r > 180 && g < 80 && b < 80;
            if (!isRed && !(b > 180 && r < 80 && g < 80))
                continue;
            all += QPointF(x, y);
            ++colours;
            if (isRed) {
                red += QPointF(x, y);
                ++reds;
            }
        }
    }
    if (reds < 1000 || colours < 2 * reds - reds / 4)
        return QString();
    const QPointF offset = red / reds - all / colours;
    if (qAbs(offset.x()) > qAbs(offset.y()))
        return offset.x() > 0 ? "right" : "left";
    return offset.y() > 0 ? "bottom" : "top";
}

#endif
