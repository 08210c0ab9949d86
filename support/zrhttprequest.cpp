#include "support/zrhttprequest.h"

#include "support/zrcachedelegate.h"
#include "support/zrdatadecompressor.h"
#include "support/zrhttpauthentication.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttpstream.h"
#include "support/zrinputstream.h"
#include "support/zroperationqueue.h"
#include "support/zrrunloop.h"
#include "support/zrselector.h"

#include <QFile>
#include <QTextCodec>
#include <QThread>

#include <curl/curl.h>

#include <cxxabi.h>

#include <cstdlib>
#include <future>
#include <mutex>
#include <typeinfo>

const char *const ZRHTTPRequestErrorDomain = "ZRHTTPRequestErrorDomain";
const char *const ZRHTTPRequestVersion = "v1.0 2026-12-10";

namespace {

const char *const SynchronousRunLoopMode = "ZRHTTPRequestRunLoopMode";
const char *const DefaultRunLoopMode = "kCFRunLoopDefaultMode";
const int ISOLatin1Encoding = 4;

struct ClassState
{
    QMutex lock;
    double defaultTimeOutSeconds = 10;
    QPointer<ZRCacheDelegate> defaultCache;
};

ClassState &classState()
{
    static ClassState state;
    return state;
}

// The network thread: made once, runs its loop for ever.
std::shared_ptr<ZrRunLoop> networkRunLoop()
{
    static std::shared_ptr<ZrRunLoop> loop = [] {
        std::promise<std::shared_ptr<ZrRunLoop>> made;
        std::future<std::shared_ptr<ZrRunLoop>> ready = made.get_future();
        QThread *thread = QThread::create([&made] {
            std::shared_ptr<ZrRunLoop> own = ZrRunLoop::current();
            made.set_value(own);
            own->run();
        });
        thread->setObjectName("ZRHTTPRequest network thread");
        thread->start();
        return ready.get();
    }();
    return loop;
}

QString exceptionName(const std::exception &exception)
{
    int status = 0;
    char *demangled = abi::__cxa_demangle(typeid(exception).name(), nullptr, nullptr, &status);
    const QString name = status == 0 && demangled ? QString::fromLatin1(demangled)
                                                  : QString::fromLatin1(typeid(exception).name());
    std::free(demangled);
    return name;
}

} // namespace

ZRHTTPRequest::ZRHTTPRequest(const QUrl &newURL)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_ALL); });

    m_url = newURL;
    setRunLoopMode(DefaultRunLoopMode);
    setShouldAttemptPersistentConnection(true);
    setPersistentConnectionTimeoutSeconds(60);
    setShouldPresentCredentialsBeforeChallenge(true);
    setShouldRedirect(true);
    setShowAccurateProgress(true);
    setShouldResetDownloadProgress(true);
    setShouldResetUploadProgress(true);
    setAllowCompressedResponse(true);
    setShouldWaitToInflateCompressedResponses(true);
    setDefaultResponseEncoding(ISOLatin1Encoding);
    setShouldPresentProxyAuthenticationDialog(true);
    setTimeOutSeconds(defaultTimeOutSeconds());
    setUseSessionPersistence(true);
    setUseCookiePersistence(true);
    setValidatesSecureCertificate(true);
    setDidStartSelector("requestStarted");
    setDidReceiveResponseHeadersSelector("requestDidReceiveResponseHeaders");
    setWillRedirectSelector("requestWillRedirectToURL");
    setDidFinishSelector("requestFinished");
    setDidFailSelector("requestFailed");
    setDidReceiveDataSelector("requestDidReceiveData");
    m_downloadCache = defaultCache();
}

ZRHTTPRequest::~ZRHTTPRequest()
{
    cancelLoad();
    releaseBlocksOnMainThread();
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::requestWithURL(const QUrl &newURL)
{
    return QSharedPointer<ZRHTTPRequest>(new ZRHTTPRequest(newURL), &ZRHTTPRequest::deleteOnMainThread);
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::requestWithURL(const QUrl &newURL, ZRCacheDelegate *cache, int policy)
{
    QSharedPointer<ZRHTTPRequest> request = requestWithURL(newURL);
    request->setDownloadCache(cache);
    request->setCachePolicy(policy);
    return request;
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::newRequestOfSameClass(const QUrl &newURL) const
{
    return requestWithURL(newURL);
}

void ZRHTTPRequest::deleteOnMainThread(ZRHTTPRequest *request)
{
    ZrRunLoop::performOnMainThread([request] { delete request; });
}

QSharedPointer<ZRHTTPRequest> ZRHTTPRequest::retainSelf()
{
    return qSharedPointerCast<ZRHTTPRequest>(sharedFromThis());
}

// Starting.

void ZRHTTPRequest::startSynchronous()
{
    setSynchronous(true);
    setRunLoopMode(SynchronousRunLoopMode);
    setInProgress(true);
    if (!isCancelled() && !complete()) {
        main();
        const std::shared_ptr<ZrRunLoop> loop = ZrRunLoop::current();
        while (!complete())
            loop->runOnce(1e10);
    }
    setInProgress(false);
}

void ZRHTTPRequest::startAsynchronous()
{
    const QSharedPointer<ZRHTTPRequest> self = retainSelf();
    if (!self) {
        qWarning("ZRHTTPRequest: an asynchronous request must be held by a QSharedPointer");
        failWithError(zrRequestError(ZRInternalErrorWhileBuildingRequestType, "Unable to start HTTP connection"));
        return;
    }
    sharedQueue()->addOperation(self);
}

void ZRHTTPRequest::start()
{
    setInProgress(true);
    const QSharedPointer<ZRHTTPRequest> self = retainSelf();
    {
        QMutexLocker locker(&m_cancelledLock);
        m_self = self;
    }
    QPointer<ZRHTTPRequest> guard(this);
    networkRunLoop()->perform([guard, self] {
        if (guard)
            guard->main();
    });
}

void ZRHTTPRequest::main()
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QMutexLocker locker(&m_cancelledLock);
    m_runLoop = ZrRunLoop::current();
    try {
        if (!error().isNull()) {
            setComplete(true);
            markAsFinished();
            return;
        }
        setComplete(false);
        setDidUseCachedResponse(false);

        if (url().isEmpty()) {
            failWithError(zrRequestError(ZRUnableToCreateRequestErrorType, "Unable to create request (bad url?)"));
            return;
        }
        if (!mainRequest())
            buildPostBody();
        if (!error().isNull())
            return;
        if (requestMethod() != "GET")
            setDownloadCache(nullptr);

        m_request = ZrHttpMessage::createRequest(requestMethod(), url(), useHTTPVersionOne());
        if (!m_request) {
            failWithError(zrRequestError(ZRUnableToCreateRequestErrorType, "Unable to create request (bad url?)"));
            return;
        }
        if (ZRHTTPRequest *main = mainRequest())
            main->buildRequestHeaders();
        buildRequestHeaders();
        if (!error().isNull())
            return;

        if (ZRCacheDelegate *cache = downloadCache()) {
            if (cachePolicy() == 0)
                setCachePolicy(cache->defaultCachePolicy());
            if (cache->canUseCachedDataForRequest(this)) {
                useDataFromCache();
                return;
            }
            if (cachePolicy() & (4 | 8)) {
                const QVariantMap cached = cache->cachedResponseHeadersForURL(url());
                if (cached.contains("Etag"))
                    addRequestHeader("If-None-Match", cached.value("Etag").toString());
                if (cached.contains("Last-Modified"))
                    addRequestHeader("If-Modified-Since", cached.value("Last-Modified").toString());
            }
        }

        applyAuthorizationHeader();

        const QVariantMap headers = requestHeaders();
        for (auto header = headers.constBegin(); header != headers.constEnd(); ++header)
            m_request->setHeaderField(header.key(), header.value().toString());

        if (!configureProxies())
            return;
        startRequest();
    } catch (const std::exception &exception) {
        const ZrError underlying(ZRHTTPRequestErrorDomain, ZRUnhandledExceptionError, exceptionName(exception));
        failWithError(ZrError(ZRHTTPRequestErrorDomain, ZRUnhandledExceptionError, exceptionName(exception),
                              underlying, QString::fromLocal8Bit(exception.what())));
    }
}

void ZRHTTPRequest::markAsFinished()
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    stopStatusTimer();
    destroyReadStream();
    m_request.reset();
    m_requestAuthentication.clear();
    m_proxyAuthentication.clear();
    setInProgress(false);
    setFinished();
    QSharedPointer<ZRHTTPRequest> self;
    {
        QMutexLocker locker(&m_cancelledLock);
        self.swap(m_self);
    }
    if (self)
        ZrRunLoop::performOnMainThread([self] {});
}

// Cancelling and failing.

bool ZRHTTPRequest::isCancelled() const
{
    // Set under the lock, read without it: queues ask every waiting request.
    return m_cancelled;
}

void ZRHTTPRequest::cancel()
{
    performOnRequestThread([this] { cancelOnRequestThread(); });
}

void ZRHTTPRequest::performOnRequestThread(const std::function<void()> &function)
{
    std::shared_ptr<ZrRunLoop> loop;
    {
        QMutexLocker locker(&m_cancelledLock);
        loop = m_runLoop.lock();
    }
    // A request being driven is served on its own thread; one that never ran, on the network thread.
    if (!loop)
        loop = networkRunLoop();
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    loop->perform([guard, keep, function] {
        if (guard)
            function();
    });
}

void ZRHTTPRequest::cancelOnRequestThread()
{
    QMutexLocker locker(&m_cancelledLock);
    if (m_cancelled || complete())
        return;
    failWithError(zrRequestError(ZRRequestCancelledErrorType, "The request was cancelled"));
    setComplete(true);
    cancelLoad();
    m_cancelled = true;
    ZrOperation::cancel();
}

void ZRHTTPRequest::clearDelegatesAndCancel()
{
    {
        QMutexLocker locker(&m_cancelledLock);
        m_delegate.clear();
        m_queue.clear();
        m_uploadProgressDelegate.clear();
        m_downloadProgressDelegate.clear();
    }
    releaseBlocksOnMainThread();
    cancel();
}

void ZRHTTPRequest::failWithError(const ZrError &theError)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    setComplete(true);
    if (theError.code() != ZRAuthenticationErrorType && theError.code() != ZRTooMuchRedirectionErrorType) {
        removeFromConnectionPool();
        destroyReadStream();
    }
    if (isCancelled() || !error().isNull())
        return;
    ZRCacheDelegate *cache = downloadCache();
    if (cache && (cachePolicy() & 64) && cache->canUseCachedDataForRequest(this)) {
        useDataFromCache();
        return;
    }
    setError(theError);
    ZRHTTPRequest *main = mainRequest();
    if (main)
        main->setError(theError);
    (main ? main : this)->reportFailure();
    if (inProgress())
        markAsFinished();
}

// Results.

bool ZRHTTPRequest::isResponseCompressed() const
{
    return responseHeaders().value("Content-Encoding").toString().contains("gzip", Qt::CaseInsensitive);
}

QByteArray ZRHTTPRequest::responseData() const
{
    const QByteArray raw = rawResponseData();
    if (isResponseCompressed() && shouldWaitToInflateCompressedResponses())
        return ZRDataDecompressor::uncompressData(raw);
    return raw;
}

QString ZRHTTPRequest::responseString() const
{
    const QByteArray data = responseData();
    if (data.isNull())
        return QString();
    QTextCodec *codec = QTextCodec::codecForMib(responseEncoding());
    if (!codec)
        codec = QTextCodec::codecForMib(ISOLatin1Encoding);
    return codec->toUnicode(data);
}

// Properties with behaviour of their own.

QUrl ZRHTTPRequest::url() const
{
    QMutexLocker locker(&m_cancelledLock);
    return m_url;
}

void ZRHTTPRequest::setURL(const QUrl &newURL)
{
    QMutexLocker locker(&m_cancelledLock);
    if (newURL == m_url)
        return;
    m_url = newURL;
    m_request.reset();
    m_requestAuthentication.clear();
    m_proxyAuthentication.clear();
    setRedirectURL(QUrl());
}

QString ZRHTTPRequest::requestMethod() const
{
    QMutexLocker locker(&m_cancelledLock);
    return m_requestMethod;
}

void ZRHTTPRequest::setRequestMethod(const QString &newRequestMethod)
{
    QMutexLocker locker(&m_cancelledLock);
    if (m_requestMethod == newRequestMethod)
        return;
    m_requestMethod = newRequestMethod;
    if (newRequestMethod == "POST" || newRequestMethod == "PUT" || !postBody().isEmpty()
        || !bodyFilePath().isEmpty())
        setShouldAttemptPersistentConnection(false);
}

QObject *ZRHTTPRequest::delegate() const
{
    QMutexLocker locker(&m_cancelledLock);
    return m_delegate.data();
}

void ZRHTTPRequest::setDelegate(QObject *newDelegate)
{
    QMutexLocker locker(&m_cancelledLock);
    m_delegate = newDelegate;
}

QObject *ZRHTTPRequest::queue() const
{
    QMutexLocker locker(&m_cancelledLock);
    return m_queue.data();
}

void ZRHTTPRequest::setQueue(QObject *newQueue)
{
    QMutexLocker locker(&m_cancelledLock);
    m_queue = newQueue;
}

ZRHTTPRequest *ZRHTTPRequest::mainRequest() const
{
    QMutexLocker locker(&m_propertyLock);
    return m_mainRequest.data();
}

void ZRHTTPRequest::setMainRequest(ZRHTTPRequest *request)
{
    QMutexLocker locker(&m_propertyLock);
    m_mainRequest = request;
}

ZRCacheDelegate *ZRHTTPRequest::downloadCache() const
{
    QMutexLocker locker(&m_propertyLock);
    return m_downloadCache.data();
}

void ZRHTTPRequest::setDownloadCache(ZRCacheDelegate *cache)
{
    QMutexLocker locker(&m_propertyLock);
    m_downloadCache = cache;
}

struct ZRHTTPRequest::ClientIdentity
{
    QSslCertificate certificate;
    QSslKey key;
};

void ZRHTTPRequest::setClientCertificateIdentity(const QSslCertificate &certificate, const QSslKey &key)
{
    QMutexLocker locker(&m_propertyLock);
    m_clientIdentity = std::make_shared<const ClientIdentity>(ClientIdentity{certificate, key});
}

QSslCertificate ZRHTTPRequest::clientCertificate() const
{
    QMutexLocker locker(&m_propertyLock);
    return m_clientIdentity ? m_clientIdentity->certificate : QSslCertificate();
}

QSslKey ZRHTTPRequest::clientKey() const
{
    QMutexLocker locker(&m_propertyLock);
    return m_clientIdentity ? m_clientIdentity->key : QSslKey();
}

// Blocks.

void ZRHTTPRequest::setStartedBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_startedBlock = block;
}

void ZRHTTPRequest::setHeadersReceivedBlock(const HeadersBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_headersReceivedBlock = block;
}

void ZRHTTPRequest::setCompletionBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_completionBlock = block;
}

void ZRHTTPRequest::setFailedBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_failureBlock = block;
}

void ZRHTTPRequest::setBytesReceivedBlock(const ProgressBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_bytesReceivedBlock = block;
}

void ZRHTTPRequest::setBytesSentBlock(const ProgressBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_bytesSentBlock = block;
}

void ZRHTTPRequest::setDownloadSizeIncrementedBlock(const SizeBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_downloadSizeIncrementedBlock = block;
}

void ZRHTTPRequest::setUploadSizeIncrementedBlock(const SizeBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_uploadSizeIncrementedBlock = block;
}

void ZRHTTPRequest::setDataReceivedBlock(const DataBlock &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_dataReceivedBlock = block;
}

void ZRHTTPRequest::setAuthenticationNeededBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_authenticationNeededBlock = block;
}

void ZRHTTPRequest::setProxyAuthenticationNeededBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_proxyAuthenticationNeededBlock = block;
}

void ZRHTTPRequest::setRequestRedirectedBlock(const Block &block)
{
    QMutexLocker locker(&m_propertyLock);
    m_requestRedirectedBlock = block;
}

void ZRHTTPRequest::releaseBlocksOnMainThread()
{
    // The blocks may hold the last references to objects that belong to the main thread.
    auto blocks = std::make_shared<std::tuple<Block, HeadersBlock, Block, Block, ProgressBlock, ProgressBlock,
                                              SizeBlock, SizeBlock, DataBlock, Block, Block, Block>>();
    {
        QMutexLocker locker(&m_propertyLock);
        std::swap(std::get<0>(*blocks), m_startedBlock);
        std::swap(std::get<1>(*blocks), m_headersReceivedBlock);
        std::swap(std::get<2>(*blocks), m_completionBlock);
        std::swap(std::get<3>(*blocks), m_failureBlock);
        std::swap(std::get<4>(*blocks), m_bytesReceivedBlock);
        std::swap(std::get<5>(*blocks), m_bytesSentBlock);
        std::swap(std::get<6>(*blocks), m_downloadSizeIncrementedBlock);
        std::swap(std::get<7>(*blocks), m_uploadSizeIncrementedBlock);
        std::swap(std::get<8>(*blocks), m_dataReceivedBlock);
        std::swap(std::get<9>(*blocks), m_authenticationNeededBlock);
        std::swap(std::get<10>(*blocks), m_proxyAuthenticationNeededBlock);
        std::swap(std::get<11>(*blocks), m_requestRedirectedBlock);
    }
    ZrRunLoop::performOnMainThread([blocks] {});
}

// Reports.

void ZRHTTPRequest::report(const QByteArray &delegateSelector, Block ZRHTTPRequest::*block,
                           const char *queueSelector, bool onlyWithoutError)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    auto call = [guard, keep, delegateSelector, block, queueSelector, onlyWithoutError] {
        if (!guard || (onlyWithoutError && (!guard->error().isNull() || guard->mainRequest())))
            return;
        ZRHTTPRequest *request = guard.data();
        ZrSelector::call(request->delegate(), delegateSelector, request);
        Block current;
        {
            QMutexLocker locker(&request->m_propertyLock);
            current = request->*block;
        }
        if (current)
            current();
        ZrSelector::call(request->queue(), queueSelector, request);
    };
    // A script download reports on its own thread, where its owner waits for it.
    if (isPACFileRequest())
        call();
    else
        ZrRunLoop::performOnMainThread(call);
}

void ZRHTTPRequest::requestStarted()
{
    report(didStartSelector(), &ZRHTTPRequest::m_startedBlock, "requestStarted", true);
}

void ZRHTTPRequest::requestReceivedResponseHeaders(const QVariantMap &newResponseHeaders)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    ZrRunLoop::performOnMainThread([guard, keep, newResponseHeaders] {
        if (!guard || !guard->error().isNull() || guard->mainRequest())
            return;
        ZRHTTPRequest *request = guard.data();
        ZrSelector::call(request->delegate(), request->didReceiveResponseHeadersSelector(), request,
                         newResponseHeaders);
        HeadersBlock block;
        {
            QMutexLocker locker(&request->m_propertyLock);
            block = request->m_headersReceivedBlock;
        }
        if (block)
            block(newResponseHeaders);
        ZrSelector::call(request->queue(), "requestDidReceiveResponseHeaders", request, newResponseHeaders);
    });
}

void ZRHTTPRequest::reportFinished()
{
    report(didFinishSelector(), &ZRHTTPRequest::m_completionBlock, "requestFinished", true);
}

void ZRHTTPRequest::reportFailure()
{
    report(didFailSelector(), &ZRHTTPRequest::m_failureBlock, "requestFailed", false);
}

void ZRHTTPRequest::passOnReceivedData(const QByteArray &data)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    ZrRunLoop::performOnMainThread([guard, keep, data] {
        if (!guard)
            return;
        ZRHTTPRequest *request = guard.data();
        ZrSelector::call(request->delegate(), request->didReceiveDataSelector(), request, data);
        DataBlock block;
        {
            QMutexLocker locker(&request->m_propertyLock);
            block = request->m_dataReceivedBlock;
        }
        if (block)
            block(data);
    });
}

// Class-wide.

ZrOperationQueue *ZRHTTPRequest::sharedQueue()
{
    static ZrOperationQueue *queue = [] {
        ZrOperationQueue *made = new ZrOperationQueue;
        made->setMaxConcurrentOperationCount(4);
        return made;
    }();
    return queue;
}

QThread *ZRHTTPRequest::threadForRequest(ZRHTTPRequest *)
{
    static QThread *thread = [] {
        std::promise<QThread *> found;
        std::future<QThread *> ready = found.get_future();
        networkRunLoop()->perform([&found] { found.set_value(QThread::currentThread()); });
        return ready.get();
    }();
    return thread;
}

double ZRHTTPRequest::defaultTimeOutSeconds()
{
    QMutexLocker locker(&classState().lock);
    return classState().defaultTimeOutSeconds;
}

void ZRHTTPRequest::setDefaultTimeOutSeconds(double newTimeOutSeconds)
{
    QMutexLocker locker(&classState().lock);
    classState().defaultTimeOutSeconds = newTimeOutSeconds;
}

ZRCacheDelegate *ZRHTTPRequest::defaultCache()
{
    QMutexLocker locker(&classState().lock);
    return classState().defaultCache.data();
}

void ZRHTTPRequest::setDefaultCache(ZRCacheDelegate *cache)
{
    QMutexLocker locker(&classState().lock);
    classState().defaultCache = cache;
}
