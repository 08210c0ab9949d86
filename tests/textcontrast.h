#ifndef TEXTCONTRAST_H
#define TEXTCONTRAST_H

// How much a text stands out from what it is drawn on, by WCAG's contrast ratio, read from a picture.
#include <QImage>
#include <QPair>
#include <QRect>

#include <cmath>
#include <map>

inline double relativeLuminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

inline double contrastRatio(QRgb a, QRgb b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Of the pixels of a rectangle (logical coordinates) of the picture: the commonest, what a text there is
// drawn on, and the one that differs from it most, the text's strongest stroke.
inline QPair<QRgb, QRgb> backgroundAndInk(const QImage &picture, const QRect &logical)
{
    const qreal ratio = picture.devicePixelRatio();
    const QRect rect = QRect(logical.topLeft() * ratio, logical.size() * ratio).intersected(picture.rect());
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[picture.pixel(x, y) | 0xff000000u];
    QRgb background = 0;
    int most = 0;
    for (const auto &count : counts)
        if (count.second > most)
            most = count.second, background = count.first;
    QRgb ink = background;
    for (const auto &count : counts)
        if (contrastRatio(count.first, background) > contrastRatio(ink, background))
            ink = count.first;
    return {background, ink};
}

#endif
