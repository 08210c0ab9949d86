#ifndef ZRHTTPMESSAGE_H
#define ZRHTTPMESSAGE_H

#include <QList>
#include <QPair>
#include <QSharedPointer>
#include <QString>
#include <QUrl>

// An HTTP request message: method, URL, version and header fields in the order set.
class ZrHttpMessage
{
public:
    // Null unless the URL is an absolute http or https URL with a host.
    static QSharedPointer<ZrHttpMessage> createRequest(const QString &method, const QUrl &url, bool versionOne);

    QString method() const { return m_method; }
    QUrl url() const { return m_url; }
    bool isVersionOne() const { return m_versionOne; }

    // Replaces a field of the same name (names compare without case).
    void setHeaderField(const QString &name, const QString &value);
    QString headerField(const QString &name) const;
    QList<QPair<QString, QString>> headerFields() const { return m_fields; }

private:
    QString m_method;
    QUrl m_url;
    bool m_versionOne = false;
    QList<QPair<QString, QString>> m_fields;
};

#endif
