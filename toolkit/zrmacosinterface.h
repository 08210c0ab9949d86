#ifndef ZRMACOSINTERFACE_H
#define ZRMACOSINTERFACE_H

#include <QPoint>

#include <string>

class QWidget;

// Window-system helpers of the toolkit.
class ZrMacosInterface
{
public:
    ZrMacosInterface() {}

    // The mouse position in global screen coordinates.
    static QPoint getGlobalPos();
    // The position of the widget's window, measured from the bottom-left of the primary
    // screen: x is the frame's left edge, y the distance from the screen's bottom to the
    // window's bottom edge (frame top + window height). So screen height - y - height is
    // the frame's top. (0, 0) for a null widget or a window that has not been created.
    static QPoint getWindowPos(QWidget *widget);
    static void showMinimize(QWidget *widget);
    // There is no dock icon to hide here.
    static void hideDock();
    static std::u32string ConvertCharToUtft32(const char *text);
};

#endif
