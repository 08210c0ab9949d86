#include "requestrecorder.h"
#include "testfiles.h"

#include "support/zrdatadecompressor.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttprequest.h"
#include "support/zroperationqueue.h"
#include "services/zrcommoninterface.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <stdexcept>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace {

QByteArray gunzip(const QByteArray &compressed)
{
    QProcess process;
    process.start("gzip", {"-dc"});
    process.write(compressed);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

// A request whose body cannot be built.
class ThrowingRequest : public ZRHTTPRequest
{
    Q_OBJECT
public:
    using ZRHTTPRequest::ZRHTTPRequest;
    void buildPostBody() override { throw std::runtime_error("the body is out of reach"); }
};

const QUrl Somewhere("http://127.0.0.1:9/path");

} // namespace

Q_DECLARE_METATYPE(std::function<void(ZRHTTPRequest *)>)

class TestZRHTTPRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void defaults();
    void setURLKeepsOrDropsTheRedirect();
    void bodyDecidesMethodAndLength_data();
    void bodyDecidesMethodAndLength();
    void bodyStreamedFromDiskKeepsEveryByte_data();
    void bodyStreamedFromDiskKeepsEveryByte();
    void compressedBodyInflatesToTheOriginal_data();
    void compressedBodyInflatesToTheOriginal();
    void unreadableBodyFileFails();
    void responseHeaderLines_data();
    void responseHeaderLines();
    void headers_data();
    void headers();
    void defaultUserAgentNamesProductAndSystem();
    void derivedRequestsCopyTheirFields();
    void nilURLFailsOnceOnTheMainThread();
    void cancelReportsOnce();
    void clearDelegatesAndCancelReportsNothing();
    void exceptionBecomesCodeTen();
    void synchronousOnAWorkerReturnsWhenComplete();
    void throttlingWakesAfterOveruse();
    void uploadReadLengthFollowsTheAllowance();
    void averageDropsAfterAnIdleWindow();
    void progressDelegateGetsMaxValue();
    void clearedDelegateGetsNothing();
    void reportsArriveInOrder();
    void emptyTotalIsNoProgress();
    void rfc1123Dates_data();
    void rfc1123Dates();
    void expiryDates();

private:
    // Waits until every report the network thread made so far has reached the main thread.
    void waitForNetworkThread();

    QTemporaryDir m_dir;
};

void TestZRHTTPRequest::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestZRHTTPRequest::waitForNetworkThread()
{
    // A cancelled request reports from the network thread after everything queued before it.
    QStringList log;
    RequestRecorder marker("marker", &log);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setDelegate(&marker);
    request->cancel();
    QTRY_COMPARE_WITH_TIMEOUT(log.size(), 1, 30000);
}

void TestZRHTTPRequest::defaults()
{
    ZRHTTPRequest request(Somewhere);
    QCOMPARE(request.requestMethod(), QString("GET"));
    QVERIFY(request.shouldAttemptPersistentConnection());
    QCOMPARE(request.persistentConnectionTimeoutSeconds(), 60.0);
    QVERIFY(request.shouldPresentCredentialsBeforeChallenge());
    QVERIFY(request.shouldRedirect());
    QVERIFY(request.showAccurateProgress());
    QVERIFY(request.shouldResetDownloadProgress());
    QVERIFY(request.shouldResetUploadProgress());
    QVERIFY(request.allowCompressedResponse());
    QVERIFY(request.shouldWaitToInflateCompressedResponses());
    QCOMPARE(request.defaultResponseEncoding(), 4);
    QVERIFY(request.shouldPresentProxyAuthenticationDialog());
    QCOMPARE(request.timeOutSeconds(), 10.0);
    QVERIFY(request.useSessionPersistence());
    QVERIFY(request.useCookiePersistence());
    QVERIFY(request.validatesSecureCertificate());
    QVERIFY(request.requestCookies().isEmpty());
    QCOMPARE(request.didStartSelector(), QByteArray("requestStarted"));
    QCOMPARE(request.didReceiveResponseHeadersSelector(), QByteArray("requestDidReceiveResponseHeaders"));
    QCOMPARE(request.willRedirectSelector(), QByteArray("requestWillRedirectToURL"));
    QCOMPARE(request.didFinishSelector(), QByteArray("requestFinished"));
    QCOMPARE(request.didFailSelector(), QByteArray("requestFailed"));
    QCOMPARE(request.didReceiveDataSelector(), QByteArray("requestDidReceiveData"));
    QVERIFY(!request.useKeychainPersistence());
    QVERIFY(!request.shouldStreamPostDataFromDisk());
    QVERIFY(!request.allowResumeForFileDownloads());
    QVERIFY(!request.shouldCompressRequestBody());
    QVERIFY(!request.useHTTPVersionOne());
    QVERIFY(!request.shouldUseRFC2616RedirectBehaviour());
    QVERIFY(!request.shouldPresentAuthenticationDialog());
    QCOMPARE(request.numberOfTimesToRetryOnTimeout(), 0);
    QCOMPARE(request.cachePolicy(), 0);
    QCOMPARE(request.secondsToCache(), 0.0);
    QVERIFY(!request.isFinished() && !request.isExecuting() && !request.isCancelled());
    QVERIFY(request.isConcurrent());
    QCOMPARE(QString(ZRHTTPRequestVersion), QString("v1.0 2026-12-10"));

    // The class default applies to requests made after it changes.
    ZRHTTPRequest::setDefaultTimeOutSeconds(25);
    QCOMPARE(ZRHTTPRequest(Somewhere).timeOutSeconds(), 25.0);
    QCOMPARE(request.timeOutSeconds(), 10.0);
    ZRHTTPRequest::setDefaultTimeOutSeconds(10);
}

void TestZRHTTPRequest::setURLKeepsOrDropsTheRedirect()
{
    ZRHTTPRequest request(Somewhere);
    request.setRedirectURL(QUrl("http://127.0.0.1:9/elsewhere"));
    request.setURL(Somewhere);
    QCOMPARE(request.redirectURL(), QUrl("http://127.0.0.1:9/elsewhere"));
    request.setURL(QUrl("http://127.0.0.1:9/other"));
    QVERIFY(request.redirectURL().isEmpty());
    QCOMPARE(request.url(), QUrl("http://127.0.0.1:9/other"));
}

void TestZRHTTPRequest::bodyDecidesMethodAndLength_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("sentMethod");
    QTest::addColumn<QString>("contentLength");

    QTest::newRow("GET with a body") << "GET" << QByteArray("name=value") << "POST" << "10";
    QTest::newRow("DELETE with a body") << "DELETE" << QByteArray("x") << "POST" << "1";
    QTest::newRow("PUT with a body") << "PUT" << QByteArray("payload") << "PUT" << "7";
    QTest::newRow("GET without a body") << "GET" << QByteArray() << "GET" << QString();
    QTest::newRow("appending nothing") << "GET" << QByteArray("") << "GET" << QString();
}

void TestZRHTTPRequest::bodyDecidesMethodAndLength()
{
    QFETCH(QString, method);
    QFETCH(QByteArray, body);
    QFETCH(QString, sentMethod);
    QFETCH(QString, contentLength);

    ZRHTTPRequest request(Somewhere);
    request.setRequestMethod(method);
    if (!body.isNull())
        request.appendPostData(body);
    request.buildPostBody();
    QCOMPARE(request.requestMethod(), sentMethod);
    QCOMPARE(request.requestHeaders().value("Content-Length").toString(), contentLength);
    QCOMPARE(request.postLength(), quint64(body.size()));
    QVERIFY(request.error().isNull());
}

void TestZRHTTPRequest::bodyStreamedFromDiskKeepsEveryByte_data()
{
    // The body file is filled by the kernel from a regular file on the same file system or
    // another one, and by reads from anything else.
    QTest::addColumn<QString>("temporaryFolder");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("size");
    QTest::newRow("same file system") << "" << "file" << 300 * 1024;
    QTest::newRow("other file system") << "/dev/shm" << "file" << 300 * 1024;
    QTest::newRow("empty file") << "" << "file" << 0;
    QTest::newRow("pipe") << "" << "pipe" << 300 * 1024;
}

void TestZRHTTPRequest::bodyStreamedFromDiskKeepsEveryByte()
{
    QFETCH(QString, temporaryFolder);
    QFETCH(QString, source);
    QFETCH(int, size);
    if (!temporaryFolder.isEmpty() && !QFileInfo(temporaryFolder).isWritable())
        QSKIP("no second file system to write to");
    QTemporaryDir folder(temporaryFolder.isEmpty() ? m_dir.filePath("tmp-XXXXXX") : temporaryFolder + "/tmp-XXXXXX");
    QVERIFY(folder.isValid());
    const TemporaryFolder temporary(folder.path());
    const QByteArray bytes = patternBytes(size);
    QString sourcePath = m_dir.filePath("body-source");
    QVERIFY(writeFile(sourcePath, bytes));
    QProcess writer;
    if (source == "pipe") {
        const QString pipe = folder.filePath("body-pipe");
        QVERIFY(mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        writer.start("cp", {sourcePath, pipe});
        QVERIFY(writer.waitForStarted());
        sourcePath = pipe;
    }

    ZRHTTPRequest request(Somewhere);
    request.setShouldStreamPostDataFromDisk(true);
    request.appendPostData("head:");
    request.appendPostDataFromFile(sourcePath);
    request.appendPostData(":tail");
    request.buildPostBody();
    QVERIFY(request.error().isNull());
    QVERIFY(request.didCreateTemporaryPostDataFile());
    const QString bodyPath = request.postBodyFilePath();
    QVERIFY(bodyPath.startsWith(folder.path()));
    QCOMPARE(readFile(bodyPath), "head:" + bytes + ":tail");
    QCOMPARE(request.postLength(), quint64(bytes.size() + 10));
    QCOMPARE(request.requestMethod(), QString("POST"));
    if (source == "pipe") {
        QVERIFY(writer.waitForFinished(60000));
        return;
    }

    // In memory the same appends give the same body.
    ZRHTTPRequest memory(Somewhere);
    memory.appendPostDataFromFile(sourcePath);
    QCOMPARE(memory.postBody(), bytes);
}

void TestZRHTTPRequest::compressedBodyInflatesToTheOriginal_data()
{
    QTest::addColumn<bool>("fromDisk");
    QTest::newRow("memory") << false;
    QTest::newRow("disk") << true;
}

void TestZRHTTPRequest::compressedBodyInflatesToTheOriginal()
{
    QFETCH(bool, fromDisk);
    const QByteArray original = patternBytes(100000);
    ZRHTTPRequest request(Somewhere);
    request.setShouldCompressRequestBody(true);
    request.setShouldStreamPostDataFromDisk(fromDisk);
    request.appendPostData(original);
    request.buildPostBody();
    request.buildRequestHeaders();
    QVERIFY(request.error().isNull());

    const QByteArray sent = fromDisk ? readFile(request.compressedPostBodyFilePath()) : request.compressedPostBody();
    QVERIFY(sent.startsWith("\x1f\x8b"));
    QCOMPARE(gunzip(sent), original);
    QCOMPARE(request.postLength(), quint64(sent.size()));
    QCOMPARE(request.requestHeaders().value("Content-Encoding").toString(), QString("gzip"));
    QCOMPARE(request.requestHeaders().value("Content-Length").toString(), QString::number(sent.size()));
}

void TestZRHTTPRequest::unreadableBodyFileFails()
{
    const QString missing = m_dir.filePath("no-body-here");
    ZRHTTPRequest request(Somewhere);
    request.appendPostData("start");
    request.appendPostDataFromFile(missing);
    QCOMPARE(request.error().code(), 8);
    QCOMPARE(request.error().localizedDescription(), QString("Failed to read file at path '%1'").arg(missing));
    QVERIFY(request.complete());
}

void TestZRHTTPRequest::responseHeaderLines_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("statusLine");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<bool>("complete");
    QTest::newRow("plain") << QList<QByteArray>{"HTTP/1.1 200 OK\r\n", "content-TYPE:  text/plain \r\n", "\r\n"} << 200
                           << "HTTP/1.1" << "HTTP/1.1 200 OK" << QVariantMap{{"Content-Type", "text/plain"}} << true;
    QTest::newRow("reason of several words")
        << QList<QByteArray>{"HTTP/1.0 404 Not Found\r\n", "X-A: 1\r\n", "x-a: 2\r\n"} << 404 << "HTTP/1.0"
        << "HTTP/1.0 404 Not Found" << QVariantMap{{"X-A", "1, 2"}} << false;
    QTest::newRow("no reason") << QList<QByteArray>{"HTTP/2 204\r\n", "\r\n"} << 204 << "HTTP/2" << "HTTP/2 204"
                               << QVariantMap() << true;
    QTest::newRow("no code") << QList<QByteArray>{"HTTP/1.1\r\n", "Server: x\r\n", "\r\n"} << 0 << "HTTP/1.1"
                             << "HTTP/1.1" << QVariantMap{{"Server", "x"}} << false;
    QTest::newRow("interim answer first")
        << QList<QByteArray>{"HTTP/1.1 100 Continue\r\n", "X-Interim: yes\r\n", "\r\n", "HTTP/1.1 201 Created\r\n",
                             "Location: /new\r\n", "\r\n"}
        << 201 << "HTTP/1.1" << "HTTP/1.1 201 Created" << QVariantMap{{"Location", "/new"}} << true;
    QTest::newRow("lines without a name or before the status")
        << QList<QByteArray>{"Early: no\r\n", "HTTP/1.1 200 OK\r\n", "no colon here\r\n", ": empty name\r\n",
                             "Value-With: a:b \r\n"}
        << 200 << "HTTP/1.1" << "HTTP/1.1 200 OK" << QVariantMap{{"Value-With", "a:b"}} << false;
}

void TestZRHTTPRequest::responseHeaderLines()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, code);
    QFETCH(QString, version);
    QFETCH(QString, statusLine);
    QFETCH(QVariantMap, fields);
    QFETCH(bool, complete);
    const QSharedPointer<ZrHttpMessage> response = ZrHttpMessage::createEmptyResponse();
    for (const QByteArray &line : lines)
        response->appendHeaderLine(line);
    QCOMPARE(response->responseStatusCode(), code);
    QCOMPARE(response->responseVersion(), version);
    QCOMPARE(response->responseStatusLine(), statusLine);
    QCOMPARE(response->allHeaderFields(), fields);
    QCOMPARE(response->isHeaderComplete(), complete);
}

void TestZRHTTPRequest::headers_data()
{
    QTest::addColumn<std::function<void(ZRHTTPRequest *)>>("prepare");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("value");

    QTest::newRow("cookies in order") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        ZRCookieList cookies;
        cookies << QNetworkCookie("a", "1") << QNetworkCookie("b", "2") << QNetworkCookie("c", "3");
        request->setRequestCookies(cookies);
    }) << "Cookie" << "a=1; b=2; c=3";
    QTest::newRow("no cookies") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *) {}) << "Cookie"
                                << QString();
    QTest::newRow("user's agent stays") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->addRequestHeader("User-Agent", "Tester/1.0");
    }) << "User-Agent" << "Tester/1.0";
    QTest::newRow("request's agent") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->setUserAgentString("Mozilla/5.0");
    }) << "User-Agent" << "Mozilla/5.0";
    QTest::newRow("compressed answers") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *) {})
                                        << "Accept-Encoding" << "gzip";
    QTest::newRow("no compressed answers") << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
        request->setAllowCompressedResponse(false);
    }) << "Accept-Encoding" << QString();
    QTest::newRow("resume from a partial file")
        << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
               const QString partial = QDir::temp().filePath("zr-partial-download");
               writeFile(partial, QByteArray(1000, 'p'));
               request->setAllowResumeForFileDownloads(true);
               request->setDownloadDestinationPath(QDir::temp().filePath("zr-download"));
               request->setTemporaryFileDownloadPath(partial);
           })
        << "Range" << "bytes=1000-";
    QTest::newRow("no resume without permission")
        << std::function<void(ZRHTTPRequest *)>([](ZRHTTPRequest *request) {
               const QString partial = QDir::temp().filePath("zr-partial-download");
               writeFile(partial, QByteArray(1000, 'p'));
               request->setDownloadDestinationPath(QDir::temp().filePath("zr-download"));
               request->setTemporaryFileDownloadPath(partial);
           })
        << "Range" << QString();
}

void TestZRHTTPRequest::headers()
{
    QFETCH(std::function<void(ZRHTTPRequest *)>, prepare);
    QFETCH(QString, header);
    QFETCH(QString, value);

    ZRHTTPRequest request(QUrl("http://127.0.0.1:9/headers"));
    prepare(&request);
    request.buildRequestHeaders();
    QCOMPARE(request.requestHeaders().value(header).toString(), value);
    QVERIFY(request.error().isNull());
}

void TestZRHTTPRequest::defaultUserAgentNamesProductAndSystem()
{
    const QString agent = ZRHTTPRequest::defaultUserAgentString();
    ZRHTTPRequest request(Somewhere);
    request.buildRequestHeaders();
    // A tree without the bundle's property list has no product name, so no user agent.
    if (!QFile::exists(ZrCommonInterface::getAppInfoFile())) {
        QVERIFY(agent.isNull());
        QVERIFY(!request.requestHeaders().contains("User-Agent"));
        return;
    }
    struct utsname names;
    QCOMPARE(::uname(&names), 0);
    const QStringList release = QString::fromLatin1(names.release).split(QRegularExpression("[^0-9]+"));
    const QString system =
        QString("Linux %1.%2.%3").arg(release.value(0), release.value(1), release.value(2, "0"));
    QVERIFY2(agent.startsWith("ZRPlayer"), qPrintable(agent));
    QVERIFY2(agent.endsWith(QString(" (X11; %1; %2)").arg(system, QLocale::system().name())), qPrintable(agent));
    QVERIFY2(QRegularExpression("^ZRPlayer( [^ ]+( rv:[^ ]+)?)? \\(").match(agent).hasMatch(), qPrintable(agent));
    QCOMPARE(request.requestHeaders().value("User-Agent").toString(), agent);
}

void TestZRHTTPRequest::derivedRequestsCopyTheirFields()
{
    RequestRecorder delegate;
    ZRHTTPRequest source(Somewhere);
    source.setDelegate(&delegate);
    source.setRequestMethod("PUT");
    source.appendPostData("body");
    source.addRequestHeader("X-Test", "1");
    source.setRequestCookies({QNetworkCookie("k", "v")});
    source.setUseKeychainPersistence(true);
    source.setUseSessionPersistence(false);
    source.setUseCookiePersistence(false);
    source.setAllowCompressedResponse(false);
    source.setUsername("joe");
    source.setPassword("secret");
    source.setDomain("DOM");
    source.setProxyHost("proxy.example");
    source.setProxyPort(3128);
    source.setProxyUsername("pu");
    source.setTimeOutSeconds(3);
    source.setUseHTTPVersionOne(true);
    source.setValidatesSecureCertificate(false);
    source.setNumberOfTimesToRetryOnTimeout(2);
    source.setShouldUseRFC2616RedirectBehaviour(true);
    source.setPersistentConnectionTimeoutSeconds(15);
    source.setUserInfo({{"reqid", "r1"}});
    source.setTag(42);
    source.setDownloadDestinationPath("/tmp/destination");
    source.setDefaultResponseEncoding(106);
    source.setAuthenticationScheme("Basic");

    const QSharedPointer<ZRHTTPRequest> head = source.HEADRequest();
    QCOMPARE(head->mainRequest(), &source);
    QCOMPARE(head->requestMethod(), QString("HEAD"));
    QCOMPARE(head->url(), Somewhere);
    QCOMPARE(head->requestHeaders().value("X-Test").toString(), QString("1"));
    QCOMPARE(head->requestCookies().size(), 1);
    QVERIFY(head->useKeychainPersistence() && !head->useSessionPersistence() && !head->useCookiePersistence());
    QVERIFY(!head->allowCompressedResponse());
    QCOMPARE(head->username() + head->password() + head->domain(), QString("joesecretDOM"));
    QCOMPARE(head->proxyHost(), QString("proxy.example"));
    QCOMPARE(head->proxyPort(), 3128);
    QCOMPARE(head->proxyUsername(), QString("pu"));
    QCOMPARE(head->timeOutSeconds(), 3.0);
    QVERIFY(head->useHTTPVersionOne() && !head->validatesSecureCertificate());
    QCOMPARE(head->numberOfTimesToRetryOnTimeout(), 2);
    QVERIFY(head->shouldUseRFC2616RedirectBehaviour());
    QCOMPARE(head->persistentConnectionTimeoutSeconds(), 15.0);
    // Not among a HEAD request's fields.
    QVERIFY(head->postBody().isEmpty());
    QCOMPARE(head->delegate(), nullptr);
    QVERIFY(head->userInfo().isEmpty());

    const QSharedPointer<ZRHTTPRequest> copy = source.copyWithZone();
    QCOMPARE(copy->mainRequest(), nullptr);
    QCOMPARE(copy->delegate(), &delegate);
    QCOMPARE(copy->requestMethod(), QString("PUT"));
    QCOMPARE(copy->postBody(), QByteArray("body"));
    QCOMPARE(copy->requestHeaders().value("X-Test").toString(), QString("1"));
    QCOMPARE(copy->username() + copy->password() + copy->domain(), QString("joesecretDOM"));
    QCOMPARE(copy->proxyHost(), QString("proxy.example"));
    QCOMPARE(copy->userInfo().value("reqid").toString(), QString("r1"));
    QCOMPARE(copy->tag(), qint64(42));
    QCOMPARE(copy->downloadDestinationPath(), QString("/tmp/destination"));
    QCOMPARE(copy->defaultResponseEncoding(), 106);
    QCOMPARE(copy->authenticationScheme(), QString("Basic"));
    QCOMPARE(copy->timeOutSeconds(), 3.0);
    QVERIFY(copy->useHTTPVersionOne() && !copy->validatesSecureCertificate());
}

void TestZRHTTPRequest::nilURLFailsOnceOnTheMainThread()
{
    QStringList log;
    RequestRecorder delegate("delegate", &log);
    RequestRecorder queue("queue", &log);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(QUrl());
    request->setDelegate(&delegate);
    request->setQueue(&queue);
    bool blockOffMain = false;
    request->setFailedBlock([&log, &blockOffMain] {
        blockOffMain = QThread::currentThread() != QCoreApplication::instance()->thread();
        log << "block:failed";
    });
    request->startAsynchronous();

    QTRY_COMPARE_WITH_TIMEOUT(log.size(), 3, 30000);
    QCOMPARE(log, (QStringList{"delegate:failed", "block:failed", "queue:failed"}));
    QVERIFY(!delegate.offMainThread && !queue.offMainThread && !blockOffMain);
    QCOMPARE(delegate.errors.value(0).code(), 5);
    QCOMPARE(delegate.errors.value(0).localizedDescription(), QString("Unable to create request (bad url?)"));
    QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
    waitForNetworkThread();
    QCOMPARE(log.size(), 3);

    // Synchronously the same failure comes on the calling (main) thread before the call returns.
    QStringList syncLog;
    RequestRecorder syncDelegate("sync", &syncLog);
    ZRHTTPRequest synchronous{QUrl()};
    synchronous.setDelegate(&syncDelegate);
    synchronous.startSynchronous();
    QCOMPARE(syncLog, QStringList{"sync:failed"});
    QCOMPARE(synchronous.error().code(), 5);
    QVERIFY(synchronous.isFinished());
}

void TestZRHTTPRequest::cancelReportsOnce()
{
    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setDelegate(&delegate);
    request->cancel();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("failed"), 1, 30000);
    QCOMPARE(delegate.errors.value(0).code(), 4);
    QCOMPARE(delegate.errors.value(0).localizedDescription(), QString("The request was cancelled"));
    QTRY_VERIFY_WITH_TIMEOUT(request->isCancelled(), 30000);

    request->cancel();
    request->failWithError(ZrError("ZRHTTPRequestErrorDomain", 1, "A connection failure occurred"));
    waitForNetworkThread();
    QCOMPARE(delegate.count("failed"), 1);
    QCOMPARE(request->error().code(), 4);

    // A cancelled request that is started afterwards only finishes.
    request->startAsynchronous();
    QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
    waitForNetworkThread();
    QCOMPARE(delegate.count("failed"), 1);
}

void TestZRHTTPRequest::clearDelegatesAndCancelReportsNothing()
{
    RequestRecorder delegate("delegate");
    RequestRecorder queue("queue");
    bool blockCalled = false;
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setDelegate(&delegate);
    request->setQueue(&queue);
    request->setFailedBlock([&blockCalled] { blockCalled = true; });
    request->clearDelegatesAndCancel();
    QTRY_VERIFY_WITH_TIMEOUT(request->isCancelled(), 30000);
    waitForNetworkThread();
    QVERIFY(delegate.ownLog.isEmpty() && queue.ownLog.isEmpty());
    QVERIFY(!blockCalled);
    QCOMPARE(request->delegate(), nullptr);
    QCOMPARE(request->error().code(), 4);
}

void TestZRHTTPRequest::exceptionBecomesCodeTen()
{
    RequestRecorder delegate("delegate");
    ThrowingRequest request(Somewhere);
    request.setDelegate(&delegate);
    request.startSynchronous();
    const ZrError error = request.error();
    QCOMPARE(error.code(), 10);
    QCOMPARE(error.localizedDescription(), QString("std::runtime_error"));
    QCOMPARE(error.localizedFailureReason(), QString("the body is out of reach"));
    QCOMPARE(error.underlyingError().code(), 10);
    QCOMPARE(delegate.count("failed"), 1);
    QVERIFY(request.complete() && request.isFinished());
}

void TestZRHTTPRequest::synchronousOnAWorkerReturnsWhenComplete()
{
    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setDelegate(&delegate);
    bool completeOnReturn = false;
    QScopedPointer<QThread> worker(QThread::create([request, &completeOnReturn] {
        request->startSynchronous();
        completeOnReturn = request->complete();
    }));
    worker->start();
    QVERIFY(worker->wait(60000));
    QVERIFY(completeOnReturn);
    QVERIFY(!request->isExecuting());
    QVERIFY(!request->error().isNull());
    // The report was queued to the main thread, which runs it now.
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("failed"), 1, 30000);
    QVERIFY(!delegate.offMainThread);
}

void TestZRHTTPRequest::throttlingWakesAfterOveruse()
{
    ZRHTTPRequest::setMaxBandwidthPerSecond(1000);
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::incrementBandwidthUsedInLastSecond(3000);
    ZRHTTPRequest::measureBandwidthUsage();
    QCOMPARE(ZRHTTPRequest::throttleWakeUpTime(), ZRHTTPRequest::bandwidthMeasurementDate().addSecs(2));
    QVERIFY(ZRHTTPRequest::isBandwidthThrottled());
    ZRHTTPRequest::setMaxBandwidthPerSecond(0);
    QVERIFY(!ZRHTTPRequest::isBandwidthThrottled());
}

void TestZRHTTPRequest::uploadReadLengthFollowsTheAllowance()
{
    ZRHTTPRequest::setMaxBandwidthPerSecond(40);
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::incrementBandwidthUsedInLastSecond(35);
    QCOMPARE(ZRHTTPRequest::maxUploadReadLength(), 5ul);
    ZRHTTPRequest::incrementBandwidthUsedInLastSecond(5);
    QCOMPARE(ZRHTTPRequest::maxUploadReadLength(), 0ul);
    QCOMPARE(ZRHTTPRequest::throttleWakeUpTime(), ZRHTTPRequest::bandwidthMeasurementDate());

    // A fresh window allows a quarter of the maximum.
    ZRHTTPRequest::recordBandwidthUsage();
    QCOMPARE(ZRHTTPRequest::maxUploadReadLength(), 10ul);
    ZRHTTPRequest::setMaxBandwidthPerSecond(0);
}

void TestZRHTTPRequest::averageDropsAfterAnIdleWindow()
{
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::incrementBandwidthUsedInLastSecond(1000);
    ZRHTTPRequest::recordBandwidthUsage();
    QVERIFY(ZRHTTPRequest::averageBandwidthUsedPerSecond() > 0);
    ZRHTTPRequest::recordBandwidthUsage();
    QCOMPARE(ZRHTTPRequest::averageBandwidthUsedPerSecond(), 0ul);
}

void TestZRHTTPRequest::progressDelegateGetsMaxValue()
{
    RequestRecorder upload("upload");
    RequestRecorder download("download");
    ZRHTTPRequest request(Somewhere);
    request.setUploadProgressDelegate(&upload);
    request.setDownloadProgressDelegate(&download);
    QCOMPARE(upload.ownLog, QStringList{"upload:maxValue"});
    QCOMPARE(download.ownLog, QStringList{"download:maxValue"});
    QCOMPARE(upload.values, QList<double>{1.0});
    QCOMPARE(request.uploadProgressDelegate(), &upload);
}

void TestZRHTTPRequest::clearedDelegateGetsNothing()
{
    RequestRecorder download("download");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setDownloadProgressDelegate(&download);
    download.ownLog.clear();
    qint64 blockAmount = 0;
    request->setDownloadSizeIncrementedBlock([&blockAmount](qint64 size) { blockAmount = size; });

    QScopedPointer<QThread> worker(QThread::create([request] {
        request->incrementDownloadSizeBy(5);
        request->setDownloadProgressDelegate(nullptr);
        request->setDownloadSizeIncrementedBlock(nullptr);
        request->incrementDownloadSizeBy(6);
    }));
    worker->start();
    QVERIFY(worker->wait(60000));
    QCoreApplication::processEvents();
    waitForNetworkThread();
    QVERIFY(download.ownLog.isEmpty());
    QCOMPARE(blockAmount, qint64(0));
}

void TestZRHTTPRequest::reportsArriveInOrder()
{
    QStringList log;
    RequestRecorder queue("queue", &log);
    RequestRecorder upload("upload", &log);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(Somewhere);
    request->setQueue(&queue);
    request->setUploadProgressDelegate(&upload);
    log.clear();
    QList<qint64> blockSizes;
    request->setUploadSizeIncrementedBlock([&blockSizes](qint64 size) { blockSizes << size; });

    QScopedPointer<QThread> worker(QThread::create([request] {
        for (int i = 1; i <= 20; ++i) {
            request->incrementUploadSizeBy(i);
            request->incrementDownloadSizeBy(-i);
        }
    }));
    worker->start();
    QVERIFY(worker->wait(60000));
    QTRY_COMPARE_WITH_TIMEOUT(blockSizes.size(), 20, 30000);
    QStringList expected;
    for (int i = 1; i <= 20; ++i)
        expected << "queue:uploadSize" << "upload:uploadSize" << "queue:downloadSize";
    QCOMPARE(log, expected);
    QCOMPARE(blockSizes.last(), qint64(20));
    QCOMPARE(upload.amounts.size(), 20);
    QVERIFY(!queue.offMainThread && !upload.offMainThread);
}

void TestZRHTTPRequest::emptyTotalIsNoProgress()
{
    RequestRecorder indicator("indicator");
    ZRHTTPRequest::updateProgressIndicator(&indicator, 0, 0);
    ZRHTTPRequest::updateProgressIndicator(&indicator, 1, 4);
    QCOMPARE(indicator.values, (QList<double>{0.0, 0.25}));
}

void TestZRHTTPRequest::rfc1123Dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("date");
    QTest::newRow("full") << "Sun, 06 Nov 1994 08:49:37 GMT" << QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
    QTest::newRow("no weekday") << "06 Nov 1994 08:49:37 GMT" << QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
    QTest::newRow("no seconds") << "Sun, 06 Nov 1994 08:49 GMT" << QDateTime(QDate(1994, 11, 6), QTime(8, 49), Qt::UTC);
    QTest::newRow("offset") << "Sun, 06 Nov 1994 10:49:37 +0200" << QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
    QTest::newRow("nonsense") << "yesterday" << QDateTime();
}

void TestZRHTTPRequest::rfc1123Dates()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, date);
    QCOMPARE(ZRHTTPRequest::dateFromRFC1123String(text), date);
}

void TestZRHTTPRequest::expiryDates()
{
    ZRHTTPRequest request(Somewhere);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    request.setResponseHeaders({{"Cache-Control", "public, Max-Age=60"}});
    const QDateTime fromAge = ZRHTTPRequest::expiryDateForRequest(&request, 0);
    QVERIFY(fromAge >= before.addSecs(60) && fromAge <= QDateTime::currentDateTimeUtc().addSecs(60));
    request.setResponseHeaders({{"Expires", "Sun, 06 Nov 1994 08:49:37 GMT"}});
    QCOMPARE(ZRHTTPRequest::expiryDateForRequest(&request, 0),
             QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC));
    QVERIFY(ZRHTTPRequest::expiryDateForRequest(&request, 30) >= before.addSecs(30));
    request.setResponseHeaders(QVariantMap());
    QVERIFY(!ZRHTTPRequest::expiryDateForRequest(&request, 0).isValid());
}

QTEST_GUILESS_MAIN(TestZRHTTPRequest)
#include "tst_zrhttprequest.moc"
