#include "requestrecorder.h"
#include "testhttpserver.h"
#include "testfiles.h"

#include "support/zrcachedelegate.h"
#include "support/zrcookiestorage.h"
#include "support/zrdatacompressor.h"
#include "support/zrhttprequest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

using Header = QPair<QByteArray, QByteArray>;

TestReply silence(const TestRequest &)
{
    TestReply reply;
    reply.silent = true;
    return reply;
}

TestReply redirect(int status, const QByteArray &location)
{
    TestReply reply = TestReply::text("moved", status);
    if (!location.isNull())
        reply.headers << Header("Location", location);
    return reply;
}

// A download cache that serves one stored answer for any URL.
class FakeCache : public ZRCacheDelegate
{
public:
    QVariantMap headers;
    QByteArray data;
    QString dataPath;
    QList<QUrl> served;

    int defaultCachePolicy() const override { return 0; }
    bool canUseCachedDataForRequest(ZRHTTPRequest *request) override
    {
        return request->url().path() == "/cached";
    }
    QVariantMap cachedResponseHeadersForURL(const QUrl &url) override
    {
        served << url;
        return headers;
    }
    QString pathToCachedResponseDataForURL(const QUrl &) override { return dataPath; }
    QByteArray cachedResponseDataForURL(const QUrl &) override { return data; }
    void storeResponseForRequest(ZRHTTPRequest *, double) override {}
    void updateExpiryForRequest(ZRHTTPRequest *, double) override {}
    void clearCachedResponsesForStoragePolicy(int) override {}
};

// A download cache that keeps what it is given, in memory and in files, and serves an entry
// again when the server says it has not changed.
class RevalidatingCache : public ZRCacheDelegate
{
public:
    explicit RevalidatingCache(const QString &folder) : m_folder(folder) {}

    QMap<QUrl, QVariantMap> headers;
    QMap<QUrl, QByteArray> data;
    int expiryUpdates = 0;

    int defaultCachePolicy() const override { return 8; }
    bool canUseCachedDataForRequest(ZRHTTPRequest *request) override
    {
        return headers.contains(request->url()) && request->responseStatusCode() == 304;
    }
    QVariantMap cachedResponseHeadersForURL(const QUrl &url) override { return headers.value(url); }
    QString pathToCachedResponseDataForURL(const QUrl &url) override
    {
        return data.contains(url) ? m_folder + "/" + QString::number(qHash(url)) : QString();
    }
    QByteArray cachedResponseDataForURL(const QUrl &url) override { return data.value(url); }
    void storeResponseForRequest(ZRHTTPRequest *request, double) override
    {
        QVariantMap stored = request->responseHeaders();
        stored.insert("X-ZRHTTPRequest-Response-Status-Code", request->responseStatusCode());
        headers.insert(request->url(), stored);
        data.insert(request->url(), request->responseData());
        writeFile(pathToCachedResponseDataForURL(request->url()), request->responseData());
    }
    void updateExpiryForRequest(ZRHTTPRequest *, double) override { ++expiryUpdates; }
    void clearCachedResponsesForStoragePolicy(int) override {}

private:
    QString m_folder;
};

} // namespace

Q_DECLARE_METATYPE(TestReply)
Q_DECLARE_METATYPE(std::function<void(ZRHTTPRequest *)>)

class TestTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sequentialRequestsShareOneConnection_data();
    void sequentialRequestsShareOneConnection();
    void anotherPortMakesAnotherRecord();
    void nextRequestOnTheThreadStartsClean_data();
    void nextRequestOnTheThreadStartsClean();
    void keepAliveDecidesReuse_data();
    void keepAliveDecidesReuse();
    void closedKeptConnectionIsRetriedSilently();
    void slowAnswerWithinTheTimeOut();
    void silentServerTimesOut();
    void retriesOnTimeOutUseNewConnections();
    void sentBodyGetsHalfAsLongAgain();
    void tls_data();
    void tls();
    void redirectRules_data();
    void redirectRules();
    void sixthRedirectFails();
    void delegateConfirmsRedirect();
    void fileLocationIsRefused();
    void redirectToAnotherHostDropsCredentials();
    void bodies_data();
    void bodies();
    void gzipIntoFiles_data();
    void gzipIntoFiles();
    void dataDelegateGetsEveryByte();
    void unsizedDownloadReportsOneStep();
    void downloadReplacesDestination();
    void failedMoveKeepsDestination();
    void cancelStopsASynchronousRequestOnItsThread();
    void resume_data();
    void resume();
    void bodyFromDiskArrivesWhole_data();
    void bodyFromDiskArrivesWhole();
    void bodyIsSentAgainWhenAKeptConnectionDies_data();
    void bodyIsSentAgainWhenAKeptConnectionDies();
    void cachedRedirectIsFollowed();
    void throttledDownloadTakesItsTime();
    void statusTimerAndNetworkUseFollowTheRequest_data();
    void statusTimerAndNetworkUseFollowTheRequest();
    void cookiesComeBackFromTheSharedStorage();
    void cacheIsRevalidated();
    void clientCertificateOpensTheDoor_data();
    void clientCertificateOpensTheDoor();

private:
    QTemporaryDir m_dir;
};

void TestTransport::initTestCase()
{
    TestHttpServer::isolateFromProxies();
    QVERIFY(m_dir.isValid());
    QVERIFY(TestHttpServer::makeCertificate(m_dir.path(), "127.0.0.1"));
    QVERIFY(TestHttpServer::makeCertificate(m_dir.path(), "other.example"));
    QVERIFY(TestHttpServer::makeCertificate(m_dir.path(), "client"));
}

void TestTransport::sequentialRequestsShareOneConnection_data()
{
    QTest::addColumn<bool>("asynchronous");
    QTest::newRow("synchronous") << false;
    QTest::newRow("asynchronous") << true;
}

void TestTransport::sequentialRequestsShareOneConnection()
{
    QFETCH(bool, asynchronous);
    TestHttpServer server([](const TestRequest &) { return TestReply::text("hello"); });
    QList<quint64> ids;
    for (int i = 0; i < 2; ++i) {
        QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url(QString("/%1").arg(i)));
        if (asynchronous) {
            request->startAsynchronous();
            QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
        } else {
            request->startSynchronous();
        }
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseStatusCode(), 200);
        QCOMPARE(request->responseData(), QByteArray("hello"));
        ids << request->connectionID();
    }
    QCOMPARE(server.connectionCount(), 1);
    QVERIFY(ids.at(0) != 0);
    QCOMPARE(ids.at(0), ids.at(1));
}

void TestTransport::nextRequestOnTheThreadStartsClean_data()
{
    QTest::addColumn<std::function<void(ZRHTTPRequest *)>>("prepareFirst");
    QTest::addColumn<QByteArray>("firstMethod");
    QTest::newRow("POST with a body") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->appendPostData("first body");
    }) << QByteArray("POST");
    QTest::newRow("PUT with a body") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->setRequestMethod("PUT");
        request->appendPostData("first body");
    }) << QByteArray("PUT");
    QTest::newRow("HEAD") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->setRequestMethod("HEAD");
    }) << QByteArray("HEAD");
    QTest::newRow("DELETE with own headers") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->setRequestMethod("DELETE");
        request->addRequestHeader("X-First", "only the first");
    }) << QByteArray("DELETE");
}

void TestTransport::nextRequestOnTheThreadStartsClean()
{
    // What one request set on the transport never reaches the next one on the same thread.
    QFETCH(std::function<void(ZRHTTPRequest *)>, prepareFirst);
    QFETCH(QByteArray, firstMethod);
    TestHttpServer server([](const TestRequest &) { return TestReply::text("hello"); });
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(server.url("/first"));
    prepareFirst(first.data());
    first->startSynchronous();
    QVERIFY2(first->error().isNull(), qPrintable(first->error().localizedDescription()));
    QSharedPointer<ZRHTTPRequest> second = ZRHTTPRequest::requestWithURL(server.url("/second"));
    second->startSynchronous();
    QVERIFY2(second->error().isNull(), qPrintable(second->error().localizedDescription()));
    QCOMPARE(second->responseData(), QByteArray("hello"));

    const QList<TestRequest> requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).method, firstMethod);
    QCOMPARE(requests.at(1).method, QByteArray("GET"));
    QCOMPARE(requests.at(1).path(), QByteArray("/second"));
    QVERIFY(requests.at(1).body.isEmpty());
    QVERIFY(requests.at(1).header("Content-Length").isNull());
    QVERIFY(requests.at(1).header("X-First").isNull());
}

void TestTransport::anotherPortMakesAnotherRecord()
{
    TestHttpServer first([](const TestRequest &) { return TestReply::text("one"); });
    TestHttpServer second([](const TestRequest &) { return TestReply::text("two"); });
    QSharedPointer<ZRHTTPRequest> a = ZRHTTPRequest::requestWithURL(first.url());
    a->startSynchronous();
    QSharedPointer<ZRHTTPRequest> b = ZRHTTPRequest::requestWithURL(second.url());
    b->startSynchronous();
    QCOMPARE(b->responseData(), QByteArray("two"));
    QVERIFY(a->connectionID() != b->connectionID());
}

void TestTransport::keepAliveDecidesReuse_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QList<Header>>("headers");
    QTest::addColumn<int>("connections");

    QTest::newRow("max above five") << QByteArray("HTTP/1.1")
                                    << QList<Header>{{"Keep-Alive", "timeout=15, max=100"}} << 1;
    QTest::newRow("max of five") << QByteArray("HTTP/1.1") << QList<Header>{{"Keep-Alive", "timeout=15, max=5"}}
                                 << 2;
    QTest::newRow("HTTP/1.0 plain") << QByteArray("HTTP/1.0") << QList<Header>{} << 2;
    QTest::newRow("HTTP/1.0 keep-alive") << QByteArray("HTTP/1.0")
                                         << QList<Header>{{"Connection", "keep-alive"}} << 1;
}

void TestTransport::keepAliveDecidesReuse()
{
    QFETCH(QByteArray, version);
    QFETCH(QList<Header>, headers);
    QFETCH(int, connections);

    TestHttpServer server([version, headers](const TestRequest &) {
        TestReply reply = TestReply::text("kept?");
        reply.version = version;
        reply.headers << headers;
        return reply;
    });
    QList<quint64> ids;
    for (int i = 0; i < 2; ++i) {
        QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
        request->startSynchronous();
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseData(), QByteArray("kept?"));
        ids << request->connectionID();
        if (i == 0 && headers.contains(Header("Keep-Alive", "timeout=15, max=100")))
            QCOMPARE(request->persistentConnectionTimeoutSeconds(), 15.0);
    }
    QCOMPARE(server.connectionCount(), connections);
    QCOMPARE(ids.at(0) == ids.at(1), connections == 1);
}

void TestTransport::closedKeptConnectionIsRetriedSilently()
{
    std::atomic<int> answered{0};
    TestHttpServer server([&answered](const TestRequest &) {
        TestReply reply = TestReply::text("once per connection");
        // The server drops the connection without saying so.
        reply.close = true;
        ++answered;
        return reply;
    });
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(server.url("/a"));
    first->startSynchronous();
    QVERIFY(first->error().isNull());
    QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount(), 1, 10000);
    QSharedPointer<ZRHTTPRequest> second = ZRHTTPRequest::requestWithURL(server.url("/b"));
    second->startSynchronous();
    QVERIFY2(second->error().isNull(), qPrintable(second->error().localizedDescription()));
    QCOMPARE(second->responseData(), QByteArray("once per connection"));
    QCOMPARE(server.connectionCount(), 2);
    QCOMPARE(answered.load(), 2);
}

void TestTransport::slowAnswerWithinTheTimeOut()
{
    TestHttpServer server([](const TestRequest &) {
        TestReply reply = TestReply::text("late but fine");
        reply.delayMs = 700;
        return reply;
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setTimeOutSeconds(1);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), QByteArray("late but fine"));
}

void TestTransport::silentServerTimesOut()
{
    TestHttpServer server(silence);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setTimeOutSeconds(1);
    QElapsedTimer clock;
    clock.start();
    request->startSynchronous();
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(request->error().code(), 2);
    QCOMPARE(request->error().localizedDescription(), QString("The request timed out"));
    QVERIFY2(elapsed >= 1000, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < 8000, qPrintable(QString::number(elapsed)));
}

void TestTransport::retriesOnTimeOutUseNewConnections()
{
    TestHttpServer server(silence);
    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDelegate(&delegate);
    request->setTimeOutSeconds(1);
    request->setNumberOfTimesToRetryOnTimeout(2);
    QElapsedTimer clock;
    clock.start();
    request->startSynchronous();
    QVERIFY(clock.elapsed() >= 3000);
    QCOMPARE(request->error().code(), 2);
    QCOMPARE(server.connectionCount(), 3);
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(delegate.count("failed"), 1);
}

void TestTransport::sentBodyGetsHalfAsLongAgain()
{
    TestHttpServer server(silence);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setTimeOutSeconds(1);
    request->appendPostData("small body");
    QElapsedTimer clock;
    clock.start();
    request->startSynchronous();
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(request->error().code(), 2);
    QVERIFY2(elapsed >= 1500, qPrintable(QString::number(elapsed)));
    QCOMPARE(server.requests().value(0).body, QByteArray("small body"));
}

void TestTransport::tls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("validates");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("self-signed, validated") << "127.0.0.1" << true << false;
    QTest::newRow("self-signed, not validated") << "127.0.0.1" << false << true;
    QTest::newRow("another name, validated") << "other.example" << true << false;
}

void TestTransport::tls()
{
    QFETCH(QString, name);
    QFETCH(bool, validates);
    QFETCH(bool, succeeds);
    TestHttpServer server([](const TestRequest &) { return TestReply::text("secret"); },
                          m_dir.filePath(name + ".pem"), m_dir.filePath(name + ".key"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setValidatesSecureCertificate(validates);
    request->setTimeOutSeconds(20);
    request->startSynchronous();
    if (succeeds) {
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseData(), QByteArray("secret"));
        return;
    }
    QCOMPARE(request->error().code(), 1);
    QVERIFY2(request->error().localizedDescription().endsWith(
                 ": SSL problem (Possible causes may include a bad/expired/self-signed certificate, clock set to "
                 "wrong date)"),
             qPrintable(request->error().localizedDescription()));
    QVERIFY(!request->error().underlyingError().isNull());
}

void TestTransport::redirectRules_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("followedMethod");
    QTest::addColumn<QByteArray>("followedBody");
    QTest::addColumn<bool>("customHeaderKept");
    QTest::addColumn<QByteArray>("followedPath");

    QTest::newRow("302 after POST") << 302 << QByteArray("/target") << QByteArray("GET") << QByteArray() << false
                                    << QByteArray("/target");
    QTest::newRow("303 after POST") << 303 << QByteArray("/target") << QByteArray("GET") << QByteArray() << false
                                    << QByteArray("/target");
    QTest::newRow("307 keeps everything") << 307 << QByteArray("/target") << QByteArray("POST")
                                          << QByteArray("payload=1") << true << QByteArray("/target");
    QTest::newRow("relative location") << 302 << QByteArray("../other/place?x=1") << QByteArray("GET") << QByteArray()
                                       << false << QByteArray("/other/place?x=1");
    QTest::newRow("302 without location") << 302 << QByteArray() << QByteArray() << QByteArray() << false
                                          << QByteArray();
}

void TestTransport::redirectRules()
{
    QFETCH(int, status);
    QFETCH(QByteArray, location);
    QFETCH(QByteArray, followedMethod);
    QFETCH(QByteArray, followedBody);
    QFETCH(bool, customHeaderKept);
    QFETCH(QByteArray, followedPath);

    TestHttpServer server([status, location](const TestRequest &request) {
        if (request.path().startsWith("/start/"))
            return redirect(status, location);
        return TestReply::text("arrived");
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/start/here"));
    request->appendPostData("payload=1");
    request->addRequestHeader("X-Custom", "yes");
    request->addRequestHeader("Accept", "text/plain");
    request->setUserAgentString("Tester/1.0");
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));

    const QList<TestRequest> seen = server.requests();
    QCOMPARE(seen.value(0).method, QByteArray("POST"));
    if (followedMethod.isEmpty()) {
        QCOMPARE(seen.size(), 1);
        QCOMPARE(request->responseStatusCode(), 302);
        return;
    }
    QCOMPARE(seen.size(), 2);
    const TestRequest followed = seen.at(1);
    QCOMPARE(followed.method, followedMethod);
    QCOMPARE(followed.target, followedPath);
    QCOMPARE(followed.body, followedBody);
    QCOMPARE(followed.header("X-Custom").isNull(), !customHeaderKept);
    QCOMPARE(followed.header("Accept"), QByteArray("text/plain"));
    QCOMPARE(followed.header("User-Agent"), QByteArray("Tester/1.0"));
    QCOMPARE(request->responseStatusCode(), 200);
    QCOMPARE(request->url(), server.url(QString::fromLatin1(followedPath)));
    QCOMPARE(request->originalURL(), server.url("/start/here"));
}

void TestTransport::sixthRedirectFails()
{
    TestHttpServer server([](const TestRequest &request) {
        const int step = request.path().mid(1).toInt();
        return redirect(302, "/" + QByteArray::number(step + 1));
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/0"));
    request->startSynchronous();
    QCOMPARE(request->error().code(), 9);
    QCOMPARE(request->error().localizedDescription(),
             QString("The request failed because it redirected too many times"));
    QCOMPARE(server.requests().size(), 6);
}

void TestTransport::delegateConfirmsRedirect()
{
    TestHttpServer server([](const TestRequest &request) {
        if (request.path() == "/from")
            return redirect(302, "/to");
        return TestReply::text(request.path());
    });
    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/from"));
    request->setDelegate(&delegate);
    request->startAsynchronous();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("willRedirect"), 1, 30000);
    QCOMPARE(delegate.redirectURL, server.url("/to"));
    QVERIFY(!request->isFinished());
    QCOMPARE(server.requests().size(), 1);

    request->redirectToURL(server.url("/chosen"));
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("finished"), 1, 30000);
    // This delegate takes the body as it arrives.
    QVERIFY2(delegate.data.endsWith("/chosen"), delegate.data.constData());
    QCOMPARE(request->url(), server.url("/chosen"));
    QCOMPARE(delegate.count("redirected"), 1);
}

void TestTransport::fileLocationIsRefused()
{
    const QString local = m_dir.filePath("local-secret");
    QVERIFY(writeFile(local, "must not be read"));
    TestHttpServer server([local](const TestRequest &) {
        return redirect(302, QUrl::fromLocalFile(local).toEncoded());
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/go"));
    request->startSynchronous();
    QCOMPARE(request->error().code(), 5);
    QVERIFY(!request->responseData().contains("must not be read"));
}

void TestTransport::redirectToAnotherHostDropsCredentials()
{
    TestHttpServer other([](const TestRequest &) { return TestReply::text("other"); });
    const QByteArray target = other.url("/landing").toEncoded();
    TestHttpServer origin([target](const TestRequest &) { return redirect(307, target); });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(origin.url("/start"));
    request->addRequestHeader("Authorization", "Bearer origin-only");
    request->setRequestCookies({QNetworkCookie("session", "origin")});
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(origin.requests().value(0).header("Authorization"), QByteArray("Bearer origin-only"));
    QCOMPARE(origin.requests().value(0).header("Cookie"), QByteArray("session=origin"));
    const TestRequest followed = other.requests().value(0);
    QCOMPARE(followed.method, QByteArray("GET"));
    QVERIFY(followed.header("Authorization").isNull());
    QVERIFY(followed.header("Cookie").isNull());
}

void TestTransport::bodies_data()
{
    QTest::addColumn<TestReply>("reply");
    QTest::addColumn<bool>("waitToInflate");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    const QByteArray plain = patternBytes(150000);
    TestReply chunked = TestReply::text(plain);
    chunked.chunked = true;
    QTest::newRow("chunked") << chunked << true << plain << plain << QString();

    const QByteArray compressed = ZRDataCompressor::compressData(plain);
    TestReply gzip = TestReply::text(compressed);
    gzip.headers << Header("Content-Encoding", "gzip");
    QTest::newRow("gzip kept compressed") << gzip << true << compressed << plain << QString();
    QTest::newRow("gzip inflated on the fly") << gzip << false << plain << plain << QString();

    TestReply unsized = TestReply::text("until the connection closes");
    unsized.withLength = false;
    TestReply leadingZero = TestReply::text("0123456789");
    leadingZero.withLength = false;
    leadingZero.headers << Header("Content-Length", "010");
    QTest::newRow("length with a leading zero") << leadingZero << true << QByteArray("0123456789")
                                                << QByteArray("0123456789") << QString();

    QTest::newRow("no length") << unsized << true << QByteArray("until the connection closes")
                               << QByteArray("until the connection closes") << QString();

    TestReply utf8 = TestReply::text("gr\xc3\xbc\xc3\x9f");
    utf8.headers = {Header("Content-Type", "text/html; charset=utf-8")};
    QTest::newRow("UTF-8") << utf8 << true << QByteArray("gr\xc3\xbc\xc3\x9f") << QByteArray("gr\xc3\xbc\xc3\x9f")
                           << QString::fromUtf8("grüß");
    TestReply latin = TestReply::text("gr\xfc\xdf");
    QTest::newRow("Latin-1 by default") << latin << true << QByteArray("gr\xfc\xdf") << QByteArray("gr\xfc\xdf")
                                        << QString::fromUtf8("grüß");
}

void TestTransport::bodies()
{
    QFETCH(TestReply, reply);
    QFETCH(bool, waitToInflate);
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, data);
    QFETCH(QString, text);

    TestHttpServer server([reply](const TestRequest &) { return reply; });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setShouldWaitToInflateCompressedResponses(waitToInflate);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->rawResponseData(), raw);
    QCOMPARE(request->responseData(), data);
    QCOMPARE(request->contentLength(), quint64(reply.body.size()));
    QCOMPARE(request->totalBytesRead(), quint64(reply.body.size()));
    if (!text.isEmpty())
        QCOMPARE(request->responseString(), text);
}

void TestTransport::gzipIntoFiles_data()
{
    QTest::addColumn<bool>("waitToInflate");
    QTest::newRow("inflated at the end") << true;
    QTest::newRow("inflated on the fly") << false;
}

void TestTransport::gzipIntoFiles()
{
    QFETCH(bool, waitToInflate);
    const QByteArray plain = patternBytes(400000);
    TestReply gzip = TestReply::text(ZRDataCompressor::compressData(plain));
    gzip.headers << Header("Content-Encoding", "gzip");
    TestHttpServer server([gzip](const TestRequest &) { return gzip; });
    const QString destination = m_dir.filePath(QString("inflated-%1").arg(waitToInflate));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setShouldWaitToInflateCompressedResponses(waitToInflate);
    request->setDownloadDestinationPath(destination);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(readFile(destination), plain);
    QVERIFY(request->rawResponseData().isEmpty());
}

void TestTransport::dataDelegateGetsEveryByte()
{
    const QByteArray plain = patternBytes(300000);
    TestHttpServer server([plain](const TestRequest &) { return TestReply::text(plain); });
    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDelegate(&delegate);
    request->startAsynchronous();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("finished"), 1, 30000);
    QCOMPARE(delegate.data, plain);
    QVERIFY(delegate.count("data") > 1);
    QVERIFY(request->rawResponseData().isEmpty());
    QVERIFY(!delegate.offMainThread);
    QCOMPARE(delegate.count("started"), 1);
    QCOMPARE(delegate.count("headers"), 1);
}

void TestTransport::unsizedDownloadReportsOneStep()
{
    TestReply unsized = TestReply::text(patternBytes(200000));
    unsized.withLength = false;
    TestHttpServer server([unsized](const TestRequest &) { return unsized; });
    RequestRecorder progress("progress");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadProgressDelegate(&progress);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(progress.count("receivedBytes"), 1);
    QCOMPARE(progress.sums.value("receivedBytes"), qint64(1));
    QCOMPARE(progress.sums.value("downloadSize"), qint64(1));
    QCOMPARE(progress.values.last(), 1.0);
}

void TestTransport::downloadReplacesDestination()
{
    const QByteArray plain = patternBytes(70000);
    TestHttpServer server([plain](const TestRequest &) { return TestReply::text(plain); });
    const QString destination = m_dir.filePath("replaced");
    QVERIFY(writeFile(destination, "an older and different file that is longer than nothing"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadDestinationPath(destination);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(readFile(destination), plain);
    QVERIFY(request->temporaryFileDownloadPath().isEmpty());
}

void TestTransport::failedMoveKeepsDestination()
{
    TestHttpServer server([](const TestRequest &) { return TestReply::text("new contents"); });
    // A folder cannot be replaced by a file: the move fails and the folder stays.
    const QString destination = m_dir.filePath("occupied");
    QVERIFY(QDir().mkpath(destination + "/inside"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadDestinationPath(destination);
    request->startSynchronous();
    QCOMPARE(request->error().code(), 8);
    QVERIFY(request->error().localizedDescription().startsWith("Failed to move file from '"));
    QVERIFY(QFileInfo(destination + "/inside").isDir());
}

void TestTransport::cancelStopsASynchronousRequestOnItsThread()
{
    TestHttpServer server(silence);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setTimeOutSeconds(120);
    std::atomic<bool> returned{false};
    QScopedPointer<QThread> worker(QThread::create([request, &returned] {
        request->startSynchronous();
        returned = true;
    }));
    worker->start();
    QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 30000);
    request->cancel();
    QVERIFY(worker->wait(30000));
    QVERIFY(returned.load());
    QCOMPARE(request->error().code(), 4);
    QVERIFY(request->isCancelled());
}

void TestTransport::resume_data()
{
    QTest::addColumn<QString>("behaviour");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("wholeFile");
    QTest::newRow("206 for the rest") << "partial" << 206 << true;
    QTest::newRow("Range ignored") << "whole" << 200 << true;
    QTest::newRow("416") << "refuse" << 416 << false;
}

void TestTransport::resume()
{
    QFETCH(QString, behaviour);
    QFETCH(int, status);
    QFETCH(bool, wholeFile);

    const QByteArray whole = patternBytes(5000);
    TestHttpServer server([whole, behaviour](const TestRequest &request) {
        if (behaviour == "partial" && request.header("Range") == "bytes=1000-") {
            TestReply reply = TestReply::text(whole.mid(1000), 206);
            reply.headers << Header("Content-Range", "bytes 1000-4999/5000");
            return reply;
        }
        if (behaviour == "refuse") {
            TestReply reply = TestReply::text("", 416);
            reply.headers << Header("Content-Range", "bytes */5000");
            return reply;
        }
        return TestReply::text(whole);
    });
    const QString destination = m_dir.filePath("resumed-" + behaviour);
    const QString partial = destination + ".part";
    QVERIFY(writeFile(partial, whole.left(1000)));

    RequestRecorder progress("progress");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/file"));
    request->setDownloadDestinationPath(destination);
    request->setTemporaryFileDownloadPath(partial);
    request->setAllowResumeForFileDownloads(true);
    request->setDownloadProgressDelegate(&progress);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(server.requests().value(0).header("Range"), QByteArray("bytes=1000-"));
    QCOMPARE(request->responseStatusCode(), status);
    if (wholeFile)
        QCOMPARE(readFile(destination), whole);
    else
        QVERIFY(!readFile(destination).startsWith(whole.left(1000)));
    // The sizes announced add up to what the file really holds.
    if (wholeFile)
        QCOMPARE(progress.sums.value("downloadSize"), qint64(5000));
}

void TestTransport::bodyFromDiskArrivesWhole_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("removeSource");
    QTest::addColumn<bool>("redirect");
    QTest::newRow("a file") << QByteArray() << QByteArray() << false << false;
    QTest::newRow("bytes, a file, bytes") << QByteArray("head:") << QByteArray(":tail") << false << false;
    QTest::newRow("a file removed once appended") << QByteArray("head:") << QByteArray() << true << false;
    QTest::newRow("sent again after a redirect") << QByteArray("head:") << QByteArray(":tail") << false << true;
}

// The body is read from its pieces as it is sent: the request writes no copy of it meanwhile.
void TestTransport::bodyFromDiskArrivesWhole()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, removeSource);
    QFETCH(bool, redirect);
    const QByteArray contents = patternBytes(300 * 1024);
    const QString path = m_dir.filePath("upload-source");
    QVERIFY(writeFile(path, contents));
    QTemporaryDir temporary(m_dir.filePath("tmp-XXXXXX"));
    const TemporaryFolder folder(temporary.path());
    const QString temporaryPath = temporary.path();
    QMutex bytesLock;
    qint64 temporaryBytes = 0;
    TestHttpServer server([&](const TestRequest &request) {
        {
            QMutexLocker locker(&bytesLock);
            for (const QFileInfo &file : QDir(temporaryPath).entryInfoList(QDir::Files))
                temporaryBytes += file.size();
        }
        if (request.path() == "/upload" && redirect)
            return ::redirect(307, "/again");
        return TestReply::text(QByteArray::number(request.body.size()));
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/upload"));
    request->setShouldStreamPostDataFromDisk(true);
    request->appendPostData(before);
    request->appendPostDataFromFile(path);
    request->appendPostData(after);
    if (removeSource)
        QVERIFY(QFile::remove(path));
    request->setRequestMethod("PUT");
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    const QByteArray body = before + contents + after;
    QCOMPARE(server.requests().size(), redirect ? 2 : 1);
    for (const TestRequest &sent : server.requests()) {
        QCOMPARE(sent.method, QByteArray("PUT"));
        QCOMPARE(sent.body, body);
    }
    QCOMPARE(request->totalBytesSent(), quint64(body.size()));
    QCOMPARE(temporaryBytes, qint64(0));
    QCOMPARE(QDir(temporaryPath).entryList(QDir::Files), QStringList());
}

void TestTransport::bodyIsSentAgainWhenAKeptConnectionDies_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("memory") << "memory";
    QTest::newRow("pieces of bytes and a file") << "pieces";
    QTest::newRow("the caller's body file") << "body file";
}

// The server closes a kept connection on reading the body: curl sends it again on a new
// connection, from its start.
void TestTransport::bodyIsSentAgainWhenAKeptConnectionDies()
{
    QFETCH(QString, source);
    const QByteArray contents = patternBytes(300 * 1024);
    const QString path = m_dir.filePath("upload-source");
    QVERIFY(writeFile(path, contents));
    std::atomic<int> firstConnection{-1};
    TestHttpServer server([&firstConnection](const TestRequest &request) {
        if (request.path() == "/first") {
            firstConnection = request.connection;
            return TestReply::text("first");
        }
        TestReply reply = TestReply::text(QByteArray::number(request.body.size()));
        reply.drop = request.connection == firstConnection;
        return reply;
    });
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(server.url("/first"));
    first->startSynchronous();
    QVERIFY(first->error().isNull());

    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/upload"));
    QByteArray body = contents;
    if (source == "memory") {
        request->appendPostData(contents);
    } else if (source == "pieces") {
        request->setShouldStreamPostDataFromDisk(true);
        request->appendPostData("head:");
        request->appendPostDataFromFile(path);
        body = "head:" + contents;
    } else {
        request->setShouldStreamPostDataFromDisk(true);
        request->setPostBodyFilePath(path);
    }
    request->setRequestMethod("PUT");
    request->setShouldAttemptPersistentConnection(true);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.requests().at(1).connection, firstConnection.load());
    QVERIFY(server.requests().at(2).connection != firstConnection.load());
    QCOMPARE(server.requests().at(2).body, body);
    QCOMPARE(request->responseString(), QString::number(body.size()));
}

void TestTransport::cachedRedirectIsFollowed()
{
    TestHttpServer server([](const TestRequest &request) { return TestReply::text("live " + request.path()); });
    FakeCache cache;
    cache.headers = {{"X-ZRHTTPRequest-Response-Status-Code", "302"},
                     {"Location", server.url("/live").toString()},
                     {"Content-Length", "0"}};
    cache.dataPath = m_dir.filePath("cached-body");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/cached"), &cache);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), QByteArray("live /live"));
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(cache.served.value(0), server.url("/cached"));
}

void TestTransport::throttledDownloadTakesItsTime()
{
    const QByteArray body = patternBytes(100000);
    TestHttpServer server([body](const TestRequest &) { return TestReply::text(body); });
    // A window of its own: what earlier tests sent within the current second would be paid back here.
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::setMaxBandwidthPerSecond(20000);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setTimeOutSeconds(60);
    QElapsedTimer clock;
    clock.start();
    request->startSynchronous();
    const qint64 elapsed = clock.elapsed();
    ZRHTTPRequest::setMaxBandwidthPerSecond(0);
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), body);
    QVERIFY2(elapsed >= 4000, qPrintable(QString::number(elapsed)));
}

void TestTransport::statusTimerAndNetworkUseFollowTheRequest_data()
{
    QTest::addColumn<bool>("updateIndicator");
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("cancelled") << true << true;
    QTest::newRow("finished") << true << false;
    QTest::newRow("cancelled, indicator not updated") << false << true;
}

void TestTransport::statusTimerAndNetworkUseFollowTheRequest()
{
    QFETCH(bool, updateIndicator);
    QFETCH(bool, cancelled);
    std::atomic<bool> answer{false};
    TestHttpServer server([&answer](const TestRequest &) {
        while (!answer)
            QThread::msleep(10);
        return TestReply::text("at last");
    });
    QVERIFY(!ZRHTTPRequest::isNetworkInUse());
    ZRHTTPRequest::setShouldUpdateNetworkActivityIndicator(updateIndicator);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    QCOMPARE(request->statusTimer(), 0);
    request->setTimeOutSeconds(120);
    request->startAsynchronous();
    QTRY_VERIFY_WITH_TIMEOUT(request->statusTimer() != 0 && ZRHTTPRequest::isNetworkInUse(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 30000);
    if (cancelled) {
        // The cancel runs on the request's thread: the answer may come only after it, or it would
        // finish the request first.
        request->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(request->isCancelled(), 30000);
    }
    answer = true;
    QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
    ZRHTTPRequest::setShouldUpdateNetworkActivityIndicator(true);
    QCOMPARE(request->error().code(), cancelled ? 4 : 0);
    QCOMPARE(request->statusTimer(), 0);
    QVERIFY(!ZRHTTPRequest::isNetworkInUse());
}

void TestTransport::cookiesComeBackFromTheSharedStorage()
{
    TestHttpServer server([](const TestRequest &request) {
        TestReply reply = TestReply::text("cookie for " + request.path());
        if (request.path() == "/login")
            reply.headers << Header("Set-Cookie", "visitor=42; Path=/") << Header("Set-Cookie", "theme=dark; Path=/");
        return reply;
    });
    QSharedPointer<ZRHTTPRequest> login = ZRHTTPRequest::requestWithURL(server.url("/login"));
    login->startSynchronous();
    QVERIFY2(login->error().isNull(), qPrintable(login->error().localizedDescription()));
    QCOMPARE(login->responseCookies().size(), 2);
    QStringList stored;
    for (const QNetworkCookie &cookie : ZrCookieStorage::cookiesForUrl(server.url("/anywhere")))
        stored << QString::fromLatin1(cookie.toRawForm(QNetworkCookie::NameAndValueOnly));
    stored.sort();
    QCOMPARE(stored, QStringList({"theme=dark", "visitor=42"}));

    // Another request, knowing nothing of the first, sends them back.
    QSharedPointer<ZRHTTPRequest> next = ZRHTTPRequest::requestWithURL(server.url("/next"));
    next->startSynchronous();
    QVERIFY2(next->error().isNull(), qPrintable(next->error().localizedDescription()));
    const QByteArray sent = server.requests().value(1).header("Cookie");
    QVERIFY2(sent.contains("visitor=42") && sent.contains("theme=dark"), sent.constData());

    QSharedPointer<ZRHTTPRequest> without = ZRHTTPRequest::requestWithURL(server.url("/private"));
    without->setUseCookiePersistence(false);
    without->startSynchronous();
    QVERIFY(server.requests().value(2).header("Cookie").isNull());
}

void TestTransport::cacheIsRevalidated()
{
    const QByteArray body = patternBytes(20000);
    const QByteArray modified = "Wed, 09 Dec 2026 10:00:00 GMT";
    TestHttpServer server([body, modified](const TestRequest &request) {
        if (request.header("If-None-Match") == "\"v1\"" && request.header("If-Modified-Since") == modified) {
            TestReply reply = TestReply::text("", 304);
            reply.reason = "Not Modified";
            reply.headers = {Header("ETag", "\"v1\"")};
            return reply;
        }
        TestReply reply = TestReply::text(body);
        reply.headers << Header("ETag", "\"v1\"") << Header("Last-Modified", modified);
        return reply;
    });
    RevalidatingCache cache(m_dir.path());
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(server.url("/page"), &cache);
    first->startSynchronous();
    QVERIFY2(first->error().isNull(), qPrintable(first->error().localizedDescription()));
    QCOMPARE(first->responseData(), body);
    QVERIFY(!first->didUseCachedResponse());
    QVERIFY(server.requests().value(0).header("If-None-Match").isNull());

    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> second = ZRHTTPRequest::requestWithURL(server.url("/page"), &cache);
    second->startSynchronous();
    QVERIFY2(second->error().isNull(), qPrintable(second->error().localizedDescription()));
    const TestRequest asked = server.requests().value(1);
    QCOMPARE(asked.header("If-None-Match"), QByteArray("\"v1\""));
    QCOMPARE(asked.header("If-Modified-Since"), modified);
    QVERIFY(second->didUseCachedResponse());
    QCOMPARE(second->responseStatusCode(), 200);
    QCOMPARE(second->responseData(), body);
    QCOMPARE(cache.expiryUpdates, 1);
    QCOMPARE(server.requests().size(), 2);
}

void TestTransport::clientCertificateOpensTheDoor_data()
{
    QTest::addColumn<bool>("withIdentity");
    QTest::newRow("with the client's certificate") << true;
    QTest::newRow("without one") << false;
}

void TestTransport::clientCertificateOpensTheDoor()
{
    QFETCH(bool, withIdentity);
    TestHttpServer server([](const TestRequest &request) { return TestReply::text("hello " + request.clientName.toUtf8()); },
                          m_dir.filePath("127.0.0.1.pem"), m_dir.filePath("127.0.0.1.key"),
                          m_dir.filePath("client.pem"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/door"));
    request->setValidatesSecureCertificate(false);
    request->setTimeOutSeconds(20);
    if (withIdentity) {
        const QList<QSslCertificate> certificate = QSslCertificate::fromPath(m_dir.filePath("client.pem"));
        QCOMPARE(certificate.size(), 1);
        QSslKey key(readFile(m_dir.filePath("client.key")), QSsl::Rsa);
        QVERIFY(!key.isNull());
        request->setClientCertificateIdentity(certificate.first(), key);
    }
    request->startSynchronous();
    if (!withIdentity) {
        QCOMPARE(request->error().code(), 1);
        QVERIFY(server.requests().isEmpty());
        return;
    }
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), QByteArray("hello client"));
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_zrhttprequest_transport.moc"
