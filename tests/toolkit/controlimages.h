// Small generated skin images for the control tests.
#ifndef CONTROLIMAGES_H
#define CONTROLIMAGES_H

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <initializer_list>

namespace ControlImages {

// Equal frames side by side, each a solid colour, every frame framePx pixels in size.
inline QImage frames(QSize framePx, std::initializer_list<QRgb> colours)
{
    QImage image(framePx.width() * int(colours.size()), framePx.height(), QImage::Format_ARGB32);
    int index = 0;
    for (QRgb colour : colours) {
        for (int x = 0; x < framePx.width(); ++x)
            for (int y = 0; y < framePx.height(); ++y)
                image.setPixel(index * framePx.width() + x, y, colour);
        ++index;
    }
    return image;
}

inline QString save(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

inline QColor pixel(QWidget &widget, QPoint at)
{
    return widget.grab().toImage().pixelColor(at);
}

// A mouse move with buttons held, sent straight to the widget.
inline void move(QWidget *widget, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}

#endif
