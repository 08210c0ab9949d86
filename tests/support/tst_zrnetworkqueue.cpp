#include "requestrecorder.h"
#include "testhttpserver.h"

#include "support/zrhttprequest.h"
#include "support/zrnetworkqueue.h"

#include <QTcpServer>
#include <QtTest>

#include <atomic>
#include <stdexcept>

namespace {

// The queue's delegate: request events go to a recorder, the queue's end is noted here.
class QueueDelegate : public RequestRecorder
{
    Q_OBJECT
public:
    using RequestRecorder::RequestRecorder;
    QList<ZRNetworkQueue *> finishedQueues;

public slots:
    void queueFinished(ZRNetworkQueue *queue) { finishedQueues << queue; }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TestZRNetworkQueue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void suspendedQueueAsksForSizesFirst();
    void startedQueueSendsNoHead();
    void inaccurateProgressCountsRequests();
    void failureCancelsTheRest_data();
    void failureCancelsTheRest();
    void resetReturnsToTheStart();
    void refusesWhatIsNotARequest();
};

void TestZRNetworkQueue::initTestCase()
{
    TestHttpServer::isolateFromProxies();
}

void TestZRNetworkQueue::suspendedQueueAsksForSizesFirst()
{
    const QByteArray body(5000, 'b');
    TestHttpServer server([body](const TestRequest &) { return TestReply::text(body); });
    QueueDelegate delegate("delegate");
    ZRNetworkQueue queue;
    queue.setShowAccurateProgress(true);
    queue.setDelegate(&delegate);
    queue.setRequestDidFinishSelector("requestFinished");
    queue.setQueueDidFinishSelector("queueFinished");
    RequestRecorder progress("progress");
    queue.setDownloadProgressDelegate(&progress);

    queue.addOperation(ZRHTTPRequest::requestWithURL(server.url("/sized")));
    const QList<QSharedPointer<ZrOperation>> operations = queue.operations();
    QCOMPARE(operations.size(), 2);
    QSharedPointer<ZRHTTPRequest> head = qSharedPointerDynamicCast<ZRHTTPRequest>(operations.at(0));
    QVERIFY(head);
    QCOMPARE(head->requestMethod(), QString("HEAD"));
    QCOMPARE(head->queuePriority(), 10);
    QCOMPARE(queue.requestsCount(), 1);

    queue.go();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.finishedQueues.size(), 1, 30000);
    QCOMPARE(delegate.finishedQueues.at(0), &queue);
    QCOMPARE(delegate.count("finished"), 1);
    const QList<TestRequest> seen = server.requests();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0).method, QByteArray("HEAD"));
    QCOMPARE(seen.at(1).method, QByteArray("GET"));
    // The HEAD answer announced the size once; the GET counted its bytes.
    QCOMPARE(queue.totalBytesToDownload(), quint64(5000));
    QCOMPARE(queue.bytesDownloadedSoFar(), quint64(5000));
    QTRY_COMPARE_WITH_TIMEOUT(progress.values.isEmpty() ? 0.0 : progress.values.last(), 1.0, 30000);
}

void TestZRNetworkQueue::startedQueueSendsNoHead()
{
    TestHttpServer server([](const TestRequest &) { return TestReply::text("plain"); });
    QueueDelegate delegate("delegate");
    ZRNetworkQueue queue;
    queue.setShowAccurateProgress(true);
    queue.setDelegate(&delegate);
    queue.setQueueDidFinishSelector("queueFinished");
    queue.go();
    queue.addOperation(ZRHTTPRequest::requestWithURL(server.url()));
    QTRY_COMPARE_WITH_TIMEOUT(delegate.finishedQueues.size(), 1, 30000);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().at(0).method, QByteArray("GET"));
}

void TestZRNetworkQueue::inaccurateProgressCountsRequests()
{
    ZRNetworkQueue queue;
    for (int i = 0; i < 3; ++i)
        queue.addOperation(ZRHTTPRequest::requestWithURL(QUrl(QString("http://127.0.0.1:9/%1").arg(i))));
    QCOMPARE(queue.totalBytesToDownload(), quint64(3));
    QCOMPARE(queue.totalBytesToUpload(), quint64(3));
    QCOMPARE(queue.requestsCount(), 3);
    QCOMPARE(queue.operationCount(), 3);
    queue.reset();
}

void TestZRNetworkQueue::failureCancelsTheRest_data()
{
    QTest::addColumn<bool>("cancelOnFailure");
    QTest::newRow("cancel on failure") << true;
    QTest::newRow("run on") << false;
}

void TestZRNetworkQueue::failureCancelsTheRest()
{
    QFETCH(bool, cancelOnFailure);
    std::atomic<bool> release{false};
    std::atomic<int> waiting{0};
    TestHttpServer server([&release, &waiting](const TestRequest &) {
        ++waiting;
        // Held until the test lets the answers go.
        for (int i = 0; i < 600 && !release; ++i)
            QThread::msleep(50);
        return TestReply::text("slow");
    });
    QueueDelegate delegate("delegate");
    ZRNetworkQueue queue;
    queue.setDelegate(&delegate);
    queue.setRequestDidFinishSelector("requestFinished");
    queue.setRequestDidFailSelector("requestFailed");
    queue.setQueueDidFinishSelector("queueFinished");
    queue.setShouldCancelAllRequestsOnFailure(cancelOnFailure);
    queue.go();
    for (int i = 0; i < 3; ++i)
        queue.addOperation(ZRHTTPRequest::requestWithURL(server.url(QString("/slow/%1").arg(i))));
    QTRY_COMPARE_WITH_TIMEOUT(waiting.load(), 3, 30000);

    queue.addOperation(ZRHTTPRequest::requestWithURL(QUrl(QString("http://127.0.0.1:%1/").arg(closedPort()))));
    QTRY_VERIFY_WITH_TIMEOUT(delegate.count("failed") >= 1, 30000);
    if (cancelOnFailure) {
        QTRY_COMPARE_WITH_TIMEOUT(delegate.count("failed"), 4, 30000);
        release = true;
        QCOMPARE(delegate.count("finished"), 0);
        QCOMPARE(delegate.errors.at(0).code(), 1);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(delegate.errors.at(i).code(), 4);
        QCOMPARE(queue.bytesDownloadedSoFar(), quint64(0));
    } else {
        release = true;
        QTRY_COMPARE_WITH_TIMEOUT(delegate.count("finished"), 3, 30000);
        QCOMPARE(delegate.count("failed"), 1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(delegate.finishedQueues.size(), 1, 30000);
    QCOMPARE(queue.requestsCount(), 0);
}

void TestZRNetworkQueue::resetReturnsToTheStart()
{
    QueueDelegate delegate("delegate");
    ZRNetworkQueue queue;
    queue.setDelegate(&delegate);
    queue.setRequestDidFinishSelector("requestFinished");
    queue.setRequestWillRedirectSelector("requestWillRedirectToURL");
    queue.go();
    queue.setSuspended(true);
    queue.addOperation(ZRHTTPRequest::requestWithURL(QUrl("http://127.0.0.1:9/")));
    queue.reset();
    QVERIFY(queue.isSuspended());
    QCOMPARE(queue.delegate(), nullptr);
    QVERIFY(queue.requestDidFinishSelector().isEmpty());
    QCOMPARE(queue.requestWillRedirectSelector(), QByteArray("requestWillRedirectToURL"));
    QCOMPARE(queue.totalBytesToDownload(), quint64(0));
    QCOMPARE(queue.totalBytesToUpload(), quint64(0));

    const QSharedPointer<ZRNetworkQueue> copy = queue.copyWithZone();
    QCOMPARE(copy->requestWillRedirectSelector(), QByteArray("requestWillRedirectToURL"));
    QVERIFY(copy->isSuspended());
}

void TestZRNetworkQueue::refusesWhatIsNotARequest()
{
    ZRNetworkQueue queue;
    bool thrown = false;
    try {
        queue.addOperation(QSharedPointer<ZrOperation>::create());
    } catch (const std::invalid_argument &error) {
        thrown = true;
        QVERIFY(QString(error.what()).startsWith("AttemptToAddInvalidRequest"));
        QVERIFY(QString(error.what()).contains(
            "Attempted to add an object that was not an ZRHTTPRequest to an ZRNetworkQueue"));
    }
    QVERIFY(thrown);
    QCOMPARE(queue.requestsCount(), 0);
    QCOMPARE(queue.operationCount(), 0);
}

QTEST_GUILESS_MAIN(TestZRNetworkQueue)
#include "tst_zrnetworkqueue.moc"
