#include "support/zrformdatarequest.h"

#include <QFileInfo>
#include <QTextCodec>
#include <QUuid>

namespace {

// Field and file names go inside a quoted header parameter: a quote or a line break
// must not end it or start a header of its own.
QString escapeHeaderParameter(QString text)
{
    return text.replace("\"", "%22").replace("\r", "%0D").replace("\n", "%0A");
}

} // namespace

ZRFormDataRequest::ZRFormDataRequest(const QUrl &newURL) : ZRHTTPRequest(newURL)
{
    setRequestMethod("POST");
}

QSharedPointer<ZRFormDataRequest> ZRFormDataRequest::requestWithURL(const QUrl &newURL)
{
    return QSharedPointer<ZRFormDataRequest>(new ZRFormDataRequest(newURL), &ZRHTTPRequest::deleteOnMainThread);
}

QSharedPointer<ZRHTTPRequest> ZRFormDataRequest::newRequestOfSameClass(const QUrl &newURL) const
{
    return requestWithURL(newURL);
}

void ZRFormDataRequest::addPostValue(const QVariant &value, const QString &key)
{
    if (key.isEmpty())
        return;
    m_postData.append(QVariantMap{{"key", key}, {"value", value.toString()}});
}

void ZRFormDataRequest::setPostValue(const QVariant &value, const QString &key)
{
    for (int i = m_postData.size() - 1; i >= 0; --i) {
        if (m_postData.at(i).value("key").toString() == key)
            m_postData.removeAt(i);
    }
    addPostValue(value, key);
}

void ZRFormDataRequest::addFile(const QString &filePath, const QString &key)
{
    addFile(filePath, QString(), QString(), key);
}

void ZRFormDataRequest::addFile(const QString &filePath, const QString &fileName, const QString &contentType,
                                const QString &key)
{
    const QFileInfo info(filePath);
    if (!info.exists() || info.isDir())
        failWithError(zrRequestError(ZRInternalErrorWhileBuildingRequestType,
                                     QString("No file exists at %1").arg(filePath)));
    const QString name = fileName.isEmpty() ? info.fileName() : fileName;
    const QString type = contentType.isEmpty() ? mimeTypeForFileAtPath(filePath) : contentType;
    m_fileData.append(QVariantMap{{"key", key}, {"fileName", name}, {"contentType", type}, {"data", filePath}});
}

void ZRFormDataRequest::setFile(const QString &filePath, const QString &key)
{
    setFile(filePath, QString(), QString(), key);
}

void ZRFormDataRequest::setFile(const QString &filePath, const QString &fileName, const QString &contentType,
                                const QString &key)
{
    removeFileEntries(key);
    addFile(filePath, fileName, contentType, key);
}

void ZRFormDataRequest::addData(const QByteArray &data, const QString &key)
{
    addData(data, "file", QString(), key);
}

void ZRFormDataRequest::addData(const QByteArray &data, const QString &fileName, const QString &contentType,
                                const QString &key)
{
    const QString type = contentType.isEmpty() ? QString("application/octet-stream") : contentType;
    m_fileData.append(QVariantMap{{"key", key}, {"fileName", fileName}, {"contentType", type}, {"data", data}});
}

void ZRFormDataRequest::setData(const QByteArray &data, const QString &key)
{
    setData(data, "file", QString(), key);
}

void ZRFormDataRequest::setData(const QByteArray &data, const QString &fileName, const QString &contentType,
                                const QString &key)
{
    removeFileEntries(key);
    addData(data, fileName, contentType, key);
}

void ZRFormDataRequest::removeFileEntries(const QString &key)
{
    for (int i = m_fileData.size() - 1; i >= 0; --i) {
        if (m_fileData.at(i).value("key").toString() == key)
            m_fileData.removeAt(i);
    }
}

void ZRFormDataRequest::buildPostBody()
{
    if (haveBuiltPostBody())
        return;
    if (m_postData.isEmpty() && m_fileData.isEmpty()) {
        ZRHTTPRequest::buildPostBody();
        return;
    }
    if (!m_fileData.isEmpty())
        setShouldStreamPostDataFromDisk(true);
    if (m_postFormat == URLEncodedPostFormat)
        buildURLEncodedPostBody();
    else
        buildMultipartFormDataPostBody();
    ZRHTTPRequest::buildPostBody();
}

QString ZRFormDataRequest::charsetName() const
{
    QTextCodec *codec = QTextCodec::codecForMib(m_stringEncoding);
    return codec ? QString::fromLatin1(codec->name()).toLower() : QString("utf-8");
}

void ZRFormDataRequest::buildURLEncodedPostBody()
{
    if (!m_fileData.isEmpty()) {
        m_postFormat = MultipartFormDataPostFormat;
        buildMultipartFormDataPostBody();
        return;
    }
    addRequestHeader("Content-Type", QString("application/x-www-form-urlencoded; charset=%1").arg(charsetName()));
    for (int i = 0; i < m_postData.size(); ++i) {
        const QVariantMap &entry = m_postData.at(i);
        appendPostString(QString("%1=%2%3")
                             .arg(encodeURL(entry.value("key").toString()),
                                  encodeURL(entry.value("value").toString()),
                                  i + 1 < m_postData.size() ? QString("&") : QString()));
    }
}

void ZRFormDataRequest::buildMultipartFormDataPostBody()
{
    const QString boundary = QString("0xKhTmLbOuNdArY-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
    addRequestHeader("Content-Type",
                     QString("multipart/form-data; charset=%1; boundary=%2").arg(charsetName(), boundary));
    const QString separator = QString("\r\n--%1\r\n").arg(boundary);
    appendPostString(QString("--%1\r\n").arg(boundary));

    for (int i = 0; i < m_postData.size(); ++i) {
        const QVariantMap &entry = m_postData.at(i);
        appendPostString(QString("Content-Disposition: form-data; name=\"%1\"\r\n\r\n")
                             .arg(escapeHeaderParameter(entry.value("key").toString())));
        appendPostString(entry.value("value").toString());
        if (i + 1 < m_postData.size() || !m_fileData.isEmpty())
            appendPostString(separator);
    }
    for (int i = 0; i < m_fileData.size(); ++i) {
        const QVariantMap &entry = m_fileData.at(i);
        appendPostString(QString("Content-Disposition: form-data; name=\"%1\"; filename=\"%2\"\r\n")
                             .arg(escapeHeaderParameter(entry.value("key").toString()),
                                  escapeHeaderParameter(entry.value("fileName").toString())));
        appendPostString(QString("Content-Type: %1\r\n\r\n").arg(entry.value("contentType").toString()));
        const QVariant data = entry.value("data");
        if (data.type() == QVariant::String)
            appendPostDataFromFile(data.toString());
        else
            appendPostData(data.toByteArray());
        if (i + 1 < m_fileData.size())
            appendPostString(separator);
    }
    appendPostString(QString("\r\n--%1--\r\n").arg(boundary));
}

QString ZRFormDataRequest::encodeURL(const QString &string) const
{
    QTextCodec *codec = QTextCodec::codecForMib(m_stringEncoding);
    if (!codec || !codec->canEncode(string))
        return QString();
    // Only letters, digits, "-", "." and "_" stay: the URL's other characters, the
    // delimiters and the space are all escaped (a space never becomes "+").
    const QByteArray bytes = codec->fromUnicode(string);
    QString escaped;
    for (const char byte : bytes) {
        const unsigned char c = static_cast<unsigned char>(byte);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_')
            escaped += QChar(c);
        else
            escaped += QString("%%1").arg(c, 2, 16, QChar('0')).toUpper();
    }
    return escaped;
}

void ZRFormDataRequest::appendPostString(const QString &string)
{
    QTextCodec *codec = QTextCodec::codecForMib(m_stringEncoding);
    appendPostData(codec ? codec->fromUnicode(string) : string.toUtf8());
}

QSharedPointer<ZRHTTPRequest> ZRFormDataRequest::copyWithZone()
{
    QSharedPointer<ZRHTTPRequest> copy = ZRHTTPRequest::copyWithZone();
    if (ZRFormDataRequest *form = qobject_cast<ZRFormDataRequest *>(copy.data())) {
        form->m_postData = m_postData;
        form->m_fileData = m_fileData;
        form->m_postFormat = m_postFormat;
        form->m_stringEncoding = m_stringEncoding;
        form->setRequestMethod(requestMethod());
    }
    return copy;
}
