#ifndef MYHOTKEYHANDLER_H
#define MYHOTKEYHANDLER_H

#include <QAbstractNativeEventFilter>

// Turns a key press of a grabbed combination, which the X server sends to the root window, into
// activateShortcut() on the object that registered it. CapsLock and NumLock do not count.
class MyHotKeyHandler : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;
};

#endif
