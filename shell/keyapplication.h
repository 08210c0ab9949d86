#ifndef KEYAPPLICATION_H
#define KEYAPPLICATION_H

#include "shell/myhotkeyhandler.h"

#include <QApplication>

class NewMainWindow;

// An application object that delivers system-wide hot keys: it installs the hot-key handler on
// the X event stream (the handler takes itself off when it goes), and reports the system's
// file-open requests.
class KeyApplication : public QApplication
{
    Q_OBJECT

public:
    KeyApplication(int &argc, char **argv);

    void setWindowInstance(NewMainWindow *window);
    bool notify(QObject *receiver, QEvent *event) override;

signals:
    void emitFileOpen(QString filePath);

protected:
    bool event(QEvent *event) override;

private:
    MyHotKeyHandler m_hotKeyHandler;
    NewMainWindow *m_pMainWindow = nullptr;
};

#endif
