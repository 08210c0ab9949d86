#ifndef ZRFORMDATAREQUEST_H
#define ZRFORMDATAREQUEST_H

#include "support/zrhttprequest.h"

#include <QList>
#include <QVariant>
#include <QVariantMap>

// A POST request whose body is built from named values and file parts, URL-encoded
// or as multipart form data.
class ZRFormDataRequest : public ZRHTTPRequest
{
    Q_OBJECT
public:
    enum PostFormat { MultipartFormDataPostFormat = 0, URLEncodedPostFormat = 1 };

    explicit ZRFormDataRequest(const QUrl &newURL);
    static QSharedPointer<ZRFormDataRequest> requestWithURL(const QUrl &newURL);

    void addPostValue(const QVariant &value, const QString &key);
    void setPostValue(const QVariant &value, const QString &key);
    void addFile(const QString &filePath, const QString &key);
    void addFile(const QString &filePath, const QString &fileName, const QString &contentType, const QString &key);
    void setFile(const QString &filePath, const QString &key);
    void setFile(const QString &filePath, const QString &fileName, const QString &contentType, const QString &key);
    void addData(const QByteArray &data, const QString &key);
    void addData(const QByteArray &data, const QString &fileName, const QString &contentType, const QString &key);
    void setData(const QByteArray &data, const QString &key);
    void setData(const QByteArray &data, const QString &fileName, const QString &contentType, const QString &key);

    void buildPostBody() override;
    QString encodeURL(const QString &string) const;
    void appendPostString(const QString &string);

    int postFormat() const { return m_postFormat; }
    void setPostFormat(int format) { m_postFormat = format; }
    // A QTextCodec MIB number.
    int stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(int encoding) { m_stringEncoding = encoding; }
    QList<QVariantMap> postData() const { return m_postData; }
    QList<QVariantMap> fileData() const { return m_fileData; }

    QSharedPointer<ZRHTTPRequest> copyWithZone() override;

protected:
    QSharedPointer<ZRHTTPRequest> newRequestOfSameClass(const QUrl &newURL) const override;

private:
    void buildURLEncodedPostBody();
    void buildMultipartFormDataPostBody();
    void removeFileEntries(const QString &key);
    QString charsetName() const;

    QList<QVariantMap> m_postData;
    QList<QVariantMap> m_fileData;
    int m_postFormat = URLEncodedPostFormat;
    int m_stringEncoding = 106;
};

#endif
