#include "requestrecorder.h"
#include "testhttpserver.h"

#include "support/zrhttprequest.h"
#include "support/zroperationqueue.h"
#include "support/zrpacscript.h"
#include "support/zrproxysettings.h"

#include <QDir>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <future>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <gio/gio.h>

namespace {

// A proxy that answers absolute-form requests itself and tunnels CONNECT.
TestReply proxyReply(const TestRequest &request)
{
    if (request.method == "CONNECT") {
        TestReply reply;
        reply.tunnel = true;
        return reply;
    }
    return TestReply::text("proxied " + request.target);
}

// A SOCKS5 server without authentication that relays to the address asked for.
class SocksServer
{
public:
    SocksServer()
    {
        std::promise<quint16> listening;
        std::future<quint16> port = listening.get_future();
        m_thread = std::thread([this, &listening] {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost, 0);
            listening.set_value(server.serverPort());
            while (!m_stop) {
                if (!server.waitForNewConnection(50))
                    continue;
                QScopedPointer<QTcpSocket> client(server.nextPendingConnection());
                serve(*client);
            }
        });
        m_port = port.get();
    }
    ~SocksServer()
    {
        m_stop = true;
        m_thread.join();
    }
    quint16 port() const { return m_port; }
    std::atomic<int> relayed{0};

private:
    QByteArray readExactly(QTcpSocket &socket, int size)
    {
        QByteArray bytes;
        while (bytes.size() < size && !m_stop && socket.state() == QAbstractSocket::ConnectedState) {
            if (socket.bytesAvailable() || socket.waitForReadyRead(50))
                bytes += socket.read(size - bytes.size());
        }
        return bytes;
    }
    void serve(QTcpSocket &client)
    {
        const QByteArray greeting = readExactly(client, 2);
        readExactly(client, greeting.size() == 2 ? static_cast<unsigned char>(greeting.at(1)) : 0);
        client.write(QByteArray("\x05\x00", 2));
        client.waitForBytesWritten(5000);
        const QByteArray request = readExactly(client, 4);
        if (request.size() != 4 || request.at(1) != 1)
            return;
        QString host;
        if (request.at(3) == 3) {
            const int length = static_cast<unsigned char>(readExactly(client, 1).at(0));
            host = QString::fromLatin1(readExactly(client, length));
        } else {
            const QByteArray address = readExactly(client, 4);
            host = QHostAddress(qFromBigEndian<quint32>(address.constData())).toString();
        }
        const QByteArray portBytes = readExactly(client, 2);
        const quint16 port = qFromBigEndian<quint16>(portBytes.constData());
        QTcpSocket upstream;
        upstream.connectToHost(host, port);
        if (!upstream.waitForConnected(5000))
            return;
        ++relayed;
        client.write(QByteArray("\x05\x00\x00\x01\x00\x00\x00\x00\x00\x00", 10));
        client.waitForBytesWritten(5000);
        TestHttpServer::relayBetween(client, upstream, m_stop);
    }

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    quint16 m_port = 0;
};

void setGnomeProxy(const char *mode, const QString &autoconfig = QString(), int httpPort = 0,
                   const QStringList &ignored = QStringList())
{
    GSettings *settings = g_settings_new("org.gnome.system.proxy");
    g_settings_set_string(settings, "mode", mode);
    g_settings_set_string(settings, "autoconfig-url", autoconfig.toUtf8().constData());
    QList<QByteArray> patterns;
    for (const QString &pattern : ignored)
        patterns << pattern.toUtf8();
    std::vector<const gchar *> strv;
    for (const QByteArray &pattern : qAsConst(patterns))
        strv.push_back(pattern.constData());
    strv.push_back(nullptr);
    g_settings_set_strv(settings, "ignore-hosts", strv.data());
    GSettings *http = g_settings_get_child(settings, "http");
    g_settings_set_string(http, "host", httpPort ? "127.0.0.1" : "");
    g_settings_set_int(http, "port", httpPort);
    g_object_unref(http);
    g_object_unref(settings);
    g_settings_sync();
}

// How many of this process's descriptors are open on the file.
int descriptorsOpenOn(const QString &path)
{
    int count = 0;
    for (const QFileInfo &entry : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.symLinkTarget() == path)
            ++count;
    }
    return count;
}

QByteArray fetch(const QUrl &url, const std::function<void(ZRHTTPRequest *)> &prepare = nullptr,
                 bool asynchronous = false)
{
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(url);
    if (prepare)
        prepare(request.data());
    if (asynchronous) {
        request->startAsynchronous();
        if (!QTest::qWaitFor([&request] { return request->isFinished(); }, 30000))
            return "not finished";
    } else {
        request->startSynchronous();
    }
    if (!request->error().isNull())
        return "error " + request->error().localizedDescription().toUtf8();
    return request->responseData();
}

} // namespace

class TestProxies : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void environmentVariables();
    void gnomeAutoConfiguration_data();
    void gnomeAutoConfiguration();
    void gnomeManual();
    void ownProxyNeverReadsTheSettings();
    void otherPacSchemeGoesDirect();
    void localPacFile_data();
    void localPacFile();
    void endlessPacFileIsGivenUp();
    void endlessPacScriptIsStopped();
    void pacDownloadWithAFullQueue();
    void socksProxy();
    void pacAnswers();
    void pacScriptBounds_data();
    void pacScriptBounds();

private:
    QScopedPointer<TestHttpServer> m_origin;
    QScopedPointer<TestHttpServer> m_proxy;
};

void TestProxies::initTestCase()
{
    TestHttpServer::isolateFromProxies();
    m_origin.reset(new TestHttpServer([](const TestRequest &request) { return TestReply::text("direct " + request.path()); }));
    m_proxy.reset(new TestHttpServer(proxyReply));
}

void TestProxies::init()
{
    TestHttpServer::isolateFromProxies();
    setGnomeProxy("none");
}

void TestProxies::cleanup()
{
    TestHttpServer::isolateFromProxies();
    setGnomeProxy("none");
}

void TestProxies::environmentVariables()
{
    const QByteArray proxyAddress = "http://127.0.0.1:" + QByteArray::number(m_proxy->port());
    qputenv("http_proxy", proxyAddress);
    const QUrl viaProxy = m_origin->url("/env");
    QCOMPARE(fetch(viaProxy), "proxied " + viaProxy.toEncoded());

    qputenv("no_proxy", "localhost,.example.org");
    const QUrl excluded(QString("http://localhost:%1/excluded").arg(m_origin->port()));
    QCOMPARE(fetch(excluded), QByteArray("direct /excluded"));
    QCOMPARE(fetch(viaProxy), "proxied " + viaProxy.toEncoded());

    // Upper case names count as well.
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");
    qputenv("HTTP_PROXY", proxyAddress);
    QCOMPARE(fetch(viaProxy), "proxied " + viaProxy.toEncoded());
}

void TestProxies::gnomeAutoConfiguration_data()
{
    QTest::addColumn<bool>("asynchronous");
    QTest::newRow("synchronous") << false;
    QTest::newRow("asynchronous") << true;
}

void TestProxies::gnomeAutoConfiguration()
{
    QFETCH(bool, asynchronous);
    const QByteArray script = "function FindProxyForURL(url, host) {\n"
                              "  if (isPlainHostName(host)) return \"DIRECT\";\n"
                              "  return \"PROXY 127.0.0.1:"
                              + QByteArray::number(m_proxy->port()) + "; DIRECT\";\n}\n";
    TestHttpServer pac([script](const TestRequest &) { return TestReply::text(script); });
    setGnomeProxy("auto", pac.url("/proxy.pac").toString());
    const QUrl target = m_origin->url("/auto");
    QCOMPARE(fetch(target, nullptr, asynchronous), "proxied " + target.toEncoded());
    QCOMPARE(pac.requests().size(), 1);
    QCOMPARE(pac.requests().at(0).path(), QByteArray("/proxy.pac"));
    QCOMPARE(ZRHTTPRequest::sharedQueue()->maxConcurrentOperationCount(), 4);
}

void TestProxies::gnomeManual()
{
    setGnomeProxy("manual", QString(), m_proxy->port(), {"localhost", "10.0.0.0/8"});
    const QUrl target = m_origin->url("/manual");
    QCOMPARE(fetch(target), "proxied " + target.toEncoded());
    QCOMPARE(fetch(QUrl(QString("http://localhost:%1/ignored").arg(m_origin->port()))),
             QByteArray("direct /ignored"));
}

void TestProxies::ownProxyNeverReadsTheSettings()
{
    TestHttpServer pac([](const TestRequest &) { return TestReply::text("function FindProxyForURL() { return \"DIRECT\"; }"); });
    setGnomeProxy("auto", pac.url("/proxy.pac").toString());
    const QUrl target = m_origin->url("/own");
    QCOMPARE(fetch(target,
                   [this](ZRHTTPRequest *request) {
                       request->setProxyHost("127.0.0.1");
                       request->setProxyPort(m_proxy->port());
                   }),
             "proxied " + target.toEncoded());
    QCOMPARE(pac.requests().size(), 0);
}

void TestProxies::otherPacSchemeGoesDirect()
{
    QCOMPARE(fetch(m_origin->url("/ftp"),
                   [](ZRHTTPRequest *request) { request->setPACurl(QUrl("ftp://127.0.0.1/proxy.pac")); }),
             QByteArray("direct /ftp"));
}

void TestProxies::localPacFile_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("file") << false;
    QTest::newRow("fifo whose writer finishes") << true;
}

void TestProxies::localPacFile()
{
    QFETCH(bool, fifo);
    QTemporaryDir dir;
    const QString path = dir.filePath("local.pac");
    const QByteArray script = "function FindProxyForURL(url, host) { return \"PROXY 127.0.0.1:"
                              + QByteArray::number(m_proxy->port()) + "\"; }";
    int writer = -1;
    if (fifo) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        writer = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(writer >= 0);
        QCOMPARE(::write(writer, script.constData(), static_cast<size_t>(script.size())), ssize_t(script.size()));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(script);
    }
    const QUrl target = m_origin->url("/local");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(target);
    request->setPACurl(QUrl::fromLocalFile(path));
    request->setTimeOutSeconds(60);
    std::atomic<bool> returned{false};
    QScopedPointer<QThread> worker(QThread::create([request, &returned] {
        request->startSynchronous();
        returned = true;
    }));
    worker->start();
    if (fifo) {
        // Once the request holds the FIFO open too, the writer goes, which ends the file.
        QTRY_VERIFY_WITH_TIMEOUT(descriptorsOpenOn(path) >= 2, 30000);
        ::close(writer);
    }
    QVERIFY(worker->wait(30000));
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), "proxied " + target.toEncoded());
}

void TestProxies::endlessPacFileIsGivenUp()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("proxy.pac");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A writer that stays open and never finishes the file.
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    QVERIFY(writer >= 0);
    QCOMPARE(::write(writer, "function FindProxyForURL(u, h) {", 32), ssize_t(32));
    QElapsedTimer clock;
    clock.start();
    const QByteArray answer = fetch(m_origin->url("/fifo"), [&fifo](ZRHTTPRequest *request) {
        request->setPACurl(QUrl::fromLocalFile(fifo));
        request->setTimeOutSeconds(1);
    });
    ::close(writer);
    QCOMPARE(answer, QByteArray("direct /fifo"));
    QVERIFY(clock.elapsed() >= 1000);
}

void TestProxies::endlessPacScriptIsStopped()
{
    TestHttpServer pac([](const TestRequest &) {
        return TestReply::text("function FindProxyForURL(url, host) { for (;;) {} }");
    });
    QCOMPARE(fetch(m_origin->url("/loop"),
                   [&pac](ZRHTTPRequest *request) {
                       request->setPACurl(pac.url("/loop.pac"));
                       request->setTimeOutSeconds(1);
                   },
                   true),
             QByteArray("direct /loop"));
}

void TestProxies::pacDownloadWithAFullQueue()
{
    std::atomic<bool> release{false};
    std::atomic<int> held{0};
    TestHttpServer slow([&release, &held](const TestRequest &) {
        ++held;
        for (int i = 0; i < 600 && !release; ++i)
            QThread::msleep(50);
        return TestReply::text("slow");
    });
    const QByteArray script = "function FindProxyForURL(url, host) { return \"PROXY 127.0.0.1:"
                              + QByteArray::number(m_proxy->port()) + "\"; }";
    TestHttpServer pac([script](const TestRequest &) { return TestReply::text(script); });

    QSharedPointer<ZRHTTPRequest> owner = ZRHTTPRequest::requestWithURL(m_origin->url("/owner"));
    owner->setPACurl(pac.url("/proxy.pac"));
    owner->startAsynchronous();
    QList<QSharedPointer<ZRHTTPRequest>> others;
    for (int i = 0; i < 5; ++i) {
        others << ZRHTTPRequest::requestWithURL(slow.url(QString("/%1").arg(i)));
        others.last()->startAsynchronous();
    }
    QTRY_VERIFY_WITH_TIMEOUT(owner->isFinished(), 30000);
    QCOMPARE(owner->responseData(), "proxied " + m_origin->url("/owner").toEncoded());
    release = true;
    for (const QSharedPointer<ZRHTTPRequest> &other : qAsConst(others))
        QTRY_VERIFY_WITH_TIMEOUT(other->isFinished(), 30000);
    QCOMPARE(ZRHTTPRequest::sharedQueue()->maxConcurrentOperationCount(), 4);
}

void TestProxies::socksProxy()
{
    SocksServer socks;
    QCOMPARE(fetch(m_origin->url("/socks"),
                   [&socks](ZRHTTPRequest *request) {
                       request->setProxyHost("127.0.0.1");
                       request->setProxyPort(socks.port());
                       request->setProxyType("SOCKS");
                   }),
             QByteArray("direct /socks"));
    QCOMPARE(socks.relayed.load(), 1);
}

void TestProxies::pacAnswers()
{
    const QList<QVariantMap> proxies =
        ZrProxySettings::proxiesFromPACAnswer("PROXY a.example:8080; SOCKS5 b.example:1080; BOGUS c:1; DIRECT");
    QCOMPARE(proxies.size(), 3);
    QCOMPARE(proxies.at(0).value("Host").toString(), QString("a.example"));
    QCOMPARE(proxies.at(0).value("Port").toInt(), 8080);
    QCOMPARE(proxies.at(1).value("Type").toString(), QString("SOCKS"));
    QCOMPARE(proxies.at(2).value("Type").toString(), QString("None"));
    QVERIFY(ZrProxySettings::hostMatches("www.example.org", {".example.org"}));
    QVERIFY(ZrProxySettings::hostMatches("10.1.2.3", {"10.0.0.0/8"}));
    QVERIFY(!ZrProxySettings::hostMatches("example.com", {"example.org", "*.example.org"}));
}

void TestProxies::pacScriptBounds_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<double>("timeOutSeconds");
    const QString loop = "{ toString: function () { for (;;) {} } }";
    QTest::newRow("answer") << "function FindProxyForURL(url, host) { return \"PROXY a.example:1\"; }"
                            << "a.example" << 1.0;
    QTest::newRow("strict script") << "\"use strict\";\nfunction FindProxyForURL(url, host) { return \"PROXY b.example:2\"; }"
                                   << "b.example" << 1.0;
    QTest::newRow("answer whose conversion loops") << "function FindProxyForURL(url, host) { return " + loop + "; }"
                                                   << QString() << 1.0;
    QTest::newRow("thrown value whose conversion loops")
        << "function FindProxyForURL(url, host) { throw " + loop + "; }" << QString() << 1.0;
    QTest::newRow("thrown answer") << "function FindProxyForURL(url, host) { throw \"PROXY c.example:3\"; }"
                                   << QString() << 1.0;
    QTest::newRow("thrown while loading") << "throw \"PROXY d.example:4\";" << QString() << 1.0;
    QTest::newRow("string conversion that loops, not used")
        << "String.prototype.toString = function () { for (;;) {} };\n"
           "Object.prototype.toString = String.prototype.toString;\n"
           "function FindProxyForURL(url, host) { return \"PROXY e.example:5\"; }"
        << "e.example" << 1.0;
    QTest::newRow("endless loading") << "for (;;) {}\nfunction FindProxyForURL(url, host) { return \"DIRECT\"; }"
                                     << QString() << 1.0;
    // Far larger than any real proxy script: refused before it is parsed, even with time to spare.
    QTest::newRow("48 MB") << "function FindProxyForURL(url, host) { return \"PROXY f.example:6\"; }\n"
                                  + QString("// padding\n").repeated((48 << 20) / 11)
                           << QString() << 600.0;
}

void TestProxies::pacScriptBounds()
{
    QFETCH(QString, script);
    QFETCH(QString, answer);
    QFETCH(double, timeOutSeconds);
    ZrError error;
    const QList<QVariantMap> proxies =
        ZrPacScript::proxiesForURL(script, QUrl("http://www.example.org/"), timeOutSeconds, &error);
    if (answer.isEmpty()) {
        QVERIFY(proxies.isEmpty());
        QVERIFY(!error.isNull());
        return;
    }
    QVERIFY2(error.isNull(), qPrintable(error.localizedDescription()));
    QCOMPARE(proxies.value(0).value("Host").toString(), answer);
}

QTEST_GUILESS_MAIN(TestProxies)
#include "tst_zrhttprequest_proxy.moc"
