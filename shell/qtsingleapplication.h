#ifndef QTSINGLEAPPLICATION_H
#define QTSINGLEAPPLICATION_H

#include <QApplication>
#include <QPointer>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// An application object that lets one instance of the program run per user and id: the first
// start claims a lock file and listens on a local socket beside it; a later start finds the lock
// held and sends the running instance a message, which the running instance confirms with one
// byte. Every copy of the program gives the same id, wherever it is installed.
class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    QtSingleApplication(const QString &appId, int &argc, char **argv);
    ~QtSingleApplication() override;

    // True when another instance held the lock at the first call; that call claims the lock when
    // nobody holds it, also from a process that died without releasing it.
    bool isRunning();
    // Delivers the message to the running instance; true once that instance confirmed receipt
    // within the time-out.
    bool sendMessage(const QString &message, int timeoutMs = 5000);
    // With activateOnMessage, every message restores the window from minimised, raises and
    // activates it.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    QWidget *activationWindow() const;

    // The user's private folder for lock and socket files; empty when there is none.
    static QString runtimeFolder();
    // The full path of the guard's lock file and socket.
    QString lockFilePath() const;
    QString guardServerName() const;

    // Listens under a full socket path that no live server uses. A socket file nobody answers
    // on is removed first; a live one is left alone and the listen fails.
    static bool listenUnlessLive(QLocalServer *server, const QString &path);

public slots:
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private slots:
    void acceptGuardConnection();

private:
    bool claim();
    void readGuardMessage(QLocalSocket *socket);

    QString m_key;
    QLockFile *m_lock = nullptr;
    bool m_decided = false;
    bool m_claimed = false;
    QLocalServer *m_guardServer = nullptr;
    QPointer<QWidget> m_activationWindow;
};

#endif
