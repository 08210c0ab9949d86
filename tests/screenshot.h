#ifndef SCREENSHOT_H
#define SCREENSHOT_H

// Pictures of windows for the documentation.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWidget>

// The window as it stands on a dark desktop, with that much of the desktop round it.
inline QImage windowPicture(QWidget &window, int margin)
{
    const QPixmap shot = window.grab();
    const qreal ratio = shot.devicePixelRatio();
    QImage picture((window.size() + QSize(2 * margin, 2 * margin)) * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(QColor(30, 30, 30));
    QPainter(&picture).drawPixmap(margin, margin, shot);
    return picture;
}

// Keeps the picture in <build>/screenshots, and also in the folder named by ZR_SCREENSHOT_DIR when set.
inline bool keepScreenshot(const QImage &picture, const QString &name)
{
    const QString build = QDir(QCoreApplication::applicationDirPath()).filePath("../screenshots");
    const QString extra = qEnvironmentVariable("ZR_SCREENSHOT_DIR");
    return QDir().mkpath(build) && picture.save(build + "/" + name)
        && (extra.isEmpty() || picture.save(extra + "/" + name));
}

#endif
