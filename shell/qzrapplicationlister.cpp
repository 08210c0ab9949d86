#include "shell/qzrapplicationlister.h"

#include "services/zrlogging.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <climits>

namespace {

const char *const ServerFileName = "QuorvaneZRPlayerServer";
const char *const CloseLine = "[Close server]";
const int ConnectMs = 3000;
const int WriteMs = 1000;
// A later start sends its lines and closes at once; one that stays silent longer is dropped.
const int SilenceMs = 5000;
// A line is a path: a client that sends more without a line break is dropped.
const int MaxLineBytes = PATH_MAX;
// Lines handled per turn of the event loop, so that a flood of them leaves the program responsive.
const int LinesPerTurn = 32;

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

// The guard and the hand-off socket share one name, so every copy of the program meets the same
// running instance.
QZrApplicationLister::QZrApplicationLister(int &argc, char **argv)
    : QtSingleApplication(QLatin1String(ServerFileName), argc, argv)
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

// The connections go with the server; closing them must not call back into this object.
QZrApplicationLister::~QZrApplicationLister()
{
    for (QLocalSocket *socket : m_connections.keys())
        socket->disconnect(this);
    m_connections.clear();
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

// Lines are handled as they arrive, a few per turn of the event loop; the socket and the part
// of a line not yet ended hold at most one line's worth of bytes.
void QZrApplicationLister::readConnection(QLocalSocket *socket)
{
    socket->setReadBufferSize(MaxLineBytes + 1);
    HandOffConnection &connection = m_connections[socket];
    connection.silence = new QTimer(socket);
    connection.silence->setSingleShot(true);
    connection.silence->start(SilenceMs);
    connect(connection.silence, &QTimer::timeout, this, [this, socket] { dropConnection(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readLines(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { readLines(socket); });
    readLines(socket);
}

// A line may open a message box, whose event loop reads on and may drop the connection: the
// socket and its state are looked up again after every line.
void QZrApplicationLister::readLines(QLocalSocket *socket)
{
    const QPointer<QLocalSocket> alive(socket);
    int handled = 0;
    while (alive && m_connections.contains(socket)) {
        HandOffConnection &connection = m_connections[socket];
        const int end = connection.pending.indexOf('\n');
        if (end < 0) {
            if (connection.pending.size() > MaxLineBytes) {
                qWarning("Hand-off: a line longer than a path, the connection is dropped");
                dropConnection(socket);
                return;
            }
            const QByteArray more =
                socket->isOpen() ? socket->read(MaxLineBytes + 1 - connection.pending.size()) : QByteArray();
            if (more.isEmpty())
                break;
            connection.pending += more;
            connection.silence->start(SilenceMs);
            continue;
        }
        if (handled == LinesPerTurn) {
            QMetaObject::invokeMethod(this, [this, alive] { if (alive) readLines(alive); }, Qt::QueuedConnection);
            return;
        }
        const QString text = QString::fromUtf8(connection.pending.constData(), end);
        connection.pending.remove(0, end + 1);
        ++handled;
        applyLine(text);
    }
    // Bytes after the last line break are never read.
    if (alive && m_connections.contains(socket) && socket->state() != QLocalSocket::ConnectedState
        && socket->bytesAvailable() == 0)
        dropConnection(socket);
}

void QZrApplicationLister::dropConnection(QLocalSocket *socket)
{
    m_connections.remove(socket);
    socket->abort();
    socket->deleteLater();
}

void QZrApplicationLister::applyLine(const QString &text)
{
    if (text.isEmpty())
        return;
    if (text == QLatin1String(CloseLine)) {
        qCDebug(lcZRPlayer) << "close----------";
        emit emitClose();
    } else {
        emit emitAddPath(text);
    }
    qCDebug(lcZRPlayer) << text;
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
