#ifndef QZRCOMMONPLATFROMAPI_H
#define QZRCOMMONPLATFROMAPI_H

#include <QColor>

#include <string>

// Window-system calls on a widget's window.
class QZRCommonPlatfromApi
{
public:
    QZRCommonPlatfromApi() {}

    // The widget's window as an opaque red, click-through overlay on top of others.
    static void setWindowsIgnoresMouse(void *widget);
    // The same overlay with the given background colour; its alpha gives the translucency.
    static void setMacTransBackgroundColor(void *widget, QColor color);
    // Reveals the file in the file manager (see ZrCommonInterface::showFileInFolder).
    static void showFileInFolder(std::string path);
};

#endif
