#ifndef REQUESTRECORDER_H
#define REQUESTRECORDER_H

#include "support/zrhttprequest.h"

#include <QCoreApplication>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <QVariantMap>

// A delegate, queue or progress indicator that writes every call it gets into a log,
// as "<name>:<call>", and notes whether each came on the main thread.
class RequestRecorder : public QObject
{
    Q_OBJECT
public:
    explicit RequestRecorder(const QString &name = QString(), QStringList *sharedLog = nullptr)
        : m_name(name), m_log(sharedLog ? sharedLog : &ownLog)
    {
    }

    QStringList ownLog;
    QList<ZrError> errors;
    QList<QVariantMap> headers;
    QList<qint64> amounts;
    QMap<QString, qint64> sums;
    QList<double> values;
    QByteArray data;
    QUrl redirectURL;
    bool offMainThread = false;
    int count(const QString &call) const { return m_log->filter(QRegExp("^" + m_name + ":" + call + "$")).size(); }

public slots:
    void requestStarted(ZRHTTPRequest *) { note("started"); }
    void requestDidReceiveResponseHeaders(ZRHTTPRequest *, const QVariantMap &received)
    {
        headers << received;
        note("headers");
    }
    void requestWillRedirectToURL(ZRHTTPRequest *, const QUrl &newURL)
    {
        redirectURL = newURL;
        note("willRedirect");
    }
    void requestRedirected(ZRHTTPRequest *) { note("redirected"); }
    void requestFinished(ZRHTTPRequest *) { note("finished"); }
    void requestFailed(ZRHTTPRequest *request)
    {
        errors << request->error();
        note("failed");
    }
    void requestDidReceiveData(ZRHTTPRequest *, const QByteArray &received)
    {
        data += received;
        note("data");
    }
    void requestDidReceiveBytes(ZRHTTPRequest *, qint64 amount) { noteAmount("receivedBytes", amount); }
    void requestDidSendBytes(ZRHTTPRequest *, qint64 amount) { noteAmount("sentBytes", amount); }
    void requestIncrementDownloadSizeBy(ZRHTTPRequest *, qint64 amount) { noteAmount("downloadSize", amount); }
    void requestIncrementUploadSizeBy(ZRHTTPRequest *, qint64 amount) { noteAmount("uploadSize", amount); }
    void setMaxValue(double value)
    {
        values << value;
        note("maxValue");
    }
    void setDoubleValue(double value)
    {
        values << value;
        note("doubleValue");
    }

private:
    void note(const QString &call)
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            offMainThread = true;
        m_log->append(m_name + ":" + call);
    }
    void noteAmount(const QString &call, qint64 amount)
    {
        amounts << amount;
        sums[call] += amount;
        note(call);
    }

    QString m_name;
    QStringList *m_log;
};

#endif
