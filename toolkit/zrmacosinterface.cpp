#include "toolkit/zrmacosinterface.h"

#include "services/zrcommoninterface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QPoint ZrMacosInterface::getGlobalPos()
{
    return ZrCommonInterface::getMousePoint();
}

QPoint ZrMacosInterface::getWindowPos(QWidget *widget)
{
    if (!widget)
        return QPoint(0, 0);
    const QWidget *window = widget->window();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!window->windowHandle() || !screen)
        return QPoint(0, 0);
    const QRect frame = window->frameGeometry();
    return QPoint(frame.x(), screen->geometry().height() - frame.y() - window->height());
}

void ZrMacosInterface::showMinimize(QWidget *widget)
{
    if (widget)
        widget->window()->showMinimized();
}

void ZrMacosInterface::hideDock()
{
}

std::u32string ZrMacosInterface::ConvertCharToUtft32(const char *text)
{
    return ZrCommonInterface::ConvertCharToUtft32(text);
}
