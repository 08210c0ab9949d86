#include "support/rqhttprequest.h"

#include "support/zrformdatarequest.h"
#include "support/zrnetworkqueue.h"
#include "support/zrselector.h"

namespace {

const int UTF8Encoding = 106;
const char *const ServiceUserAgent = "Mozilla/5.0";

} // namespace

RQHttpRequest::RQHttpRequest() : m_networkQueue(ZRNetworkQueue::queue())
{
    m_networkQueue->setMaxConcurrentOperationCount(5);
    m_networkQueue->setShouldCancelAllRequestsOnFailure(false);
    m_networkQueue->setShowAccurateProgress(true);
    m_networkQueue->go();
}

RQHttpRequest::~RQHttpRequest()
{
    cancelAllRequest();
}

RQHttpRequest *RQHttpRequest::sharedInstance()
{
    static RQHttpRequest *instance = new RQHttpRequest;
    return instance;
}

QSharedPointer<ZRHTTPRequest> RQHttpRequest::makeRequest(const QString &urlString, const QVariantMap &params,
                                                         const QVariantMap &userInfo)
{
    const QUrl url(urlString);
    QSharedPointer<ZRHTTPRequest> request;
    if (!params.isEmpty()) {
        QSharedPointer<ZRFormDataRequest> form = ZRFormDataRequest::requestWithURL(url);
        form->setRequestMethod("POST");
        for (auto entry = params.constBegin(); entry != params.constEnd(); ++entry)
            form->addPostValue(entry.value(), entry.key());
        request = form;
    } else {
        request = ZRHTTPRequest::requestWithURL(url);
        request->setRequestMethod("GET");
        request->setTimeOutSeconds(15);
    }
    request->setResponseEncoding(UTF8Encoding);
    request->setUserAgentString(ServiceUserAgent);
    request->setUserInfo(userInfo);
    return request;
}

void RQHttpRequest::requestWithURLString(const QString &urlString, const QVariantMap &params,
                                         const QVariantMap &userInfo)
{
    if (hasRequestTask(userInfo.value("reqid").toString()))
        return;
    const QSharedPointer<ZRHTTPRequest> request = makeRequest(urlString, params, userInfo);
    request->setDelegate(this);
    m_networkQueue->addOperation(request);
}

QByteArray RQHttpRequest::syncRequestWithURLString(const QString &urlString, const QVariantMap &params,
                                                   const QVariantMap &userInfo)
{
    const QSharedPointer<ZRHTTPRequest> request = makeRequest(urlString, params, userInfo);
    request->startSynchronous();
    return request->error().isNull() ? request->responseData() : QByteArray();
}

void RQHttpRequest::downloadFileWithURLString(const QString &urlString, const QString &saveFilePath,
                                              const QVariantMap &userInfo)
{
    if (hasRequestTask(userInfo.value("reqid").toString()))
        return;
    const QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(QUrl(urlString));
    request->setRequestMethod("GET");
    request->setResponseEncoding(UTF8Encoding);
    request->setUserInfo(userInfo);
    request->setTimeOutSeconds(15);
    request->setNumberOfTimesToRetryOnTimeout(3);
    request->setDownloadDestinationPath(saveFilePath);
    request->setUserAgentString(ServiceUserAgent);
    request->setAllowCompressedResponse(false);
    request->setAllowResumeForFileDownloads(true);
    request->setDownloadProgressDelegate(this);
    m_networkQueue->addOperation(request);
}

void RQHttpRequest::uploadWithURLString(const QString &urlString, const QByteArray &data, const QString &name,
                                        const QVariantMap &params, const QVariantMap &userInfo)
{
    const QSharedPointer<ZRFormDataRequest> request = ZRFormDataRequest::requestWithURL(QUrl(urlString));
    request->setRequestMethod("POST");
    request->setResponseEncoding(UTF8Encoding);
    request->addData(data, name, "image/jpeg", "fileData");
    for (auto entry = params.constBegin(); entry != params.constEnd(); ++entry)
        request->addPostValue(entry.value(), entry.key());
    request->setUserInfo(userInfo);
    request->setDelegate(this);
    m_networkQueue->addOperation(request);
}

QSharedPointer<ZRHTTPRequest> RQHttpRequest::hasRequestTask(const QString &requestId) const
{
    // Requests without an id are never the same task.
    if (requestId.isEmpty())
        return QSharedPointer<ZRHTTPRequest>();
    for (const QSharedPointer<ZrOperation> &operation : m_networkQueue->operations()) {
        const QSharedPointer<ZRHTTPRequest> request = qSharedPointerDynamicCast<ZRHTTPRequest>(operation);
        if (request && request->userInfo().value("reqid").toString() == requestId)
            return request;
    }
    return QSharedPointer<ZRHTTPRequest>();
}

void RQHttpRequest::cancelRequestByTaskId(const QString &requestId)
{
    if (const QSharedPointer<ZRHTTPRequest> request = hasRequestTask(requestId))
        request->cancel();
}

void RQHttpRequest::cancelAllRequest()
{
    m_networkQueue->cancelAllOperations();
}

void RQHttpRequest::requestStarted(ZRHTTPRequest *request)
{
    ZrSelector::call(m_delegate.data(), "httpRequestRequestStarted", this, request->userInfo());
}

void RQHttpRequest::requestFinished(ZRHTTPRequest *request)
{
    const int status = request->responseStatusCode();
    if (status == 403 || status == 404) {
        requestFailed(request);
        return;
    }
    const QByteArray body = request->responseData();
    const QVariantMap result{{"reqcode", 200}, {"reqresult", body.isEmpty() ? QVariant(QString("")) : QVariant(body)}};
    ZrSelector::call(m_delegate.data(), "httpRequestDidCompleted", this, result, request->userInfo());
}

void RQHttpRequest::requestFailed(ZRHTTPRequest *request)
{
    const QVariantMap result{{"reqcode", 400}};
    ZrSelector::call(m_delegate.data(), "httpRequestDidCompleted", this, result, request->userInfo());
}

void RQHttpRequest::requestDidReceiveBytes(ZRHTTPRequest *request, qint64)
{
    // Nothing announced yet counts as no progress rather than a division by zero.
    const quint64 length = request->contentLength();
    const float progress = length == 0 ? 0.0f : static_cast<float>(request->totalBytesRead()) / length;
    ZrSelector::call(m_delegate.data(), "httpRequestDownloadProgress", this, progress, request->userInfo());
}
