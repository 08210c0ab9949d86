#include "services/qzrcommonplatfromapi.h"

#include "services/zrcommoninterface.h"

#include <QWidget>

void QZRCommonPlatfromApi::setWindowsIgnoresMouse(void *widget)
{
    setMacTransBackgroundColor(widget, Qt::red);
}

void QZRCommonPlatfromApi::setMacTransBackgroundColor(void *widget, QColor color)
{
    if (!widget)
        return;
    QWidget *window = static_cast<QWidget *>(widget)->window();
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, color);
    window->setPalette(palette);
    // An alpha channel for the window, but the background (with its alpha) still painted.
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_NoSystemBackground, false);
    window->setWindowFlags(window->windowFlags() | Qt::WindowTransparentForInput | Qt::WindowStaysOnTopHint);
    window->setWindowOpacity(1.0);
    window->show();
    window->raise();
}

void QZRCommonPlatfromApi::showFileInFolder(std::string path)
{
    ZrCommonInterface::showFileInFolder(path);
}
