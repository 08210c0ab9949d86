#include "toolkit/skinimage.h"

#include <QFile>

QImage loadSkinImage(const QString &path)
{
    if (!QFile::exists(path))
        return QImage();
    QImage image(path);
    image.setDevicePixelRatio(2.0);
    return image;
}

QImage *newSkinImage(const QString &path)
{
    const QImage image = loadSkinImage(path);
    return image.isNull() ? nullptr : new QImage(image);
}
