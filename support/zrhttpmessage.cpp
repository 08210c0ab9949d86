#include "support/zrhttpmessage.h"

QSharedPointer<ZrHttpMessage> ZrHttpMessage::createRequest(const QString &method, const QUrl &url, bool versionOne)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty() || method.isEmpty())
        return QSharedPointer<ZrHttpMessage>();
    QSharedPointer<ZrHttpMessage> message(new ZrHttpMessage);
    message->m_method = method;
    message->m_url = url;
    message->m_versionOne = versionOne;
    return message;
}

void ZrHttpMessage::setHeaderField(const QString &name, const QString &value)
{
    for (QPair<QString, QString> &field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            field.second = value;
            return;
        }
    }
    m_fields.append(qMakePair(name, value));
}

QString ZrHttpMessage::headerField(const QString &name) const
{
    for (const QPair<QString, QString> &field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QString();
}
