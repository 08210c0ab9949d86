#ifndef ZRCACHEDELEGATE_H
#define ZRCACHEDELEGATE_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

class ZRHTTPRequest;

// What a download cache offers a request; the library holds no cache of its own.
// Cached headers carry the status under "X-ZRHTTPRequest-Response-Status-Code".
class ZRCacheDelegate : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int defaultCachePolicy() const = 0;
    virtual bool canUseCachedDataForRequest(ZRHTTPRequest *request) = 0;
    virtual QVariantMap cachedResponseHeadersForURL(const QUrl &url) = 0;
    virtual QString pathToCachedResponseDataForURL(const QUrl &url) = 0;
    virtual QByteArray cachedResponseDataForURL(const QUrl &url) = 0;
    virtual void storeResponseForRequest(ZRHTTPRequest *request, double maxAge) = 0;
    virtual void updateExpiryForRequest(ZRHTTPRequest *request, double maxAge) = 0;
    virtual void clearCachedResponsesForStoragePolicy(int storagePolicy) = 0;
};

#endif
