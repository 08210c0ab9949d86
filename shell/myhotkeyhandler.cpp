#include "shell/myhotkeyhandler.h"

#include "shell/qglobalshortcut.h"

#include <xcb/xcb.h>

bool MyHotKeyHandler::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const quint32 hotKeyMods =
        QGlobalShortCut::nativeModifiers(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    QGlobalShortCut *shortcut = QGlobalShortCut::registeredShortCut(press->detail, press->state & hotKeyMods);
    if (!shortcut)
        return false;
    shortcut->activateShortcut();
    return true;
}
