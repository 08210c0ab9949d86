#ifndef TESTHTTPSERVER_H
#define TESTHTTPSERVER_H

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

class QTcpSocket;

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// One request as the test server read it.
struct TestRequest
{
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int connection = 0;
    // The common name of the client's certificate, when it showed one.
    QString clientName;

    // The first value of a header, names compared without case; null when absent.
    QByteArray header(const QByteArray &name) const;
    QByteArray path() const;
};

// What the server answers.
struct TestReply
{
    int status = 200;
    QByteArray reason = "OK";
    QByteArray version = "HTTP/1.1";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool chunked = false;
    // Without a length or chunks the body ends where the connection closes.
    bool withLength = true;
    int delayMs = 0;
    // Never answers; the connection stays open until the client goes.
    bool silent = false;
    // Writes the reply, then stays silent with the connection open until the client goes.
    bool hangAfterBody = false;
    bool close = false;
    // Closes the connection at once, without an answer.
    bool drop = false;
    // Paces the body; 0 writes it at once.
    int bytesPerSecond = 0;
    // For CONNECT: "200 Connection established" and the bytes relayed to the target.
    bool tunnel = false;

    static TestReply text(const QByteArray &body, int status = 200);
};

// An HTTP/1.1 server on 127.0.0.1 with a thread per connection, scripted by a handler that
// runs on those threads. TLS when given a certificate and key (PEM files); with a client
// authority as well, only clients with a certificate it issued get through the handshake.
class TestHttpServer
{
public:
    using Handler = std::function<TestReply(const TestRequest &)>;

    explicit TestHttpServer(Handler handler, const QString &certificatePath = QString(),
                            const QString &keyPath = QString(), const QString &clientAuthorityPath = QString());
    ~TestHttpServer();

    quint16 port() const { return m_port; }
    QUrl url(const QString &path = "/") const;
    int connectionCount() const { return m_connections; }
    QList<TestRequest> requests() const;

    // Moves bytes both ways until either side closes.
    static void relayBetween(QTcpSocket &client, QTcpSocket &upstream, const std::atomic<bool> &stop);
    // Clears the proxy variables and keeps GSettings in memory, so nothing reaches beyond 127.0.0.1.
    static void isolateFromProxies();
    // A key and a self-signed certificate for the name, made by openssl into the folder.
    static bool makeCertificate(const QString &folder, const QString &name);

private:
    void acceptLoop();
    void serve(qintptr descriptor, int connection);

    Handler m_handler;
    QByteArray m_certificate;
    QByteArray m_key;
    QList<QSslCertificate> m_clientAuthority;
    bool m_tls;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable QMutex m_lock;
    QList<TestRequest> m_requests;
    std::vector<std::thread> m_threads;
    std::thread m_acceptThread;
};

#endif
