// Opening, pooling, driving and tearing down the stream of a request.
#include "support/zrhttprequest.h"

#include "support/zrhttpauthentication.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttpstream.h"
#include "support/zrinputstream.h"
#include "support/zrrunloop.h"

#include <QFile>
#include <QThreadPool>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

struct ZRHTTPRequest::ConnectionRecord
{
    quint64 id = 0;
    QString host;
    int port = 0;
    QString scheme;
    quint64 request = 0;
    QDateTime expires;
    // curl keeps connections per multi handle: a record serves only its driving thread.
    const ZrRunLoop *loop = nullptr;
};

namespace {

// Files from this size on are closed for the last time on a pool thread when removed.
const qint64 LargeFileSize = 1 << 20;

struct ConnectionPool
{
    QRecursiveMutex lock;
    QList<QSharedPointer<ZRHTTPRequest::ConnectionRecord>> records;
    quint64 lastConnectionID = 0;
    quint64 lastRequestID = 0;
    int runningRequestCount = 0;
    bool shouldUpdateNetworkActivityIndicator = true;
};

ConnectionPool &pool()
{
    static ConnectionPool shared;
    return shared;
}

int urlPort(const QUrl &url)
{
    return url.port() < 0 ? 0 : url.port();
}

} // namespace

quint64 ZRHTTPRequest::connectionID() const
{
    QMutexLocker locker(&pool().lock);
    return m_connectionInfo ? m_connectionInfo->id : 0;
}

bool ZRHTTPRequest::isNetworkInUse()
{
    QMutexLocker locker(&pool().lock);
    return pool().runningRequestCount > 0;
}

void ZRHTTPRequest::setShouldUpdateNetworkActivityIndicator(bool shouldUpdate)
{
    QMutexLocker locker(&pool().lock);
    pool().shouldUpdateNetworkActivityIndicator = shouldUpdate;
}

void ZRHTTPRequest::hideNetworkActivityIndicatorAfterDelay()
{
    QTimer::singleShot(500, [] { hideNetworkActivityIndicatorIfNeeeded(); });
}

void ZRHTTPRequest::hideNetworkActivityIndicatorIfNeeeded()
{
    QMutexLocker locker(&pool().lock);
    if (pool().runningRequestCount == 0)
        hideNetworkActivityIndicator();
}

void ZRHTTPRequest::expirePersistentConnections()
{
    QMutexLocker locker(&pool().lock);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = pool().records.size() - 1; i >= 0; --i) {
        const QSharedPointer<ConnectionRecord> &record = pool().records.at(i);
        if (record->request == 0 && record->expires.isValid() && record->expires <= now)
            pool().records.removeAt(i);
    }
}

void ZRHTTPRequest::removeFromConnectionPool()
{
    QMutexLocker locker(&pool().lock);
    if (!m_connectionInfo)
        return;
    m_connectionInfo->request = 0;
    pool().records.removeAll(m_connectionInfo);
}

void ZRHTTPRequest::releaseConnection()
{
    QMutexLocker locker(&pool().lock);
    // A connection that cannot be kept leaves the pool: the next request opens a new one.
    if (!connectionCanBeReused()) {
        unscheduleReadStream();
        removeFromConnectionPool();
    }
    if (m_connectionInfo) {
        m_connectionInfo->request = 0;
        m_connectionInfo->expires =
            QDateTime::currentDateTimeUtc().addMSecs(static_cast<qint64>(persistentConnectionTimeoutSeconds() * 1000));
    }
}

void ZRHTTPRequest::startRequest()
{
    if (isCancelled())
        return;
    requestStarted();
    setDownloadComplete(false);
    setComplete(false);
    setTotalBytesRead(0);
    setLastBytesRead(0);
    if (redirectCount() == 0)
        setOriginalURL(url());
    if (lastBytesSent() > 0)
        removeUploadProgressSoFar();
    setLastBytesSent(0);
    setContentLength(0);
    setResponseHeaders(QVariantMap());
    if (downloadDestinationPath().isEmpty())
        setRawResponseData(QByteArray(""));
    destroyReadStream();

    // The body, read through the throttled stream.
    m_postBodyReadStream.reset();
    const QString bodyFile = bodyFilePath();
    ZrSegmentedBody::Segments segments;
    if (shouldStreamPostDataFromDisk() && bodySegments(&segments)) {
        m_postBodyReadStream.reset(new ZRInputStream(new ZrSegmentedBody(segments), this));
    } else if (shouldStreamPostDataFromDisk() && !bodyFile.isEmpty() && QFile::exists(bodyFile)) {
        const QString compressed = compressedPostBodyFilePath();
        m_postBodyReadStream.reset(ZRInputStream::inputStreamWithFileAtPath(
            !compressed.isEmpty() && QFile::exists(compressed) ? compressed : bodyFile, this));
    } else if (!postBody().isEmpty()) {
        const QByteArray compressed = compressedPostBody();
        m_postBodyReadStream.reset(ZRInputStream::inputStreamWithData(
            shouldCompressRequestBody() && !compressed.isEmpty() ? compressed : postBody(), this));
    }
    if (m_postBodyReadStream && !m_postBodyReadStream->open(QIODevice::ReadOnly)) {
        m_postBodyReadStream.reset();
        failWithError(zrRequestError(ZRInternalErrorWhileBuildingRequestType, "Unable to create read stream"));
        return;
    }
    m_readStream = std::make_shared<ZrHttpStream>(m_request, m_postBodyReadStream.get(),
                                                  static_cast<qint64>(postLength()));

    const QUrl target = url();
    if (target.scheme().toLower() == "https") {
        if (!validatesSecureCertificate())
            m_readStream->setValidatesSecureCertificate(false);
        const QSslCertificate identity = clientCertificate();
        if (!identity.isNull()) {
            QByteArray chain = identity.toPem();
            for (const QSslCertificate &certificate : clientCertificates())
                chain += certificate.toPem();
            m_readStream->setClientIdentity(chain, clientKey().toPem());
        }
    }
    if (!proxyHost().isEmpty() && proxyPort() != 0) {
        const bool socks = proxyType().compare("SOCKS", Qt::CaseInsensitive) == 0;
        m_readStream->setProxy(QString("%1://%2:%3").arg(socks ? "socks5h" : "http", proxyHost()).arg(proxyPort()));
    }
    // curl runs NTLM's messages itself, on one connection.
    if (m_requestAuthentication && !m_requestAuthentication->ntlmUserPassword().isEmpty())
        m_readStream->setNTLMCredentials(m_requestAuthentication->ntlmUserPassword(), false);
    if (m_proxyAuthentication && !m_proxyAuthentication->ntlmUserPassword().isEmpty())
        m_readStream->setNTLMCredentials(m_proxyAuthentication->ntlmUserPassword(), true);

    expirePersistentConnections();
    const std::shared_ptr<ZrRunLoop> loop = ZrRunLoop::current();
    bool fresh = true;
    {
        QMutexLocker locker(&pool().lock);
        if (target.host().isEmpty() || target.scheme().isEmpty())
            setShouldAttemptPersistentConnection(false);
        if (shouldAttemptPersistentConnection()) {
            const QString host = target.host();
            const QString scheme = target.scheme();
            const int port = urlPort(target);
            const QDateTime now = QDateTime::currentDateTimeUtc();
            QSharedPointer<ConnectionRecord> record = m_connectionInfo;
            if (record) {
                const bool expired = record->expires.isValid() && record->expires <= now;
                if (expired)
                    pool().records.removeAll(record);
                if (expired || record->host != host || record->scheme != scheme || record->port != port
                    || record->request != 0 || record->loop != loop.get() || !pool().records.contains(record))
                    record.clear();
            }
            if (!record) {
                for (const QSharedPointer<ConnectionRecord> &candidate : qAsConst(pool().records)) {
                    if (candidate->request == 0 && candidate->host == host && candidate->scheme == scheme
                        && candidate->port == port && candidate->loop == loop.get())
                        record = candidate;
                }
            }
            fresh = !record;
            if (!record) {
                record.reset(new ConnectionRecord);
                record->id = ++pool().lastConnectionID;
                record->host = host;
                record->port = port;
                record->scheme = scheme;
                record->loop = loop.get();
                pool().records.append(record);
            }
            if (requestID() == 0)
                setRequestID(++pool().lastRequestID);
            record->request = requestID();
            m_connectionInfo = record;
        }
    }
    m_connectionReused = !fresh;
    // A new record means a new connection; a reused one takes curl's idle connection.
    m_readStream->setFreshConnect(fresh);
    m_readStream->setMaxConnectionAge(static_cast<long>(persistentConnectionTimeoutSeconds()));
    // A body going to a file may be of any size.
    m_readStream->setReceivesLargeBody(!downloadDestinationPath().isEmpty());

    const QDateTime wakeUp = throttleWakeUpTime();
    if (!readStreamIsScheduled()
        && !(isBandwidthThrottled() && wakeUp.isValid() && wakeUp > QDateTime::currentDateTimeUtc()))
        scheduleReadStream();

    m_readStream->setClient([this](ZrHttpStream::Event event) { handleNetworkEvent(event); });
    if (!m_readStream->open(loop)) {
        setConnectionCanBeReused(false);
        destroyReadStream();
        failWithError(zrRequestError(ZRInternalErrorWhileBuildingRequestType, "Unable to start HTTP connection"));
        return;
    }

    if (!mainRequest()) {
        if (shouldResetUploadProgress())
            incrementUploadSizeBy(showAccurateProgress() ? static_cast<qint64>(postLength()) : 1);
        QVector<Report> reset;
        if (shouldResetUploadProgress())
            reset << indicatorReport(ReportTarget::UploadProgress, 0, 1);
        if (shouldResetDownloadProgress() && partialDownloadSize() == 0)
            reset << indicatorReport(ReportTarget::DownloadProgress, 0, 1);
        if (!reset.isEmpty())
            performReports(reset);
    }
    setLastActivityTime(QDateTime::currentDateTimeUtc());
    startStatusTimer();
}

void ZRHTTPRequest::scheduleReadStream()
{
    if (!m_readStream || readStreamIsScheduled())
        return;
    {
        QMutexLocker locker(&pool().lock);
        ++pool().runningRequestCount;
        if (pool().shouldUpdateNetworkActivityIndicator)
            showNetworkActivityIndicator();
    }
    setLastActivityTime(QDateTime::currentDateTimeUtc());
    m_readStream->schedule();
    setReadStreamIsScheduled(true);
}

void ZRHTTPRequest::unscheduleReadStream()
{
    if (!m_readStream || !readStreamIsScheduled())
        return;
    {
        QMutexLocker locker(&pool().lock);
        if (--pool().runningRequestCount == 0 && pool().shouldUpdateNetworkActivityIndicator)
            ZrRunLoop::performOnMainThread(&ZRHTTPRequest::hideNetworkActivityIndicatorAfterDelay);
    }
    m_readStream->unschedule();
    setReadStreamIsScheduled(false);
}

void ZRHTTPRequest::destroyReadStream()
{
    if (!m_readStream)
        return;
    unscheduleReadStream();
    m_readStream->close();
    m_readStream.reset();
}

void ZRHTTPRequest::startStatusTimer()
{
    stopStatusTimer();
    const std::shared_ptr<ZrRunLoop> loop = ZrRunLoop::current();
    m_runLoop = loop;
    QPointer<ZRHTTPRequest> guard(this);
    m_statusTimer = loop->addTimer(0.25, true, [guard] {
        if (guard)
            guard->updateStatus();
    });
}

void ZRHTTPRequest::stopStatusTimer()
{
    if (m_statusTimer == 0)
        return;
    if (const std::shared_ptr<ZrRunLoop> loop = m_runLoop.lock())
        loop->removeTimer(m_statusTimer);
    m_statusTimer = 0;
}

void ZRHTTPRequest::updateStatus()
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    checkRequestStatus();
    if (!inProgress())
        stopStatusTimer();
}

void ZRHTTPRequest::checkRequestStatus()
{
    QMutexLocker locker(&m_cancelledLock);
    if (isCancelled() || complete())
        return;
    performThrottling();
    if (shouldTimeOut()) {
        if (numberOfTimesToRetryOnTimeout() > retryCount()) {
            // What arrived so far is on disk; the retry asks for the rest and decides anew how to write.
            m_fileDownloadOutputStream.reset();
            m_inflatedFileDownloadOutputStream.reset();
            updatePartialDownloadSize();
            if (partialDownloadSize() > 0 && m_request) {
                const QString range = QString("bytes=%1-").arg(partialDownloadSize());
                addRequestHeader("Range", range);
                m_request->setHeaderField("Range", range);
            }
            setRetryCount(retryCount() + 1);
            // The silent connection is given up; the retry takes a new one.
            setConnectionCanBeReused(false);
            removeFromConnectionPool();
            destroyReadStream();
            startRequest();
            return;
        }
        failWithError(zrRequestError(ZRRequestTimedOutErrorType, "The request timed out"));
        cancelLoad();
        setComplete(true);
        return;
    }
    if (m_readStream) {
        if (postLength() > 0) {
            setLastBytesSent(totalBytesSent());
            setTotalBytesSent(static_cast<quint64>(m_readStream->bytesWritten()));
            if (totalBytesSent() > lastBytesSent()) {
                setLastActivityTime(QDateTime::currentDateTimeUtc());
                incrementBandwidthUsedInLastSecond(static_cast<unsigned long>(totalBytesSent() - lastBytesSent()));
            }
        }
        updateProgressIndicators();
    }
}

bool ZRHTTPRequest::shouldTimeOut() const
{
    const QDateTime lastActivity = lastActivityTime();
    if (!m_readStream || !readStreamIsScheduled() || !lastActivity.isValid() || timeOutSeconds() <= 0)
        return false;
    const double elapsed = lastActivity.msecsTo(QDateTime::currentDateTimeUtc()) / 1000.0;
    if (elapsed <= timeOutSeconds())
        return false;
    if (postLength() == 0)
        return true;
    // A body the transport took whole may still be on its way: allow half as long again.
    if (uploadBufferSize() != 0 && totalBytesSent() > uploadBufferSize())
        return true;
    return elapsed > 1.5 * timeOutSeconds();
}

void ZRHTTPRequest::handleNetworkEvent(int event)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    {
        QMutexLocker locker(&m_cancelledLock);
        if (complete() || isCancelled())
            return;
        switch (event) {
        case ZrHttpStream::EndEncountered:
            handleStreamComplete();
            break;
        case ZrHttpStream::ErrorOccurred:
            handleStreamError();
            break;
        default:
            handleBytesAvailable();
            break;
        }
        if (m_readStream)
            performThrottling();
    }
    if (downloadComplete() && needsRedirect()) {
        if (!willAskDelegateToConfirmRedirect())
            performRedirect();
    } else if (downloadComplete() && authenticationNeeded()) {
        attemptToApplyCredentialsAndResume();
    }
}

void ZRHTTPRequest::handleStreamError()
{
    if (error().isNull() && m_readStream && m_readStream->connectResponseCode() == 407
        && m_readStream->responseHeader()->isHeaderComplete()) {
        // The proxy refused the tunnel: its answer is handled like any 407.
        handleStreamComplete();
        return;
    }
    if (error().isNull() && m_readStream) {
        const CURLcode code = m_readStream->result();
        // A kept connection that the server closed meanwhile gets one silent new try.
        const bool droppedConnection =
            code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
        if (droppedConnection && m_connectionReused && !m_readStream->receivedAnything()
            && retryUsingNewConnection())
            return;
        const ZrError underlying = m_readStream->streamError();
        const QString description =
            ZrHttpStream::isSecureTransportError(code)
                ? QString("%1: SSL problem (Possible causes may include a bad/expired/self-signed certificate, "
                          "clock set to wrong date)")
                      .arg(m_readStream->errorText())
                : QString("A connection failure occurred");
        cancelLoad();
        failWithError(zrRequestError(ZRConnectionFailureErrorType, description, underlying));
    } else {
        cancelLoad();
    }
    checkRequestStatus();
}

bool ZRHTTPRequest::retryUsingNewConnection()
{
    if (retryCount() != 0)
        return false;
    setWillRetryRequest(true);
    cancelLoad();
    setWillRetryRequest(false);
    removeFromConnectionPool();
    {
        QMutexLocker locker(&pool().lock);
        m_connectionInfo.clear();
    }
    setRetryCount(retryCount() + 1);
    startRequest();
    return true;
}

void ZRHTTPRequest::cancelLoad()
{
    cancelPACLoad();
    destroyReadStream();
    m_postBodyReadStream.reset();
    m_postBodyWriteStream.reset();

    if (!rawResponseData().isNull()) {
        if (!complete())
            setRawResponseData(QByteArray());
    } else if (!temporaryFileDownloadPath().isEmpty()) {
        m_fileDownloadOutputStream.reset();
        m_inflatedFileDownloadOutputStream.reset();
        // A cancel or a failure marks the request complete before the load is cancelled:
        // only a body that arrived whole is kept.
        if (!downloadComplete()) {
            if (!allowResumeForFileDownloads())
                removeTemporaryDownloadFile();
            removeTemporaryUncompressedDownloadFile();
        }
    }
    if (!authenticationNeeded() && !willRetryRequest() && didCreateTemporaryPostDataFile()) {
        removeTemporaryUploadFile();
        removeTemporaryCompressedUploadFile();
        setDidCreateTemporaryPostDataFile(false);
    }
}

bool ZRHTTPRequest::removeTemporaryFile(const QString &path)
{
    if (path.isEmpty())
        return true;
    ZrError removeError;
    if (removeFileAtPath(path, &removeError))
        return true;
    failWithError(removeError);
    return false;
}

bool ZRHTTPRequest::removeTemporaryDownloadFile()
{
    const bool removed = removeTemporaryFile(temporaryFileDownloadPath());
    setTemporaryFileDownloadPath(QString());
    return removed;
}

bool ZRHTTPRequest::removeTemporaryUncompressedDownloadFile()
{
    const bool removed = removeTemporaryFile(temporaryUncompressedDataDownloadPath());
    setTemporaryUncompressedDataDownloadPath(QString());
    return removed;
}

bool ZRHTTPRequest::removeTemporaryUploadFile()
{
    dropBodySegments();
    const bool removed = removeTemporaryFile(bodyFilePath());
    setPostBodyFilePath(QString());
    return removed;
}

bool ZRHTTPRequest::removeTemporaryCompressedUploadFile()
{
    const bool removed = removeTemporaryFile(compressedPostBodyFilePath());
    setCompressedPostBodyFilePath(QString());
    return removed;
}

bool ZRHTTPRequest::removeFileAtPath(const QString &path, ZrError *error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    // A removed file's pages are freed when its last descriptor closes: for a large file that
    // takes a while, spent on a pool thread instead of the caller's.
    const int lastDescriptor = file.size() >= LargeFileSize ? ::open(QFile::encodeName(path).constData(),
                                                                      O_RDONLY | O_CLOEXEC)
                                                            : -1;
    const bool removed = file.remove();
    if (lastDescriptor >= 0)
        QThreadPool::globalInstance()->start([lastDescriptor] { ::close(lastDescriptor); });
    if (removed)
        return true;
    return zrSetError(error, zrRequestError(ZRFileManagementError,
                                            QString("Failed to delete file at path '%1'").arg(path),
                                            zrFileError(file)));
}
