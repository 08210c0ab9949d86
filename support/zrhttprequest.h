#ifndef ZRHTTPREQUEST_H
#define ZRHTTPREQUEST_H

#include "support/zrerror.h"
#include "support/zrhttprequesterror.h"
#include "support/zroperation.h"
#include "support/zrsegmentedbody.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QNetworkCookie>
#include <QPointer>
#include <QRecursiveMutex>
#include <QSharedPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

class QFile;
class QThread;
class ZrHttpStream;
class ZRCacheDelegate;
class ZRDataDecompressor;
class ZRInputStream;
class ZrHttpAuthentication;
class ZrHttpMessage;
class ZrOperationQueue;
class ZrRunLoop;

extern const char *const ZRHTTPRequestVersion;
extern const unsigned long ZRWWANBandwidthThrottleAmount;

using ZRCookieList = QList<QNetworkCookie>;
using ZRCertificateList = QList<QSslCertificate>;

// A property guarded by the request's property lock.
#define ZR_ATOMIC_PROPERTY(Type, name, setter)                                                                   \
public:                                                                                                          \
    Type name() const                                                                                            \
    {                                                                                                            \
        QMutexLocker locker(&m_propertyLock);                                                                    \
        return m_##name;                                                                                         \
    }                                                                                                            \
    void setter(const Type &value)                                                                               \
    {                                                                                                            \
        QMutexLocker locker(&m_propertyLock);                                                                    \
        m_##name = value;                                                                                        \
    }                                                                                                            \
                                                                                                                 \
private:                                                                                                         \
    Type m_##name = Type();

// A property used by the driving thread only.
#define ZR_PLAIN_PROPERTY(Type, name, setter)                                                                    \
public:                                                                                                          \
    Type name() const { return m_##name; }                                                                       \
    void setter(const Type &value) { m_##name = value; }                                                         \
                                                                                                                 \
private:                                                                                                         \
    Type m_##name = Type();

// One HTTP exchange with its redirects, authentication and retries. Runs synchronously
// on the calling thread, or as an operation on the library's network thread, and reports
// to a delegate, a queue and blocks on the main thread.
class ZRHTTPRequest : public ZrOperation
{
    Q_OBJECT
public slots:
    // The script download's finish and failure, on the driving thread.
    void finishedDownloadingPACFile(ZRHTTPRequest *theRequest);

public:
    using Block = std::function<void()>;
    using HeadersBlock = std::function<void(const QVariantMap &headers)>;
    using ProgressBlock = std::function<void(qint64 size, quint64 total)>;
    using SizeBlock = std::function<void(qint64 size)>;
    using DataBlock = std::function<void(const QByteArray &data)>;
    // A record of the persistent-connection pool.
    struct ConnectionRecord;

    explicit ZRHTTPRequest(const QUrl &newURL);
    ~ZRHTTPRequest() override;

    static QSharedPointer<ZRHTTPRequest> requestWithURL(const QUrl &newURL);
    static QSharedPointer<ZRHTTPRequest> requestWithURL(const QUrl &newURL, ZRCacheDelegate *cache, int policy = 0);

    // Starting and cancelling.
    void startSynchronous();
    void startAsynchronous();
    void start() override;
    void main() override;
    bool isConcurrent() const override { return true; }
    bool isExecuting() const override { return inProgress(); }
    bool isCancelled() const override;
    void cancel() override;
    void clearDelegatesAndCancel();
    void failWithError(const ZrError &theError);
    void markAsFinished();

    // Results.
    QByteArray responseData() const;
    QString responseString() const;
    // The id of the pooled connection record the request used; 0 before it had one.
    quint64 connectionID() const;
    bool isResponseCompressed() const;

    // Continues a redirect that the delegate was asked to confirm.
    void redirectToURL(const QUrl &newURL);

    // Authentication. Credentials dictionaries use ZrHttpAuthentication's keys.
    void applyAuthorizationHeader();
    void addBasicAuthenticationHeader(const QString &theUsername, const QString &thePassword);
    QVariantMap findCredentials();
    QVariantMap findProxyCredentials();
    bool applyCredentials(const QVariantMap &newCredentials);
    bool applyProxyCredentials(const QVariantMap &newCredentials);
    void attemptToApplyCredentialsAndResume();
    void attemptToApplyProxyCredentialsAndResume();
    bool willAskDelegateForCredentials();
    bool willAskDelegateForProxyCredentials();
    // Sends the delegate (or the queue) its authentication-needed call on the main thread, or
    // runs the matching block.
    void askDelegateForCredentials();
    void askDelegateForProxyCredentials();
    bool showAuthenticationDialog() { return false; }
    bool showProxyAuthenticationDialog() { return false; }
    // Called by the delegate once it has set credentials, or to give up.
    void retryUsingSuppliedCredentials();
    void cancelAuthentication();
    void saveCredentialsToKeychain(const QVariantMap &newCredentials);
    void saveProxyCredentialsToKeychain(const QVariantMap &newCredentials);
    QVariantMap findSessionAuthenticationCredentials();
    QVariantMap findSessionProxyAuthenticationCredentials();

    // Proxies.
    bool configureProxies();
    void fetchPACFile();
    void timeOutPACRead();
    void runPACScript(const QString &script);

    // Body and headers.
    void addRequestHeader(const QString &header, const QString &value);
    void setupPostBody();
    void appendPostData(const QByteArray &data);
    void appendPostDataFromFile(const QString &file);
    virtual void buildPostBody();
    void buildRequestHeaders();
    void applyCookieHeader();
    void updatePartialDownloadSize();
    QSharedPointer<ZRHTTPRequest> HEADRequest();
    virtual QSharedPointer<ZRHTTPRequest> copyWithZone();

    // Properties with behaviour of their own.
    QUrl url() const;
    void setURL(const QUrl &newURL);
    QString requestMethod() const;
    void setRequestMethod(const QString &newRequestMethod);
    QObject *delegate() const;
    void setDelegate(QObject *newDelegate);
    QObject *queue() const;
    void setQueue(QObject *newQueue);
    QObject *uploadProgressDelegate() const;
    void setUploadProgressDelegate(QObject *newDelegate);
    QObject *downloadProgressDelegate() const;
    void setDownloadProgressDelegate(QObject *newDelegate);
    ZRHTTPRequest *mainRequest() const;
    void setMainRequest(ZRHTTPRequest *request);
    ZRCacheDelegate *downloadCache() const;
    void setDownloadCache(ZRCacheDelegate *cache);
    QRecursiveMutex *cancelledLock() { return &m_cancelledLock; }
    // The status timer's id on the driving thread's loop; 0 while none runs.
    int statusTimer() const { return m_statusTimer; }
    // The client's certificate and key (for example from PKCS#12).
    void setClientCertificateIdentity(const QSslCertificate &certificate, const QSslKey &key);
    QSslCertificate clientCertificate() const;
    QSslKey clientKey() const;

    // Blocks, each copied when set; the last copy is released on the main thread.
    void setStartedBlock(const Block &block);
    void setHeadersReceivedBlock(const HeadersBlock &block);
    void setCompletionBlock(const Block &block);
    void setFailedBlock(const Block &block);
    void setBytesReceivedBlock(const ProgressBlock &block);
    void setBytesSentBlock(const ProgressBlock &block);
    void setDownloadSizeIncrementedBlock(const SizeBlock &block);
    void setUploadSizeIncrementedBlock(const SizeBlock &block);
    void setDataReceivedBlock(const DataBlock &block);
    void setAuthenticationNeededBlock(const Block &block);
    void setProxyAuthenticationNeededBlock(const Block &block);
    void setRequestRedirectedBlock(const Block &block);

    // Throttling and progress.
    void performThrottling();
    void updateProgressIndicators();
    void updateUploadProgress();
    void updateDownloadProgress();
    void incrementDownloadSizeBy(qint64 length);
    void incrementUploadSizeBy(qint64 length);
    void removeUploadProgressSoFar();

    // Class-wide.
    static ZrOperationQueue *sharedQueue();
    static QThread *threadForRequest(ZRHTTPRequest *request);
    static double defaultTimeOutSeconds();
    static void setDefaultTimeOutSeconds(double newTimeOutSeconds);
    static ZRCacheDelegate *defaultCache();
    static void setDefaultCache(ZRCacheDelegate *cache);
    static ZRCookieList sessionCookies();
    static void setSessionCookies(const ZRCookieList &newSessionCookies);
    static void addSessionCookie(const QNetworkCookie &newCookie);
    static void clearSession();
    static QString defaultUserAgentString();
    static void setDefaultUserAgentString(const QString &agent);
    static QString mimeTypeForFileAtPath(const QString &path);

    // Session and persistent credential stores.
    static QList<QVariantMap> sessionCredentialsStore();
    static QList<QVariantMap> sessionProxyCredentialsStore();
    static void storeAuthenticationCredentialsInSessionStore(const QVariantMap &storedCredentials);
    static void storeProxyAuthenticationCredentialsInSessionStore(const QVariantMap &storedCredentials);
    static void removeAuthenticationCredentialsFromSessionStore(const QVariantMap &credentials);
    static void removeProxyAuthenticationCredentialsFromSessionStore(const QVariantMap &credentials);
    static bool saveCredentials(const QVariantMap &credentials, const QString &host, int port, const QString &protocol,
                                const QString &realm);
    static bool saveCredentials(const QVariantMap &credentials, const QString &proxyHost, int proxyPort,
                                const QString &realm);
    static QVariantMap savedCredentialsForHost(const QString &host, int port, const QString &protocol,
                                               const QString &realm);
    static QVariantMap savedCredentialsForProxy(const QString &proxyHost, int proxyPort, const QString &protocol,
                                                const QString &realm);
    static void removeCredentialsForHost(const QString &host, int port, const QString &protocol, const QString &realm);
    static void removeCredentialsForProxy(const QString &proxyHost, int proxyPort, const QString &realm);
    static QString base64forData(const QByteArray &data);

    static unsigned long maxBandwidthPerSecond();
    static void setMaxBandwidthPerSecond(unsigned long bytes);
    static bool isBandwidthThrottled();
    static void incrementBandwidthUsedInLastSecond(unsigned long bytes);
    static void measureBandwidthUsage();
    static void recordBandwidthUsage();
    static unsigned long averageBandwidthUsedPerSecond();
    static unsigned long maxUploadReadLength();
    // The end of the current measuring window and the time throttled streams wake up.
    static QDateTime bandwidthMeasurementDate();
    static QDateTime throttleWakeUpTime();
    static void updateProgressIndicator(QObject *indicator, quint64 progress, quint64 total);
    // Calls an indicator's selector with a value on the main thread, if it still answers then.
    static void performSelector(const QByteArray &selector, QObject *target, double value);

    // Connections and responses. The running-request counter also drives the activity
    // indicator's calls, though there is no indicator to show here.
    static bool isNetworkInUse();
    static void setShouldUpdateNetworkActivityIndicator(bool shouldUpdate);
    static void showNetworkActivityIndicator() {}
    static void hideNetworkActivityIndicator() {}
    static void hideNetworkActivityIndicatorAfterDelay();
    static void hideNetworkActivityIndicatorIfNeeeded();
    static void expirePersistentConnections();
    static bool removeFileAtPath(const QString &path, ZrError *error);
    static QDateTime expiryDateForRequest(ZRHTTPRequest *request, double maxAge);
    static QDateTime dateFromRFC1123String(const QString &string);
    // Fills the MIME type and, when the value names a known charset, the encoding (a MIB number).
    static void parseMimeType(QString *mimeType, int *stringEncoding, const QString &contentType);

protected:
    // A new request of this request's class, for copies.
    virtual QSharedPointer<ZRHTTPRequest> newRequestOfSameClass(const QUrl &newURL) const;
    // The deleter of shared requests: the last reference may go on any thread, the
    // object goes on the main thread, never inside one of its own calls.
    static void deleteOnMainThread(ZRHTTPRequest *request);

private:
    enum class ReportTarget { Delegate, Queue, UploadProgress, DownloadProgress };

    void cancelOnRequestThread();
    void performOnRequestThread(const std::function<void()> &function);
    QString temporaryFilePath() const;
    // The body file's path, without writing a body kept in pieces.
    QString bodyFilePath() const;
    bool openPostBodyWriteStream();
    bool appendBodySegment(const ZrSegmentedBody::Segment &segment);
    bool bodySegments(ZrSegmentedBody::Segments *segments) const;
    ZrError writeBodySegmentsToFile();
    void dropBodySegments();

    // Connection and stream driving.
    void startRequest();
    void scheduleReadStream();
    void unscheduleReadStream();
    void destroyReadStream();
    void startStatusTimer();
    void stopStatusTimer();
    void updateStatus();
    void checkRequestStatus();
    bool shouldTimeOut() const;
    void handleNetworkEvent(int event);
    void handleStreamError();
    bool retryUsingNewConnection();
    void removeFromConnectionPool();
    void releaseConnection();
    void cancelLoad();
    bool removeTemporaryFile(const QString &path);
    bool removeTemporaryDownloadFile();
    bool removeTemporaryUncompressedDownloadFile();
    bool removeTemporaryUploadFile();
    bool removeTemporaryCompressedUploadFile();

    // Authentication and proxies.
    void attemptToApplyCredentialsAndResume(bool forProxy);
    static void clearSessionCredentials();
    bool applyCredentialsFor(bool forProxy, const QVariantMap &newCredentials);
    QVariantMap findSessionCredentialsFor(bool forProxy);
    bool willAskDelegateFor(bool forProxy);
    void askDelegateFor(bool forProxy);
    QString protectionSpace(bool forProxy) const;
    void releaseCredentialWaiters();
    bool isOriginalOrigin() const;
    void readPACFile();
    void finishPACRead(bool atEnd);
    void closePACFile();
    void cancelPACLoad();

    // Response.
    void readResponseHeaders();
    bool willRedirect();
    bool willAskDelegateToConfirmRedirect();
    void performRedirect();
    void parseStringEncodingFromHeaders();
    void handleBytesAvailable();
    void handleStreamComplete();
    bool openDownloadFiles();
    void useDataFromCache();
    void requestWillRedirectToURL(const QUrl &newURL);
    void requestRedirected();
    void releaseBlocksOnMainThread();

    // Main-thread reports.
    void report(const QByteArray &delegateSelector, Block ZRHTTPRequest::*block, const char *queueSelector,
                bool onlyWithoutError);
    void requestStarted();
    void requestReceivedResponseHeaders(const QVariantMap &newResponseHeaders);
    void reportFinished();
    void reportFailure();
    void passOnReceivedData(const QByteArray &data);
    QObject *reportTarget(ReportTarget target) const;
    // A progress report, run on the main thread with the live request; it reads its target
    // (or block) only then, so one cleared meanwhile gets nothing.
    using Report = std::function<void(ZRHTTPRequest *request)>;
    static Report selectorReport(const QByteArray &selector, ReportTarget target, qint64 amount);
    static Report indicatorReport(ReportTarget target, quint64 progress, quint64 total);
    template <typename Getter, typename... Args>
    static Report blockReport(Getter getter, const Args &...args);
    // Reports made at one moment go to the main thread in one call, in their order.
    void performReports(const QVector<Report> &reports);
    static void sendMaxValue(QObject *indicator);
    static QRecursiveMutex &progressLock();
    static qint64 throttledReadLength(qint64 size);
    QSharedPointer<ZRHTTPRequest> retainSelf();

    mutable QRecursiveMutex m_cancelledLock;
    mutable QMutex m_propertyLock;

    QUrl m_url;
    QString m_requestMethod = "GET";
    QPointer<QObject> m_delegate;
    QPointer<QObject> m_queue;
    QPointer<QObject> m_uploadProgressDelegate;
    QPointer<QObject> m_downloadProgressDelegate;
    QPointer<ZRHTTPRequest> m_mainRequest;
    QPointer<ZRCacheDelegate> m_downloadCache;
    // None until set: a certificate object costs as much to make as a small request.
    struct ClientIdentity;
    std::shared_ptr<const ClientIdentity> m_clientIdentity;
    std::atomic<bool> m_cancelled{false};

    Block m_startedBlock;
    HeadersBlock m_headersReceivedBlock;
    Block m_completionBlock;
    Block m_failureBlock;
    ProgressBlock m_bytesReceivedBlock;
    ProgressBlock m_bytesSentBlock;
    SizeBlock m_downloadSizeIncrementedBlock;
    SizeBlock m_uploadSizeIncrementedBlock;
    DataBlock m_dataReceivedBlock;
    Block m_authenticationNeededBlock;
    Block m_proxyAuthenticationNeededBlock;
    Block m_requestRedirectedBlock;

    QSharedPointer<ZrHttpMessage> m_request;
    std::unique_ptr<QFile> m_postBodyWriteStream;
    // The temporary body while it is kept in pieces.
    mutable QMutex m_bodySegmentsLock;
    bool m_bodyInSegments = false;
    ZrSegmentedBody::Segments m_bodySegments;
    std::unique_ptr<ZRInputStream> m_postBodyReadStream;
    std::shared_ptr<ZrHttpStream> m_readStream;
    std::unique_ptr<QFile> m_fileDownloadOutputStream;
    std::unique_ptr<QFile> m_inflatedFileDownloadOutputStream;
    QByteArray m_readBuffer;
    QSharedPointer<ConnectionRecord> m_connectionInfo;
    bool m_connectionReused = false;
    QSharedPointer<ZrHttpMessage> m_responseHeader;
    QSharedPointer<ZrHttpAuthentication> m_requestAuthentication;
    QSharedPointer<ZrHttpAuthentication> m_proxyAuthentication;
    QString m_promptSpace;
    QSharedPointer<ZRHTTPRequest> m_PACFileRequest;
    QByteArray m_PACFileData;
    int m_PACFileDescriptor = -1;
    int m_PACReadTimer = 0;
    bool m_redirectKeepsHeaders = false;
    std::atomic<int> m_statusTimer{0};
    std::weak_ptr<ZrRunLoop> m_runLoop;
    QSharedPointer<ZRHTTPRequest> m_self;

    ZR_ATOMIC_PROPERTY(ZRCookieList, responseCookies, setResponseCookies)
    ZR_ATOMIC_PROPERTY(QString, authenticationRealm, setAuthenticationRealm)
    ZR_ATOMIC_PROPERTY(QString, proxyAuthenticationRealm, setProxyAuthenticationRealm)
    ZR_ATOMIC_PROPERTY(QString, responseStatusMessage, setResponseStatusMessage)
    ZR_ATOMIC_PROPERTY(quint64, requestID, setRequestID)
    ZR_ATOMIC_PROPERTY(QString, username, setUsername)
    ZR_ATOMIC_PROPERTY(QString, password, setPassword)
    ZR_ATOMIC_PROPERTY(QString, userAgentString, setUserAgentString)
    ZR_ATOMIC_PROPERTY(QString, domain, setDomain)
    ZR_ATOMIC_PROPERTY(QString, proxyUsername, setProxyUsername)
    ZR_ATOMIC_PROPERTY(QString, proxyPassword, setProxyPassword)
    ZR_ATOMIC_PROPERTY(QString, proxyDomain, setProxyDomain)
    ZR_ATOMIC_PROPERTY(QString, proxyHost, setProxyHost)
    ZR_ATOMIC_PROPERTY(QString, proxyType, setProxyType)
    ZR_ATOMIC_PROPERTY(QUrl, originalURL, setOriginalURL)
    ZR_ATOMIC_PROPERTY(QString, downloadDestinationPath, setDownloadDestinationPath)
    ZR_ATOMIC_PROPERTY(QString, temporaryFileDownloadPath, setTemporaryFileDownloadPath)
    ZR_ATOMIC_PROPERTY(QString, temporaryUncompressedDataDownloadPath, setTemporaryUncompressedDataDownloadPath)
    ZR_ATOMIC_PROPERTY(ZrError, error, setError)
    ZR_ATOMIC_PROPERTY(QVariantMap, responseHeaders, setResponseHeaders)
    ZR_ATOMIC_PROPERTY(QVariantMap, requestHeaders, setRequestHeaders)
    ZR_ATOMIC_PROPERTY(ZRCookieList, requestCookies, setRequestCookies)
    ZR_ATOMIC_PROPERTY(QVariantMap, requestCredentials, setRequestCredentials)
    ZR_ATOMIC_PROPERTY(QVariantMap, proxyCredentials, setProxyCredentials)
    ZR_ATOMIC_PROPERTY(QByteArray, rawResponseData, setRawResponseData)
    ZR_ATOMIC_PROPERTY(QByteArray, postBody, setPostBody)
    ZR_ATOMIC_PROPERTY(QVariantMap, userInfo, setUserInfo)
public:
    // The file the body is streamed from. The request's own temporary body is kept in pieces
    // (bytes and the files appended) and written to this file only when the path is asked for.
    QString postBodyFilePath() const;
    void setPostBodyFilePath(const QString &path);

private:
    QString m_postBodyFilePath;

    ZR_ATOMIC_PROPERTY(QUrl, PACurl, setPACurl)
    ZR_ATOMIC_PROPERTY(QString, authenticationScheme, setAuthenticationScheme)
    ZR_ATOMIC_PROPERTY(QString, proxyAuthenticationScheme, setProxyAuthenticationScheme)
    ZR_ATOMIC_PROPERTY(ZRCertificateList, clientCertificates, setClientCertificates)
    ZR_ATOMIC_PROPERTY(QSharedPointer<ZRDataDecompressor>, dataDecompressor, setDataDecompressor)

    ZR_PLAIN_PROPERTY(QDateTime, lastActivityTime, setLastActivityTime)
    ZR_PLAIN_PROPERTY(QByteArray, compressedPostBody, setCompressedPostBody)
    ZR_PLAIN_PROPERTY(QString, compressedPostBodyFilePath, setCompressedPostBodyFilePath)
    ZR_PLAIN_PROPERTY(QUrl, redirectURL, setRedirectURL)

    ZR_ATOMIC_PROPERTY(bool, complete, setComplete)
    ZR_ATOMIC_PROPERTY(bool, inProgress, setInProgress)
    ZR_ATOMIC_PROPERTY(bool, willRetryRequest, setWillRetryRequest)
    ZR_ATOMIC_PROPERTY(bool, connectionCanBeReused, setConnectionCanBeReused)
    ZR_ATOMIC_PROPERTY(bool, didUseCachedResponse, setDidUseCachedResponse)
    ZR_ATOMIC_PROPERTY(bool, useKeychainPersistence, setUseKeychainPersistence)
    ZR_ATOMIC_PROPERTY(bool, useSessionPersistence, setUseSessionPersistence)
    ZR_ATOMIC_PROPERTY(bool, useCookiePersistence, setUseCookiePersistence)
    ZR_ATOMIC_PROPERTY(bool, shouldResetDownloadProgress, setShouldResetDownloadProgress)
    ZR_ATOMIC_PROPERTY(bool, shouldResetUploadProgress, setShouldResetUploadProgress)
    ZR_ATOMIC_PROPERTY(bool, showAccurateProgress, setShowAccurateProgress)
    ZR_ATOMIC_PROPERTY(bool, allowCompressedResponse, setAllowCompressedResponse)
    ZR_ATOMIC_PROPERTY(bool, allowResumeForFileDownloads, setAllowResumeForFileDownloads)
    ZR_ATOMIC_PROPERTY(bool, shouldStreamPostDataFromDisk, setShouldStreamPostDataFromDisk)
    ZR_ATOMIC_PROPERTY(bool, didCreateTemporaryPostDataFile, setDidCreateTemporaryPostDataFile)
    ZR_ATOMIC_PROPERTY(bool, useHTTPVersionOne, setUseHTTPVersionOne)
    ZR_ATOMIC_PROPERTY(bool, shouldRedirect, setShouldRedirect)
    ZR_ATOMIC_PROPERTY(bool, validatesSecureCertificate, setValidatesSecureCertificate)
    ZR_ATOMIC_PROPERTY(bool, shouldCompressRequestBody, setShouldCompressRequestBody)
    ZR_ATOMIC_PROPERTY(bool, shouldPresentAuthenticationDialog, setShouldPresentAuthenticationDialog)
    ZR_ATOMIC_PROPERTY(bool, shouldPresentProxyAuthenticationDialog, setShouldPresentProxyAuthenticationDialog)
    ZR_ATOMIC_PROPERTY(bool, shouldPresentCredentialsBeforeChallenge, setShouldPresentCredentialsBeforeChallenge)
    ZR_ATOMIC_PROPERTY(bool, haveBuiltRequestHeaders, setHaveBuiltRequestHeaders)
    ZR_ATOMIC_PROPERTY(bool, shouldAttemptPersistentConnection, setShouldAttemptPersistentConnection)
    ZR_ATOMIC_PROPERTY(bool, shouldUseRFC2616RedirectBehaviour, setShouldUseRFC2616RedirectBehaviour)
    ZR_ATOMIC_PROPERTY(bool, shouldWaitToInflateCompressedResponses, setShouldWaitToInflateCompressedResponses)
    ZR_ATOMIC_PROPERTY(int, responseStatusCode, setResponseStatusCode)
    ZR_ATOMIC_PROPERTY(int, authenticationRetryCount, setAuthenticationRetryCount)
    ZR_ATOMIC_PROPERTY(int, proxyAuthenticationRetryCount, setProxyAuthenticationRetryCount)
    ZR_ATOMIC_PROPERTY(int, retryCount, setRetryCount)
    ZR_ATOMIC_PROPERTY(int, authenticationNeeded, setAuthenticationNeeded)
    ZR_ATOMIC_PROPERTY(int, proxyPort, setProxyPort)
    ZR_ATOMIC_PROPERTY(int, numberOfTimesToRetryOnTimeout, setNumberOfTimesToRetryOnTimeout)
    ZR_ATOMIC_PROPERTY(int, cachePolicy, setCachePolicy)
    ZR_ATOMIC_PROPERTY(int, cacheStoragePolicy, setCacheStoragePolicy)
    ZR_ATOMIC_PROPERTY(quint64, partialDownloadSize, setPartialDownloadSize)
    ZR_ATOMIC_PROPERTY(quint64, contentLength, setContentLength)
    ZR_ATOMIC_PROPERTY(quint64, postLength, setPostLength)
    ZR_ATOMIC_PROPERTY(quint64, totalBytesRead, setTotalBytesRead)
    ZR_ATOMIC_PROPERTY(quint64, totalBytesSent, setTotalBytesSent)
    ZR_ATOMIC_PROPERTY(int, defaultResponseEncoding, setDefaultResponseEncoding)
    ZR_ATOMIC_PROPERTY(int, responseEncoding, setResponseEncoding)
    ZR_ATOMIC_PROPERTY(qint64, tag, setTag)
    ZR_ATOMIC_PROPERTY(double, timeOutSeconds, setTimeOutSeconds)
    ZR_ATOMIC_PROPERTY(double, persistentConnectionTimeoutSeconds, setPersistentConnectionTimeoutSeconds)
    ZR_ATOMIC_PROPERTY(double, secondsToCache, setSecondsToCache)
    ZR_ATOMIC_PROPERTY(QByteArray, didStartSelector, setDidStartSelector)
    ZR_ATOMIC_PROPERTY(QByteArray, didReceiveResponseHeadersSelector, setDidReceiveResponseHeadersSelector)
    ZR_ATOMIC_PROPERTY(QByteArray, willRedirectSelector, setWillRedirectSelector)
    ZR_ATOMIC_PROPERTY(QByteArray, didFinishSelector, setDidFinishSelector)
    ZR_ATOMIC_PROPERTY(QByteArray, didFailSelector, setDidFailSelector)
    ZR_ATOMIC_PROPERTY(QByteArray, didReceiveDataSelector, setDidReceiveDataSelector)

    ZR_PLAIN_PROPERTY(quint64, uploadBufferSize, setUploadBufferSize)
    ZR_PLAIN_PROPERTY(quint64, lastBytesRead, setLastBytesRead)
    ZR_PLAIN_PROPERTY(quint64, lastBytesSent, setLastBytesSent)
    ZR_PLAIN_PROPERTY(bool, updatedProgress, setUpdatedProgress)
    ZR_PLAIN_PROPERTY(bool, needsRedirect, setNeedsRedirect)
    ZR_PLAIN_PROPERTY(bool, readStreamIsScheduled, setReadStreamIsScheduled)
    ZR_PLAIN_PROPERTY(bool, downloadComplete, setDownloadComplete)
    ZR_PLAIN_PROPERTY(bool, isPACFileRequest, setIsPACFileRequest)
    ZR_PLAIN_PROPERTY(bool, haveBuiltPostBody, setHaveBuiltPostBody)
    ZR_PLAIN_PROPERTY(bool, isSynchronous, setSynchronous)
    ZR_PLAIN_PROPERTY(int, redirectCount, setRedirectCount)
    ZR_PLAIN_PROPERTY(QString, runLoopMode, setRunLoopMode)
};

#endif
