#ifndef RQHTTPREQUEST_H
#define RQHTTPREQUEST_H

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariantMap>

class ZRHTTPRequest;
class ZRNetworkQueue;

// The program's own front door to HTTP: GET and form POST requests, downloads and uploads
// through one queue, each named by the "reqid" of its userInfo, with results handed to one
// delegate as {"reqcode", "reqresult"} maps. The delegate may answer
// httpRequestRequestStarted(RQHttpRequest*, QVariantMap),
// httpRequestDidCompleted(RQHttpRequest*, QVariantMap, QVariantMap) and
// httpRequestDownloadProgress(RQHttpRequest*, float, QVariantMap).
class RQHttpRequest : public QObject
{
    Q_OBJECT
public:
    RQHttpRequest();
    ~RQHttpRequest() override;

    static RQHttpRequest *sharedInstance();

    void requestWithURLString(const QString &urlString, const QVariantMap &params, const QVariantMap &userInfo);
    QByteArray syncRequestWithURLString(const QString &urlString, const QVariantMap &params,
                                        const QVariantMap &userInfo);
    void downloadFileWithURLString(const QString &urlString, const QString &saveFilePath,
                                   const QVariantMap &userInfo);
    void uploadWithURLString(const QString &urlString, const QByteArray &data, const QString &name,
                             const QVariantMap &params, const QVariantMap &userInfo);
    QSharedPointer<ZRHTTPRequest> hasRequestTask(const QString &requestId) const;
    void cancelRequestByTaskId(const QString &requestId);
    void cancelAllRequest();

    QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }
    ZRNetworkQueue *networkQueue() const { return m_networkQueue.data(); }

public slots:
    void requestStarted(ZRHTTPRequest *request);
    void requestFinished(ZRHTTPRequest *request);
    void requestFailed(ZRHTTPRequest *request);
    void requestDidReceiveBytes(ZRHTTPRequest *request, qint64 bytes);

private:
    QSharedPointer<ZRHTTPRequest> makeRequest(const QString &urlString, const QVariantMap &params,
                                              const QVariantMap &userInfo);

    QSharedPointer<ZRNetworkQueue> m_networkQueue;
    QPointer<QObject> m_delegate;
};

#endif
