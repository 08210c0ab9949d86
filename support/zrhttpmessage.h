#ifndef ZRHTTPMESSAGE_H
#define ZRHTTPMESSAGE_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

// An HTTP message. A request: method, URL, version and header fields in the order set.
// A response: built from the header lines as they arrive; interim (1xx) answers are
// skipped and the header is complete at the final answer's empty line.
class ZrHttpMessage
{
public:
    // Null unless the URL is an absolute http or https URL with a host.
    static QSharedPointer<ZrHttpMessage> createRequest(const QString &method, const QUrl &url, bool versionOne);
    static QSharedPointer<ZrHttpMessage> createEmptyResponse();

    QString method() const { return m_method; }
    QUrl url() const { return m_url; }
    bool isVersionOne() const { return m_versionOne; }

    // Replaces a field of the same name (names compare without case).
    void setHeaderField(const QString &name, const QString &value);
    QString headerField(const QString &name) const;
    QList<QPair<QString, QString>> headerFields() const { return m_fields; }

    // Response side.
    void appendHeaderLine(const QByteArray &line);
    bool isHeaderComplete() const { return m_complete; }
    int responseStatusCode() const { return m_statusCode; }
    QString responseStatusLine() const { return m_statusLine; }
    // "HTTP/1.0", "HTTP/1.1".
    QString responseVersion() const { return m_responseVersion; }
    // Names made canonical; repeated fields joined with ", ", Set-Cookie lines with "\n".
    QVariantMap allHeaderFields() const;
    // Every value of a repeated field, in order (challenges are never joined).
    QStringList headerFieldValues(const QString &name) const;

    // "etag" → "Etag", "content-type" → "Content-Type".
    static QString canonicalName(const QString &name);

private:
    QString m_method;
    QUrl m_url;
    bool m_versionOne = false;
    QList<QPair<QString, QString>> m_fields;
    bool m_complete = false;
    int m_statusCode = 0;
    QString m_statusLine;
    QString m_responseVersion;
};

#endif
