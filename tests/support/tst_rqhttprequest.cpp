#include "testhttpserver.h"
#include "testfiles.h"

#include "support/rqhttprequest.h"
#include "support/zrhttprequest.h"
#include "support/zrnetworkqueue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

// The service's delegate: keeps every call's arguments.
class ServiceDelegate : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> started;
    QList<QVariantMap> results;
    QList<QVariantMap> resultInfos;
    QList<float> progress;

public slots:
    void httpRequestRequestStarted(RQHttpRequest *, const QVariantMap &userInfo) { started << userInfo; }
    void httpRequestDidCompleted(RQHttpRequest *, const QVariantMap &result, const QVariantMap &userInfo)
    {
        results << result;
        resultInfos << userInfo;
    }
    void httpRequestDownloadProgress(RQHttpRequest *, float value, const QVariantMap &) { progress << value; }
};

} // namespace

class TestRQHttpRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void oneRequestPerId();
    void parametersDecideTheMethod();
    void results_data();
    void results();
    void synchronousReturnsTheBody();
    void uploadSendsTheFilePart();
    void downloadResumesAfterATimeOut();
    void unknownIdCancelsNothing();
};

void TestRQHttpRequest::initTestCase()
{
    TestHttpServer::isolateFromProxies();
}

void TestRQHttpRequest::oneRequestPerId()
{
    std::atomic<bool> release{false};
    TestHttpServer server([&release](const TestRequest &) {
        for (int i = 0; i < 600 && !release; ++i)
            QThread::msleep(50);
        return TestReply::text("once");
    });
    ServiceDelegate delegate;
    RQHttpRequest *service = RQHttpRequest::sharedInstance();
    QCOMPARE(RQHttpRequest::sharedInstance(), service);
    service->setDelegate(&delegate);
    const QVariantMap userInfo{{"reqid", "same"}};
    service->requestWithURLString(server.url("/a").toString(), QVariantMap(), userInfo);
    service->requestWithURLString(server.url("/b").toString(), QVariantMap(), userInfo);
    QVERIFY(service->hasRequestTask("same"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 30000);
    release = true;
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 1, 30000);
    QCOMPARE(delegate.results.at(0).value("reqresult").toByteArray(), QByteArray("once"));
    QCOMPARE(delegate.resultInfos.at(0), userInfo);
    QCOMPARE(delegate.started.value(0), userInfo);
    QTRY_VERIFY_WITH_TIMEOUT(!service->hasRequestTask("same"), 30000);
    QCOMPARE(server.requests().size(), 1);
    service->setDelegate(nullptr);
}

void TestRQHttpRequest::parametersDecideTheMethod()
{
    TestHttpServer server([](const TestRequest &) { return TestReply::text("ok"); });
    ServiceDelegate delegate;
    RQHttpRequest service;
    service.setDelegate(&delegate);
    service.requestWithURLString(server.url("/get").toString(), QVariantMap(), {{"reqid", "g"}});
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 1, 30000);
    service.requestWithURLString(server.url("/post").toString(), {{"name", "a b"}, {"n", 7}}, {{"reqid", "p"}});
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 2, 30000);

    const QList<TestRequest> seen = server.requests();
    const TestRequest get = seen.at(seen.at(0).method == "HEAD" ? 1 : 0);
    QCOMPARE(get.method, QByteArray("GET"));
    QCOMPARE(get.header("User-Agent"), QByteArray("Mozilla/5.0"));
    const TestRequest post = seen.last();
    QCOMPARE(post.method, QByteArray("POST"));
    QCOMPARE(post.body, QByteArray("n=7&name=a%20b"));
    QVERIFY(post.header("Content-Type").startsWith("application/x-www-form-urlencoded"));
    QCOMPARE(post.header("User-Agent"), QByteArray("Mozilla/5.0"));
}

void TestRQHttpRequest::results_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("reqcode");
    QTest::addColumn<QVariant>("reqresult");

    QTest::newRow("404") << 404 << QByteArray("missing") << 400 << QVariant();
    QTest::newRow("403") << 403 << QByteArray("forbidden") << 400 << QVariant();
    QTest::newRow("500") << 500 << QByteArray("broken") << 200 << QVariant(QByteArray("broken"));
    QTest::newRow("no body") << 200 << QByteArray() << 200 << QVariant(QString(""));
}

void TestRQHttpRequest::results()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, reqcode);
    QFETCH(QVariant, reqresult);

    TestHttpServer server([status, body](const TestRequest &) { return TestReply::text(body, status); });
    ServiceDelegate delegate;
    RQHttpRequest service;
    service.setDelegate(&delegate);
    service.requestWithURLString(server.url().toString(), QVariantMap(), {{"reqid", "r"}});
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 1, 30000);
    const QVariantMap result = delegate.results.at(0);
    QCOMPARE(result.value("reqcode").toInt(), reqcode);
    QCOMPARE(result.contains("reqresult"), reqresult.isValid());
    if (reqresult.isValid())
        QCOMPARE(result.value("reqresult"), reqresult);

    // A request that never reaches a server fails the same way.
    service.requestWithURLString("http://", QVariantMap(), {{"reqid", "bad"}});
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 2, 30000);
    QCOMPARE(delegate.results.at(1), (QVariantMap{{"reqcode", 400}}));
}

void TestRQHttpRequest::synchronousReturnsTheBody()
{
    TestHttpServer server([](const TestRequest &request) { return TestReply::text("sync " + request.method); });
    RQHttpRequest service;
    QCOMPARE(service.syncRequestWithURLString(server.url().toString(), QVariantMap(), QVariantMap()),
             QByteArray("sync GET"));
    QCOMPARE(service.syncRequestWithURLString(server.url().toString(), {{"k", "v"}}, QVariantMap()),
             QByteArray("sync POST"));
    QVERIFY(service.syncRequestWithURLString("http://127.0.0.1:9/", QVariantMap(), QVariantMap()).isNull());
}

void TestRQHttpRequest::uploadSendsTheFilePart()
{
    TestHttpServer server([](const TestRequest &) { return TestReply::text("stored"); });
    ServiceDelegate delegate;
    RQHttpRequest service;
    service.setDelegate(&delegate);
    service.uploadWithURLString(server.url("/upload").toString(), QByteArray("\xff\xd8 jpeg bytes"), "shot.jpg",
                                {{"album", "holiday"}}, {{"reqid", "u"}});
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 1, 30000);
    QCOMPARE(delegate.results.at(0).value("reqresult").toByteArray(), QByteArray("stored"));
    const TestRequest upload = server.requests().last();
    QCOMPARE(upload.method, QByteArray("POST"));
    QVERIFY(upload.header("Content-Type").startsWith("multipart/form-data"));
    QVERIFY(upload.body.contains("Content-Disposition: form-data; name=\"fileData\"; filename=\"shot.jpg\"\r\n"
                                 "Content-Type: image/jpeg\r\n\r\n\xff\xd8 jpeg bytes"));
    QVERIFY(upload.body.contains("name=\"album\"\r\n\r\nholiday"));
}

void TestRQHttpRequest::downloadResumesAfterATimeOut()
{
    QByteArray whole(200000, Qt::Uninitialized);
    for (int i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<char>(i % 251);
    std::atomic<int> attempts{0};
    TestHttpServer server([whole, &attempts](const TestRequest &request) {
        if (request.method == "HEAD")
            return TestReply::text(whole);
        if (++attempts == 1) {
            // Half the file, then silence: the client times out and asks for the rest.
            TestReply reply;
            reply.headers << qMakePair(QByteArray("Content-Length"), QByteArray::number(whole.size()));
            reply.withLength = false;
            reply.body = whole.left(100000);
            reply.hangAfterBody = true;
            return reply;
        }
        const QByteArray range = request.header("Range");
        const int from = range.mid(6, range.size() - 7).toInt();
        TestReply reply = TestReply::text(whole.mid(from), 206);
        reply.headers << qMakePair(QByteArray("Content-Range"),
                                   "bytes " + QByteArray::number(from) + "-" + QByteArray::number(whole.size() - 1)
                                       + "/" + QByteArray::number(whole.size()));
        return reply;
    });
    QTemporaryDir dir;
    const QString destination = dir.filePath("downloaded.bin");
    ServiceDelegate delegate;
    RQHttpRequest service;
    service.setDelegate(&delegate);
    service.downloadFileWithURLString(server.url("/file").toString(), destination, {{"reqid", "d"}});
    QTRY_COMPARE_WITH_TIMEOUT(readFile(destination).size(), whole.size(), 60000);
    QCOMPARE(readFile(destination), whole);
    QCOMPARE(attempts.load(), 2);
    QVERIFY(server.requests().last().header("Range").startsWith("bytes="));
    QVERIFY(!delegate.progress.isEmpty());
    for (float value : qAsConst(delegate.progress))
        QVERIFY(value >= 0.0f && value <= 1.0f);
}

void TestRQHttpRequest::unknownIdCancelsNothing()
{
    std::atomic<bool> release{false};
    TestHttpServer server([&release](const TestRequest &) {
        for (int i = 0; i < 600 && !release; ++i)
            QThread::msleep(50);
        return TestReply::text("kept");
    });
    ServiceDelegate delegate;
    RQHttpRequest service;
    service.setDelegate(&delegate);
    service.requestWithURLString(server.url().toString(), QVariantMap(), {{"reqid", "known"}});
    service.cancelRequestByTaskId("unknown");
    QVERIFY(service.hasRequestTask("known"));
    release = true;
    QTRY_COMPARE_WITH_TIMEOUT(delegate.results.size(), 1, 30000);
    QCOMPARE(delegate.results.at(0).value("reqcode").toInt(), 200);
}

QTEST_GUILESS_MAIN(TestRQHttpRequest)
#include "tst_rqhttprequest.moc"
