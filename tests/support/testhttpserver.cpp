#include "testhttpserver.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>

#include <chrono>
#include <future>

namespace {

class DescriptorServer : public QTcpServer
{
public:
    std::vector<qintptr> pending;

protected:
    void incomingConnection(qintptr descriptor) override { pending.push_back(descriptor); }
};

// Reads until the buffer holds `needed` bytes or the marker; false when the peer went or we stop.
bool fill(QTcpSocket &socket, QByteArray &buffer, const std::function<bool()> &enough,
          const std::atomic<bool> &stop)
{
    for (;;) {
        // Bytes may already wait (decrypted during the handshake) without a new readyRead.
        buffer += socket.readAll();
        if (enough())
            return true;
        if (stop || socket.state() != QAbstractSocket::ConnectedState)
            return false;
        socket.waitForReadyRead(50);
    }
}

bool writeAll(QTcpSocket &socket, const QByteArray &bytes)
{
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(5000))
            return false;
    }
    return true;
}

void relay(QTcpSocket &client, QByteArray pending, const QByteArray &target, const std::atomic<bool> &stop)
{
    QTcpSocket upstream;
    const int colon = target.lastIndexOf(':');
    upstream.connectToHost(QString::fromLatin1(target.left(colon)), target.mid(colon + 1).toUShort());
    if (!upstream.waitForConnected(5000)) {
        writeAll(client, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    writeAll(client, "HTTP/1.1 200 Connection established\r\n\r\n");
    if (!pending.isEmpty())
        writeAll(upstream, pending);
    TestHttpServer::relayBetween(client, upstream, stop);
}

} // namespace

QByteArray TestRequest::header(const QByteArray &name) const
{
    for (const auto &field : headers) {
        if (field.first.toLower() == name.toLower())
            return field.second;
    }
    return QByteArray();
}

QByteArray TestRequest::path() const
{
    if (target.startsWith("http://") || target.startsWith("https://"))
        return QUrl(QString::fromLatin1(target)).path().toLatin1();
    return target;
}

TestReply TestReply::text(const QByteArray &body, int status)
{
    TestReply reply;
    reply.status = status;
    reply.reason = status == 200 ? "OK" : "Status";
    reply.body = body;
    reply.headers << qMakePair(QByteArray("Content-Type"), QByteArray("text/plain"));
    return reply;
}

TestHttpServer::TestHttpServer(Handler handler, const QString &certificatePath, const QString &keyPath,
                               const QString &clientAuthorityPath)
    : m_handler(std::move(handler)), m_tls(!certificatePath.isEmpty())
{
    if (!clientAuthorityPath.isEmpty())
        m_clientAuthority = QSslCertificate::fromPath(clientAuthorityPath);
    if (m_tls) {
        QFile certificate(certificatePath);
        QFile key(keyPath);
        if (certificate.open(QIODevice::ReadOnly))
            m_certificate = certificate.readAll();
        if (key.open(QIODevice::ReadOnly))
            m_key = key.readAll();
    }
    std::promise<quint16> listening;
    std::future<quint16> port = listening.get_future();
    m_acceptThread = std::thread([this, &listening] {
        DescriptorServer server;
        server.listen(QHostAddress::LocalHost, 0);
        listening.set_value(server.serverPort());
        int number = 0;
        while (!m_stop) {
            server.waitForNewConnection(50);
            for (qintptr descriptor : server.pending) {
                ++m_connections;
                const int connection = ++number;
                QMutexLocker locker(&m_lock);
                m_threads.emplace_back([this, descriptor, connection] { serve(descriptor, connection); });
            }
            server.pending.clear();
        }
    });
    m_port = port.get();
}

TestHttpServer::~TestHttpServer()
{
    m_stop = true;
    m_acceptThread.join();
    std::vector<std::thread> threads;
    {
        QMutexLocker locker(&m_lock);
        threads.swap(m_threads);
    }
    for (std::thread &thread : threads)
        thread.join();
}

QUrl TestHttpServer::url(const QString &path) const
{
    return QUrl(QString("%1://127.0.0.1:%2%3").arg(m_tls ? "https" : "http").arg(m_port).arg(path));
}

QList<TestRequest> TestHttpServer::requests() const
{
    QMutexLocker locker(&m_lock);
    return m_requests;
}

void TestHttpServer::relayBetween(QTcpSocket &client, QTcpSocket &upstream, const std::atomic<bool> &stop)
{
    while (!stop && client.state() == QAbstractSocket::ConnectedState
           && upstream.state() == QAbstractSocket::ConnectedState) {
        if (client.waitForReadyRead(10) || client.bytesAvailable())
            writeAll(upstream, client.readAll());
        if (upstream.waitForReadyRead(10) || upstream.bytesAvailable())
            writeAll(client, upstream.readAll());
    }
    if (upstream.bytesAvailable())
        writeAll(client, upstream.readAll());
}

void TestHttpServer::isolateFromProxies()
{
    for (const char *name : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY", "HTTPS_PROXY",
                             "ALL_PROXY", "NO_PROXY"})
        qunsetenv(name);
    qputenv("GSETTINGS_BACKEND", "memory");
}

bool TestHttpServer::makeCertificate(const QString &folder, const QString &name)
{
    const bool address = !QHostAddress(name).isNull();
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-keyout",
                              folder + "/" + name + ".key", "-out", folder + "/" + name + ".pem", "-subj",
                              "/CN=" + name, "-addext",
                              QString("subjectAltName=%1:%2").arg(address ? "IP" : "DNS", name)});
    return openssl.waitForFinished(60000) && openssl.exitCode() == 0;
}

void TestHttpServer::serve(qintptr descriptor, int connection)
{
    QSslSocket socket;
    if (!socket.setSocketDescriptor(descriptor))
        return;
    if (m_tls) {
        socket.setLocalCertificate(QSslCertificate(m_certificate));
        socket.setPrivateKey(QSslKey(m_key, QSsl::Rsa));
        if (!m_clientAuthority.isEmpty()) {
            QSslConfiguration configuration = socket.sslConfiguration();
            configuration.setCaCertificates(m_clientAuthority);
            configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
            socket.setSslConfiguration(configuration);
        }
        socket.startServerEncryption();
        if (!socket.waitForEncrypted(10000))
            return;
    }
    QByteArray buffer;
    while (!m_stop) {
        if (!fill(socket, buffer, [&buffer] { return buffer.contains("\r\n\r\n"); }, m_stop))
            return;
        const int end = buffer.indexOf("\r\n\r\n");
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);

        TestRequest request;
        request.connection = connection;
        request.clientName = socket.peerCertificate().subjectInfo(QSslCertificate::CommonName).value(0);
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        request.version = first.value(2);
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const int colon = line.indexOf(':');
            if (colon > 0)
                request.headers << qMakePair(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
        }
        const int length = request.header("Content-Length").toInt();
        if (!fill(socket, buffer, [&buffer, length] { return buffer.size() >= length; }, m_stop))
            return;
        request.body = buffer.left(length);
        buffer.remove(0, length);
        {
            QMutexLocker locker(&m_lock);
            m_requests << request;
        }

        const TestReply reply = m_handler(request);
        const auto waitForClientToGo = [&socket, this] {
            while (!m_stop && socket.state() == QAbstractSocket::ConnectedState)
                socket.waitForReadyRead(50);
        };
        if (reply.silent) {
            waitForClientToGo();
            return;
        }
        if (reply.drop) {
            socket.abort();
            return;
        }
        if (reply.delayMs > 0)
            QThread::msleep(static_cast<unsigned long>(reply.delayMs));
        if (reply.tunnel) {
            relay(socket, buffer, request.target, m_stop);
            return;
        }

        QByteArray head = reply.version + " " + QByteArray::number(reply.status) + " " + reply.reason + "\r\n";
        for (const auto &field : reply.headers)
            head += field.first + ": " + field.second + "\r\n";
        if (reply.chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else if (reply.withLength)
            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        head += "\r\n";
        QByteArray body = reply.body;
        if (reply.chunked) {
            QByteArray chunks;
            for (int at = 0; at < reply.body.size(); at += 1000) {
                const QByteArray piece = reply.body.mid(at, 1000);
                chunks += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
            }
            body = chunks + "0\r\n\r\n";
        }
        if (request.method == "HEAD")
            body.clear();
        if (!writeAll(socket, head))
            return;
        if (reply.bytesPerSecond > 0) {
            const int piece = qMax(1, reply.bytesPerSecond / 10);
            for (int at = 0; at < body.size() && !m_stop; at += piece) {
                if (!writeAll(socket, body.mid(at, piece)))
                    return;
                QThread::msleep(100);
            }
        } else if (!writeAll(socket, body)) {
            return;
        }
        if (reply.hangAfterBody) {
            waitForClientToGo();
            return;
        }
        const bool keepAlive = reply.version == "HTTP/1.1"
                                   ? true
                                   : reply.headers.contains(qMakePair(QByteArray("Connection"), QByteArray("keep-alive")));
        if (reply.close || !keepAlive || (!reply.chunked && !reply.withLength)) {
            socket.disconnectFromHost();
            if (socket.state() != QAbstractSocket::UnconnectedState)
                socket.waitForDisconnected(2000);
            return;
        }
    }
}
