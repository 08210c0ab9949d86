#include "shell/qzrapplicationlister.h"

#include "services/zrlogging.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

const char *const ServerFileName = "QuorvaneZRPlayerServer";
const char *const CloseLine = "[Close server]";
const int ConnectMs = 3000;
const int WriteMs = 1000;
// A later start sends its lines and closes at once; one that stays open longer is dropped.
const int ConnectionLifeMs = 5000;

// An existing file or folder named relative to this start's folder is sent with its full path,
// since the running instance works in another folder.
QString handOffArgument(const QString &argument)
{
    if (argument.isEmpty())
        return argument;
    const QFileInfo info(argument);
    if (info.isRelative() && info.exists())
        return info.absoluteFilePath();
    return argument;
}

}

QZrApplicationLister::QZrApplicationLister(int &argc, char **argv) : QtSingleApplication(argc, argv)
{
    // The instance is decided before the hand-off: a "[Close server]" start must not find the
    // instance it just closed gone and take its place.
    const bool otherInstance = isRunning();
    const QString serverName = handOffServerName();
    if (serverName.isEmpty()) {
        qWarning("Hand-off: no private folder for the socket, later starts cannot reach this one");
        return;
    }
    if (handOver(serverName, otherInstance))
        return;
    // Only the instance serves: a later start that took the name for its short life would leave
    // an instance starting at the same moment without a server.
    if (otherInstance)
        qWarning("Hand-off: the running instance does not answer, the arguments are not handed over");
    else
        startServer(serverName);
}

QZrApplicationLister::~QZrApplicationLister()
{
    if (m_localServer) {
        m_localServer->close();
        delete m_localServer;
        m_localServer = nullptr;
    }
}

QString QZrApplicationLister::handOffServerName()
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : QString("%1/%2").arg(folder, ServerFileName);
}

bool QZrApplicationLister::isStartRunning() const
{
    return m_isStartRunning;
}

bool QZrApplicationLister::handOver(const QString &serverName, bool instanceRuns)
{
    // A running instance may be starting its server this moment: try again until the time is up.
    QLocalSocket socket;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        socket.connectToServer(serverName, QIODevice::ReadWrite);
        if (socket.waitForConnected(int(qMax<qint64>(1, ConnectMs - clock.elapsed()))))
            break;
        socket.abort();
        if (!instanceRuns || clock.elapsed() >= ConnectMs)
            return false;
        QThread::msleep(50);
    }

    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QByteArray line = handOffArgument(arguments.at(i)).toUtf8() + '\n';
        if (socket.write(line) != line.size())
            qCDebug(lcZRPlayer) << "----fail------" << arguments.at(i);
    }
    QElapsedTimer writing;
    writing.start();
    while (socket.bytesToWrite() > 0 && writing.elapsed() < WriteMs) {
        if (!socket.waitForBytesWritten(int(WriteMs - writing.elapsed())))
            break;
    }
    qCDebug(lcZRPlayer) << "----------quit" << arguments;
    m_isStartRunning = true;
    socket.disconnectFromServer();
    return true;
}

void QZrApplicationLister::startServer(const QString &serverName)
{
    m_localServer = new QLocalServer(this);
    connect(this, &QZrApplicationLister::emitClose, this, &QZrApplicationLister::closeServer, Qt::QueuedConnection);
    connect(this, &QZrApplicationLister::emitAddPath, this, &QZrApplicationLister::addPath);
    connect(m_localServer, &QLocalServer::newConnection, this, &QZrApplicationLister::newLocalSocketConnection);
    // A socket file left by an instance that died is replaced; a live instance's never is.
    const bool listening = listenUnlessLive(m_localServer, serverName);
    qCDebug(lcZRPlayer) << "Start - - Server:" << serverName << (listening ? "true" : "false");
    if (!listening)
        qWarning("Hand-off: cannot listen on %s, paths of later starts will not arrive", qPrintable(serverName));
}

void QZrApplicationLister::newLocalSocketConnection()
{
    qCDebug(lcZRPlayer) << "newLocalSocketConnection--------1";
    while (QLocalSocket *socket = m_localServer->nextPendingConnection())
        readConnection(socket);
}

void QZrApplicationLister::readConnection(QLocalSocket *socket)
{
    // Chunks gather until the sender closes; then its complete lines count.
    auto buffer = std::make_shared<QByteArray>();
    QTimer *life = new QTimer(socket);
    auto finish = [this, socket, buffer, life] {
        life->stop();
        socket->disconnect(this);
        life->disconnect(this);
        buffer->append(socket->readAll());
        socket->abort();
        socket->deleteLater();
        applyLines(*buffer);
    };
    connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] { buffer->append(socket->readAll()); });
    connect(socket, &QLocalSocket::disconnected, this, finish);
    life->setSingleShot(true);
    connect(life, &QTimer::timeout, this, finish);
    life->start(ConnectionLifeMs);
    if (socket->state() != QLocalSocket::ConnectedState)
        finish();
}

void QZrApplicationLister::applyLines(const QByteArray &data)
{
    int start = 0;
    for (int end = data.indexOf('\n'); end >= 0; start = end + 1, end = data.indexOf('\n', start)) {
        const QString text = QString::fromUtf8(data.constData() + start, end - start);
        if (text.isEmpty())
            continue;
        if (text == QLatin1String(CloseLine)) {
            qCDebug(lcZRPlayer) << "close----------";
            emit emitClose();
        } else {
            emit emitAddPath(text);
        }
        qCDebug(lcZRPlayer) << text;
    }
}

void QZrApplicationLister::closeServer()
{
    QCoreApplication::quit();
}

void QZrApplicationLister::addPath(QString path)
{
    qCDebug(lcZRPlayer) << "..........path......." << path;
}

bool QZrApplicationLister::event(QEvent *event)
{
    if (event->type() == QEvent::FileOpen)
        emit emitFileOpen(static_cast<QFileOpenEvent *>(event)->file());
    return QApplication::event(event);
}
