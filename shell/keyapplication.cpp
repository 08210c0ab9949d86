#include "shell/keyapplication.h"

#include <QFileOpenEvent>

KeyApplication::KeyApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    installNativeEventFilter(&m_hotKeyHandler);
}

void KeyApplication::setWindowInstance(NewMainWindow *window)
{
    m_pMainWindow = window;
}

bool KeyApplication::notify(QObject *receiver, QEvent *event)
{
    return QApplication::notify(receiver, event);
}

bool KeyApplication::event(QEvent *event)
{
    if (event->type() == QEvent::FileOpen)
        emit emitFileOpen(static_cast<QFileOpenEvent *>(event)->file());
    return QApplication::event(event);
}
