#ifndef ZRNETWORKQUEUE_H
#define ZRNETWORKQUEUE_H

#include "support/zroperationqueue.h"

#include <QByteArray>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

class ZRHTTPRequest;

// Runs HTTP requests side by side, adds their progress up, forwards their events to one
// delegate and, unless told otherwise, cancels the rest when one fails. Starts suspended.
class ZRNetworkQueue : public ZrOperationQueue
{
    Q_OBJECT
public:
    explicit ZRNetworkQueue(QObject *parent = nullptr);
    ~ZRNetworkQueue() override;
    static QSharedPointer<ZRNetworkQueue> queue();

    void go();
    void reset();
    void cancelAllOperations() override;
    // Throws std::invalid_argument ("AttemptToAddInvalidRequest") for anything but a request.
    void addOperation(const QSharedPointer<ZrOperation> &operation) override;
    void addHEADOperation(const QSharedPointer<ZrOperation> &operation);
    QSharedPointer<ZRNetworkQueue> copyWithZone() const;

    int requestsCount() const { return m_requestsCount; }
    void setRequestsCount(int count) { m_requestsCount = count; }
    quint64 bytesUploadedSoFar() const { return m_bytesUploadedSoFar; }
    void setBytesUploadedSoFar(quint64 bytes) { m_bytesUploadedSoFar = bytes; }
    quint64 totalBytesToUpload() const { return m_totalBytesToUpload; }
    void setTotalBytesToUpload(quint64 bytes) { m_totalBytesToUpload = bytes; }
    quint64 bytesDownloadedSoFar() const { return m_bytesDownloadedSoFar; }
    void setBytesDownloadedSoFar(quint64 bytes) { m_bytesDownloadedSoFar = bytes; }
    quint64 totalBytesToDownload() const { return m_totalBytesToDownload; }
    void setTotalBytesToDownload(quint64 bytes) { m_totalBytesToDownload = bytes; }
    bool shouldCancelAllRequestsOnFailure() const { return m_shouldCancelAllRequestsOnFailure; }
    void setShouldCancelAllRequestsOnFailure(bool cancel) { m_shouldCancelAllRequestsOnFailure = cancel; }
    QObject *uploadProgressDelegate() const { return m_uploadProgressDelegate; }
    void setUploadProgressDelegate(QObject *delegate);
    QObject *downloadProgressDelegate() const { return m_downloadProgressDelegate; }
    void setDownloadProgressDelegate(QObject *delegate);
    QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }
    bool showAccurateProgress() const { return m_showAccurateProgress; }
    void setShowAccurateProgress(bool accurate) { m_showAccurateProgress = accurate; }
    QVariantMap userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariantMap &userInfo) { m_userInfo = userInfo; }

    QByteArray requestDidStartSelector() const { return m_requestDidStartSelector; }
    void setRequestDidStartSelector(const QByteArray &selector) { m_requestDidStartSelector = selector; }
    QByteArray requestDidReceiveResponseHeadersSelector() const { return m_requestDidReceiveResponseHeadersSelector; }
    void setRequestDidReceiveResponseHeadersSelector(const QByteArray &selector)
    {
        m_requestDidReceiveResponseHeadersSelector = selector;
    }
    QByteArray requestWillRedirectSelector() const { return m_requestWillRedirectSelector; }
    void setRequestWillRedirectSelector(const QByteArray &selector) { m_requestWillRedirectSelector = selector; }
    QByteArray requestDidFinishSelector() const { return m_requestDidFinishSelector; }
    void setRequestDidFinishSelector(const QByteArray &selector) { m_requestDidFinishSelector = selector; }
    QByteArray requestDidFailSelector() const { return m_requestDidFailSelector; }
    void setRequestDidFailSelector(const QByteArray &selector) { m_requestDidFailSelector = selector; }
    QByteArray queueDidFinishSelector() const { return m_queueDidFinishSelector; }
    void setQueueDidFinishSelector(const QByteArray &selector) { m_queueDidFinishSelector = selector; }

    // What the queue answers depends on its delegate.
    Q_INVOKABLE bool respondsToSelector(const QByteArray &selector) const;

public slots:
    // Called by the requests, on the main thread.
    void requestStarted(ZRHTTPRequest *request);
    void requestDidReceiveResponseHeaders(ZRHTTPRequest *request, const QVariantMap &responseHeaders);
    void requestWillRedirectToURL(ZRHTTPRequest *request, const QUrl &newURL);
    void requestFinished(ZRHTTPRequest *request);
    void requestFailed(ZRHTTPRequest *request);
    void requestDidReceiveBytes(ZRHTTPRequest *request, qint64 bytes);
    void requestDidSendBytes(ZRHTTPRequest *request, qint64 bytes);
    void requestIncrementDownloadSizeBy(ZRHTTPRequest *request, qint64 newLength);
    void requestIncrementUploadSizeBy(ZRHTTPRequest *request, qint64 newLength);
    void authenticationNeededForRequest(ZRHTTPRequest *request);
    void proxyAuthenticationNeededForRequest(ZRHTTPRequest *request);

private:
    static void resetProgressDelegate(QObject *indicator);

    int m_requestsCount = 0;
    quint64 m_bytesUploadedSoFar = 0;
    quint64 m_totalBytesToUpload = 0;
    quint64 m_bytesDownloadedSoFar = 0;
    quint64 m_totalBytesToDownload = 0;
    bool m_shouldCancelAllRequestsOnFailure = true;
    bool m_showAccurateProgress = false;
    QPointer<QObject> m_uploadProgressDelegate;
    QPointer<QObject> m_downloadProgressDelegate;
    QPointer<QObject> m_delegate;
    QVariantMap m_userInfo;
    QByteArray m_requestDidStartSelector;
    QByteArray m_requestDidReceiveResponseHeadersSelector;
    QByteArray m_requestWillRedirectSelector;
    QByteArray m_requestDidFinishSelector;
    QByteArray m_requestDidFailSelector;
    QByteArray m_queueDidFinishSelector;
};

#endif
