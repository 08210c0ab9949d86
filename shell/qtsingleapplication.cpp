#include "shell/qtsingleapplication.h"

#include "services/qianyutil.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <QWidget>

#include <memory>

#include <sys/stat.h>

namespace {

const char Ack = 0x06;
const int FrameHeader = 4;
const quint32 MaxMessageBytes = 1 << 20;
const int ConnectionLifeMs = 5000;

int remaining(const QElapsedTimer &clock, int timeoutMs)
{
    return qMax(0, timeoutMs - int(clock.elapsed()));
}

}

// The runtime folder is the user's own, so the id alone names the instance.
QtSingleApplication::QtSingleApplication(const QString &appId, int &argc, char **argv)
    : QApplication(argc, argv), m_key(appId)
{
}

QtSingleApplication::~QtSingleApplication()
{
    if (m_guardServer)
        m_guardServer->close();
    delete m_lock;
}

QString QtSingleApplication::runtimeFolder()
{
    return QIAnyUtil::getTempSavePath();
}

QString QtSingleApplication::lockFilePath() const
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : QString("%1/%2.lock").arg(folder, m_key);
}

QString QtSingleApplication::guardServerName() const
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : QString("%1/%2.instance").arg(folder, m_key);
}

bool QtSingleApplication::listenUnlessLive(QLocalServer *server, const QString &path)
{
    // Qt's access options bind elsewhere and rename over the name, which would replace a live
    // socket; a plain bind fails on any file there, so nobody else's server is ever displaced.
    server->setSocketOptions(QLocalServer::NoOptions);
    if (server->listen(path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return true;
    }
    if (server->serverError() != QAbstractSocket::AddressInUseError)
        return false;

    // Only a socket file is ever removed, and only when nobody answers on it.
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return false;
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000) || probe.error() != QLocalSocket::ConnectionRefusedError) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(path);
    if (!server->listen(path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

bool QtSingleApplication::claim()
{
    if (m_decided)
        return m_claimed;
    m_decided = true;
    const QString lockPath = lockFilePath();
    if (lockPath.isEmpty()) {
        qWarning("Single instance: no private folder for the lock, running without a guard");
        m_claimed = true;
        return true;
    }
    m_lock = new QLockFile(lockPath);
    // Only a dead owner makes a lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        qWarning("Single instance: cannot write the lock file %s, running without a guard", qPrintable(lockPath));
        m_claimed = true;
        return true;
    }
    m_claimed = true;

    m_guardServer = new QLocalServer(this);
    connect(m_guardServer, &QLocalServer::newConnection, this, &QtSingleApplication::acceptGuardConnection);
    // The lock is ours, so a socket under our name is a dead instance's.
    QLocalServer::removeServer(guardServerName());
    if (!listenUnlessLive(m_guardServer, guardServerName()))
        qWarning("Single instance: cannot listen on %s: %s", qPrintable(guardServerName()),
                 qPrintable(m_guardServer->errorString()));
    return true;
}

// Decided once: a start that found an instance keeps that answer even when the instance ends
// meanwhile, so it never turns into an instance itself halfway through.
bool QtSingleApplication::isRunning()
{
    return !claim();
}

bool QtSingleApplication::sendMessage(const QString &message, int timeoutMs)
{
    if (!isRunning())
        return false;
    QElapsedTimer clock;
    clock.start();

    QLocalSocket socket;
    socket.connectToServer(guardServerName());
    if (!socket.waitForConnected(remaining(clock, timeoutMs)))
        return false;

    const QByteArray text = message.toUtf8();
    QByteArray frame;
    QDataStream(&frame, QIODevice::WriteOnly) << quint32(text.size());
    frame += text;
    if (socket.write(frame) != frame.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remaining(clock, timeoutMs)))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(remaining(clock, timeoutMs)))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Ack;
}

void QtSingleApplication::acceptGuardConnection()
{
    while (QLocalSocket *socket = m_guardServer->nextPendingConnection())
        readGuardMessage(socket);
}

void QtSingleApplication::readGuardMessage(QLocalSocket *socket)
{
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A sender that never finishes its message is dropped.
    QTimer::singleShot(ConnectionLifeMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        if (buffer->size() < FrameHeader)
            return;
        quint32 length = 0;
        QDataStream(*buffer) >> length;
        if (length > MaxMessageBytes) {
            socket->abort();
            return;
        }
        if (quint32(buffer->size()) < FrameHeader + length)
            return;
        const QString message = QString::fromUtf8(buffer->mid(FrameHeader, int(length)));
        socket->disconnect(this);
        socket->write(&Ack, 1);
        socket->flush();
        socket->disconnectFromServer();
        emit messageReceived(message);
    });
}

void QtSingleApplication::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    m_activationWindow = window;
    disconnect(this, &QtSingleApplication::messageReceived, this, &QtSingleApplication::activateWindow);
    if (activateOnMessage)
        connect(this, &QtSingleApplication::messageReceived, this, &QtSingleApplication::activateWindow);
}

QWidget *QtSingleApplication::activationWindow() const
{
    return m_activationWindow;
}

void QtSingleApplication::activateWindow()
{
    if (!m_activationWindow)
        return;
    m_activationWindow->setWindowState(m_activationWindow->windowState() & ~Qt::WindowMinimized);
    m_activationWindow->raise();
    m_activationWindow->activateWindow();
}
