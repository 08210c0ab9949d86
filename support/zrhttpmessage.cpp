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

QSharedPointer<ZrHttpMessage> ZrHttpMessage::createEmptyResponse()
{
    return QSharedPointer<ZrHttpMessage>(new ZrHttpMessage);
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

void ZrHttpMessage::appendHeaderLine(const QByteArray &line)
{
    // Taken apart as bytes: only what is kept becomes a string.
    const QByteArray text = line.trimmed();
    if (text.startsWith("HTTP/")) {
        // A new status line starts the answer anew (after 1xx, or the next leg of an exchange).
        m_fields.clear();
        m_complete = false;
        m_statusLine = QString::fromLatin1(text);
        const int versionEnd = text.indexOf(' ');
        const int codeEnd = versionEnd < 0 ? -1 : text.indexOf(' ', versionEnd + 1);
        m_responseVersion = QString::fromLatin1(versionEnd < 0 ? text : text.left(versionEnd));
        m_statusCode =
            versionEnd < 0 ? 0 : text.mid(versionEnd + 1, codeEnd < 0 ? -1 : codeEnd - versionEnd - 1).toInt();
        return;
    }
    if (text.isEmpty()) {
        if (m_statusCode >= 200)
            m_complete = true;
        return;
    }
    const int colon = text.indexOf(':');
    if (colon <= 0 || m_statusLine.isEmpty())
        return;
    m_fields.append(qMakePair(canonicalName(QString::fromLatin1(text.left(colon).trimmed())),
                              QString::fromLatin1(text.mid(colon + 1).trimmed())));
}

QVariantMap ZrHttpMessage::allHeaderFields() const
{
    QVariantMap fields;
    for (const QPair<QString, QString> &field : m_fields) {
        if (!fields.contains(field.first))
            fields.insert(field.first, field.second);
        else
            fields[field.first] = fields.value(field.first).toString()
                                  + (field.first == "Set-Cookie" ? "\n" : ", ") + field.second;
    }
    return fields;
}

QStringList ZrHttpMessage::headerFieldValues(const QString &name) const
{
    QStringList values;
    for (const QPair<QString, QString> &field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            values << field.second;
    }
    return values;
}

QString ZrHttpMessage::canonicalName(const QString &name)
{
    // In place: every header line of every response comes through here.
    QString canonical = name.toLower();
    bool wordStart = true;
    for (QChar &character : canonical) {
        if (wordStart)
            character = character.toUpper();
        wordStart = character == '-';
    }
    return canonical;
}
