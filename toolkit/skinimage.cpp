#include "toolkit/skinimage.h"

#include <QFile>
#include <QHash>

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

QImage sharedSkinImage(const QString &path)
{
    static QHash<QString, QImage> images;
    auto found = images.constFind(path);
    if (found == images.constEnd())
        found = images.insert(path, loadSkinImage(path));
    return found.value();
}
