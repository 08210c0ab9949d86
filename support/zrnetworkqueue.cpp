#include "support/zrnetworkqueue.h"

#include "support/zrhttprequest.h"
#include "support/zrselector.h"

#include <stdexcept>

ZRNetworkQueue::ZRNetworkQueue(QObject *parent) : ZrOperationQueue(parent)
{
    setMaxConcurrentOperationCount(4);
    setSuspended(true);
}

ZRNetworkQueue::~ZRNetworkQueue()
{
    // No request may call back into a queue that is gone.
    for (const QSharedPointer<ZrOperation> &operation : operations()) {
        if (ZRHTTPRequest *request = qobject_cast<ZRHTTPRequest *>(operation.data()))
            request->setQueue(nullptr);
    }
}

QSharedPointer<ZRNetworkQueue> ZRNetworkQueue::queue()
{
    return QSharedPointer<ZRNetworkQueue>::create();
}

void ZRNetworkQueue::go()
{
    setSuspended(false);
}

void ZRNetworkQueue::reset()
{
    cancelAllOperations();
    m_delegate.clear();
    m_uploadProgressDelegate.clear();
    m_downloadProgressDelegate.clear();
    m_requestDidStartSelector.clear();
    m_requestDidReceiveResponseHeadersSelector.clear();
    m_requestDidFailSelector.clear();
    m_requestDidFinishSelector.clear();
    m_queueDidFinishSelector.clear();
    setSuspended(true);
}

void ZRNetworkQueue::cancelAllOperations()
{
    m_bytesUploadedSoFar = 0;
    m_totalBytesToUpload = 0;
    m_bytesDownloadedSoFar = 0;
    m_totalBytesToDownload = 0;
    ZrOperationQueue::cancelAllOperations();
}

void ZRNetworkQueue::setUploadProgressDelegate(QObject *delegate)
{
    m_uploadProgressDelegate = delegate;
    resetProgressDelegate(delegate);
}

void ZRNetworkQueue::setDownloadProgressDelegate(QObject *delegate)
{
    m_downloadProgressDelegate = delegate;
    resetProgressDelegate(delegate);
}

void ZRNetworkQueue::resetProgressDelegate(QObject *indicator)
{
    ZRHTTPRequest::performSelector("setMaxValue", indicator, 1.0);
    ZRHTTPRequest::performSelector("setDoubleValue", indicator, 0.0);
}

void ZRNetworkQueue::addOperation(const QSharedPointer<ZrOperation> &operation)
{
    const QSharedPointer<ZRHTTPRequest> request = qSharedPointerDynamicCast<ZRHTTPRequest>(operation);
    if (!request)
        throw std::invalid_argument("AttemptToAddInvalidRequest: Attempted to add an object that was not an "
                                    "ZRHTTPRequest to an ZRNetworkQueue");
    ++m_requestsCount;
    if (m_showAccurateProgress) {
        request->buildPostBody();
        if (request->requestMethod() == "GET" && isSuspended()) {
            // The size of the answer is asked first, so the totals are known before any body arrives.
            const QSharedPointer<ZRHTTPRequest> head = request->HEADRequest();
            addHEADOperation(head);
            request->addDependency(head);
            if (request->shouldResetDownloadProgress()) {
                resetProgressDelegate(m_downloadProgressDelegate);
                request->setShouldResetDownloadProgress(false);
            }
        }
        request->buildPostBody();
        requestIncrementUploadSizeBy(nullptr, static_cast<qint64>(request->postLength()));
    } else {
        requestIncrementDownloadSizeBy(nullptr, 1);
        requestIncrementUploadSizeBy(nullptr, 1);
    }
    if (request->shouldResetUploadProgress()) {
        resetProgressDelegate(m_uploadProgressDelegate);
        request->setShouldResetUploadProgress(false);
    }
    request->setShowAccurateProgress(m_showAccurateProgress);
    request->setQueue(this);
    ZrOperationQueue::addOperation(request);
}

void ZRNetworkQueue::addHEADOperation(const QSharedPointer<ZrOperation> &operation)
{
    const QSharedPointer<ZRHTTPRequest> request = qSharedPointerDynamicCast<ZRHTTPRequest>(operation);
    if (!request)
        return;
    request->setRequestMethod("HEAD");
    request->setQueuePriority(10);
    request->setShowAccurateProgress(true);
    request->setQueue(this);
    ZrOperationQueue::addOperation(request);
}

QSharedPointer<ZRNetworkQueue> ZRNetworkQueue::copyWithZone() const
{
    QSharedPointer<ZRNetworkQueue> copy = queue();
    copy->m_delegate = m_delegate;
    copy->m_requestDidStartSelector = m_requestDidStartSelector;
    copy->m_requestDidReceiveResponseHeadersSelector = m_requestDidReceiveResponseHeadersSelector;
    copy->m_requestWillRedirectSelector = m_requestWillRedirectSelector;
    copy->m_requestDidFinishSelector = m_requestDidFinishSelector;
    copy->m_requestDidFailSelector = m_requestDidFailSelector;
    copy->m_queueDidFinishSelector = m_queueDidFinishSelector;
    copy->m_uploadProgressDelegate = m_uploadProgressDelegate;
    copy->m_downloadProgressDelegate = m_downloadProgressDelegate;
    copy->m_shouldCancelAllRequestsOnFailure = m_shouldCancelAllRequestsOnFailure;
    copy->m_showAccurateProgress = m_showAccurateProgress;
    copy->m_userInfo = m_userInfo;
    return copy;
}

bool ZRNetworkQueue::respondsToSelector(const QByteArray &selector) const
{
    if (selector == "authenticationNeededForRequest" || selector == "proxyAuthenticationNeededForRequest")
        return ZrSelector::answers<ZRHTTPRequest *>(m_delegate, selector);
    if (selector == "requestWillRedirectToURL")
        return !m_requestWillRedirectSelector.isEmpty()
               && ZrSelector::answers<ZRHTTPRequest *, QUrl>(m_delegate, m_requestWillRedirectSelector);
    return true;
}

void ZRNetworkQueue::requestStarted(ZRHTTPRequest *request)
{
    ZrSelector::call(m_delegate.data(), m_requestDidStartSelector, request);
}

void ZRNetworkQueue::requestDidReceiveResponseHeaders(ZRHTTPRequest *request, const QVariantMap &responseHeaders)
{
    ZrSelector::call(m_delegate.data(), m_requestDidReceiveResponseHeadersSelector, request, responseHeaders);
}

void ZRNetworkQueue::requestWillRedirectToURL(ZRHTTPRequest *request, const QUrl &newURL)
{
    ZrSelector::call(m_delegate.data(), m_requestWillRedirectSelector, request, newURL);
}

void ZRNetworkQueue::requestFinished(ZRHTTPRequest *request)
{
    --m_requestsCount;
    ZrSelector::call(m_delegate.data(), m_requestDidFinishSelector, request);
    if (m_requestsCount == 0)
        ZrSelector::call(m_delegate.data(), m_queueDidFinishSelector, this);
}

void ZRNetworkQueue::requestFailed(ZRHTTPRequest *request)
{
    --m_requestsCount;
    ZrSelector::call(m_delegate.data(), m_requestDidFailSelector, request);
    if (m_requestsCount == 0)
        ZrSelector::call(m_delegate.data(), m_queueDidFinishSelector, this);
    if (m_shouldCancelAllRequestsOnFailure && m_requestsCount > 0)
        cancelAllOperations();
}

void ZRNetworkQueue::requestDidReceiveBytes(ZRHTTPRequest *, qint64 bytes)
{
    m_bytesDownloadedSoFar += static_cast<quint64>(bytes);
    if (m_downloadProgressDelegate)
        ZRHTTPRequest::updateProgressIndicator(m_downloadProgressDelegate, m_bytesDownloadedSoFar,
                                               m_totalBytesToDownload);
}

void ZRNetworkQueue::requestDidSendBytes(ZRHTTPRequest *, qint64 bytes)
{
    m_bytesUploadedSoFar += static_cast<quint64>(bytes);
    if (m_uploadProgressDelegate)
        ZRHTTPRequest::updateProgressIndicator(m_uploadProgressDelegate, m_bytesUploadedSoFar, m_totalBytesToUpload);
}

void ZRNetworkQueue::requestIncrementDownloadSizeBy(ZRHTTPRequest *, qint64 newLength)
{
    m_totalBytesToDownload += static_cast<quint64>(newLength);
}

void ZRNetworkQueue::requestIncrementUploadSizeBy(ZRHTTPRequest *, qint64 newLength)
{
    m_totalBytesToUpload += static_cast<quint64>(newLength);
}

void ZRNetworkQueue::authenticationNeededForRequest(ZRHTTPRequest *request)
{
    ZrSelector::call(m_delegate.data(), "authenticationNeededForRequest", request);
}

void ZRNetworkQueue::proxyAuthenticationNeededForRequest(ZRHTTPRequest *request)
{
    ZrSelector::call(m_delegate.data(), "proxyAuthenticationNeededForRequest", request);
}
