#ifndef QZRAPPLICATIONLISTER_H
#define QZRAPPLICATIONLISTER_H

#include "shell/qtsingleapplication.h"

#include <QByteArray>
#include <QHash>

class QLocalServer;
class QLocalSocket;
class QTimer;

// The player's application object. A start that reaches a running instance's hand-off server
// sends it its arguments, one UTF-8 line each; otherwise it becomes that server and turns each
// line a later start sends into emitAddPath, "[Close server]" into a quit. The system's file-open
// requests become emitFileOpen.
class QZrApplicationLister : public QtSingleApplication
{
    Q_OBJECT

public:
    QZrApplicationLister(int &argc, char **argv);
    ~QZrApplicationLister() override;

    bool isStartRunning() const;
    // The hand-off socket's full path in the user's private folder; empty when there is none.
    static QString handOffServerName();

signals:
    void emitClose();
    void emitAddPath(QString path);
    void emitFileOpen(QString filePath);

public slots:
    void newLocalSocketConnection();
    void closeServer();
    void addPath(QString path);

protected:
    bool event(QEvent *event) override;

private:
    bool handOver(const QString &serverName, bool instanceRuns);
    void startServer(const QString &serverName);
    void readConnection(QLocalSocket *socket);
    void readLines(QLocalSocket *socket);
    void applyLine(const QString &text);
    void dropConnection(QLocalSocket *socket);

    QLocalServer *m_localServer = nullptr;
    bool m_isStartRunning = false;
    // What a connection has sent after its last line break, and its time-out while it is silent.
    struct HandOffConnection
    {
        QByteArray pending;
        QTimer *silence = nullptr;
    };
    QHash<QLocalSocket *, HandOffConnection> m_connections;
};

#endif
