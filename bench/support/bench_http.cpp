// One HTTP job done by the support library, for bench/support/run.sh to time beside curl:
//   bench_http download <url> <destination>
//   bench_http upload <memory|disk> <url> <file>     multipart, one file part under "file"
//   bench_http requests <url> <count> <plain|accurate> <concurrency>
// Prints the job's own time ("seconds: 1.234", from the request's making to its end), as curl's
// own time leaves out its start-up and clean-up: the process first makes one small request (to
// the URL's server, "/small.bin"), which sets the library up, and an upload from memory reads
// its file before the clock starts. A failed job prints its error and exits with 1.
#include "support/zrformdatarequest.h"
#include "support/zrhttprequest.h"
#include "support/zrnetworkqueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

// The job's own time.
class Clock
{
public:
    void start() { m_timer.start(); }
    void stop() { m_seconds = m_timer.nsecsElapsed() / 1e9; }
    double seconds() const { return m_seconds; }

private:
    QElapsedTimer m_timer;
    double m_seconds = 0;
};

int failed(const ZrError &error)
{
    std::fprintf(stderr, "error %d: %s\n", error.code(), qPrintable(error.localizedDescription()));
    return 1;
}

int finished(Clock &clock, const ZRHTTPRequest &request)
{
    clock.stop();
    return request.error().isNull() ? 0 : failed(request.error());
}

// One request before the measured job: what the library sets up once per process (curl, TLS,
// the desktop's proxy settings) is not part of the job.
bool warmUp(const QUrl &url)
{
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(url.resolved(QUrl("/small.bin")));
    request->startSynchronous();
    if (request->error().isNull())
        return true;
    failed(request->error());
    return false;
}

int download(Clock &clock, const QUrl &url, const QString &destination)
{
    clock.start();
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(url);
    request->setDownloadDestinationPath(destination);
    request->setTimeOutSeconds(60);
    request->startSynchronous();
    return finished(clock, *request);
}

int upload(Clock &clock, bool inMemory, const QUrl &url, const QString &path)
{
    QByteArray data;
    if (inMemory) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        data = file.readAll();
    }
    clock.start();
    QSharedPointer<ZRFormDataRequest> request = ZRFormDataRequest::requestWithURL(url);
    if (inMemory)
        request->addData(data, "upload.bin", "application/octet-stream", "file");
    else
        request->addFile(path, "file");
    request->setTimeOutSeconds(60);
    request->startSynchronous();
    return finished(clock, *request);
}

// Waits for the queue's end and counts failures.
class QueueWatcher : public QObject
{
    Q_OBJECT
public:
    explicit QueueWatcher(Clock &clock) : m_clock(clock) {}
    int failures = 0;

public slots:
    void requestFailed(ZRHTTPRequest *request)
    {
        if (++failures == 1)
            failed(request->error());
    }
    void queueFinished(ZRNetworkQueue *)
    {
        m_clock.stop();
        QCoreApplication::quit();
    }

private:
    Clock &m_clock;
};

int requests(Clock &clock, const QUrl &url, int count, bool accurate, int concurrency)
{
    clock.start();
    QueueWatcher watcher(clock);
    ZRNetworkQueue queue;
    queue.setDelegate(&watcher);
    queue.setRequestDidFailSelector("requestFailed");
    queue.setQueueDidFinishSelector("queueFinished");
    queue.setShowAccurateProgress(accurate);
    queue.setShouldCancelAllRequestsOnFailure(false);
    queue.setMaxConcurrentOperationCount(concurrency);
    for (int i = 0; i < count; ++i) {
        QUrl item = url;
        item.setQuery(QString("n=%1").arg(i));
        queue.addOperation(ZRHTTPRequest::requestWithURL(item));
    }
    queue.go();
    QCoreApplication::exec();
    return watcher.failures == 0 ? 0 : 1;
}

int run(Clock &clock, const QStringList &arguments)
{
    const QString job = arguments.value(1);
    if (arguments.size() > 2 && !warmUp(QUrl(arguments.value(job == "upload" ? 3 : 2))))
        return 1;
    if (job == "download" && arguments.size() == 4)
        return download(clock, QUrl(arguments.at(2)), arguments.at(3));
    if (job == "upload" && arguments.size() == 5)
        return upload(clock, arguments.at(2) == "memory", QUrl(arguments.at(3)), arguments.at(4));
    if (job == "requests" && arguments.size() == 6)
        return requests(clock, QUrl(arguments.at(2)), arguments.at(3).toInt(), arguments.at(4) == "accurate",
                        arguments.at(5).toInt());
    std::fprintf(stderr, "usage: bench_http download <url> <destination> | upload <memory|disk> <url> <file> | "
                         "requests <url> <count> <plain|accurate> <concurrency>\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    Clock clock;
    const int result = run(clock, application.arguments());
    if (result == 0)
        std::printf("seconds: %.4f\n", clock.seconds());
    return result;
}

#include "bench_http.moc"
